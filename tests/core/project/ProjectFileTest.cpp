#include "project/ProjectFile.h"

#include "../AllocationWatch.h"
#include "../TestEnvironment.h"
#include "platform/FileLock.h"
#include "platform/Profile.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor {
namespace {

using ProjectFileTest = testing::CoreTest;

// A text of exactly length characters that starts with tag.
std::string filled(const std::string &tag, std::size_t length)
{
    std::string s = tag;
    s.resize(length, 'x');
    return s;
}

void fillRecordToCapacity()
{
    ProjectRecord &r = projectRecord();
    r.path = filled("C:\\web\\index.htm", 999);
    r.title1 = filled(de("Titel eins äöü"), 999);
    r.title2 = "Titel zwei";
    r.title3 = filled("T3", 999);
    r.author = filled(de("Müller GmbH"), 199);
    r.description = filled("Beschreibung", 1499);
    r.startpage = "default.htm";
    r.makedirs = 0;
    r.deleteold = 1;
    r.doorlikehp = 0;
    r.scope = 2;
    for (int i = 0; i < ProjectRecord::kHomepageTerms; ++i)
        r.homepageKeywords[i] = filled("hp" + std::to_string(i), 150);
    for (int c = 0; c < ProjectRecord::kCopies; ++c) {
        for (int i = 0; i < ProjectRecord::kTermsPerCopy; ++i)
            r.copyKeywords[c][i] = filled("k" + std::to_string(c) + "-" + std::to_string(i), 150);
        r.copyTitles[c] = filled("ct" + std::to_string(c), 999);
        r.copyReserved[c] = filled("cr" + std::to_string(c), 999);
        r.copyDescriptions[c] = filled("cd" + std::to_string(c), 1499);
    }
    for (int i = 0; i < ProjectRecord::kDoorwayTerms; ++i)
        r.doorwayKeywords[i] = filled(de("Tür ") + std::to_string(i), 150);
}

void expectRecordFilled()
{
    const ProjectRecord &r = projectRecord();
    EXPECT_EQ(r.path.str(), filled("C:\\web\\index.htm", 999));
    EXPECT_EQ(r.title1.str(), filled(de("Titel eins äöü"), 999));
    EXPECT_EQ(r.title2.str(), "Titel zwei");
    EXPECT_EQ(r.title3.str(), filled("T3", 999));
    EXPECT_EQ(r.author.str(), filled(de("Müller GmbH"), 199));
    EXPECT_EQ(r.description.str(), filled("Beschreibung", 1499));
    EXPECT_EQ(r.startpage.str(), "default.htm");
    EXPECT_EQ(r.makedirs, 0);
    EXPECT_EQ(r.deleteold, 1);
    EXPECT_EQ(r.doorlikehp, 0);
    EXPECT_EQ(r.scope, 2);
    for (int i = 0; i < ProjectRecord::kHomepageTerms; ++i)
        EXPECT_EQ(r.homepageKeywords[i].str(), filled("hp" + std::to_string(i), 150)) << i;
    for (int c = 0; c < ProjectRecord::kCopies; ++c) {
        for (int i = 0; i < ProjectRecord::kTermsPerCopy; ++i)
            EXPECT_EQ(r.copyKeywords[c][i].str(), filled("k" + std::to_string(c) + "-" + std::to_string(i), 150));
        EXPECT_EQ(r.copyTitles[c].str(), filled("ct" + std::to_string(c), 999)) << c;
        EXPECT_EQ(r.copyReserved[c].str(), filled("cr" + std::to_string(c), 999)) << c;
        EXPECT_EQ(r.copyDescriptions[c].str(), filled("cd" + std::to_string(c), 1499)) << c;
    }
    for (int i = 0; i < ProjectRecord::kDoorwayTerms; ++i)
        EXPECT_EQ(r.doorwayKeywords[i].str(), filled(de("Tür ") + std::to_string(i), 150)) << i;
}

TEST_F(ProjectFileTest, SaveAndLoadRoundTripEveryKey)
{
    fillRecordToCapacity();
    ProjectOptions &o = projectOptions();
    int n = 5;
    for (const auto &code : ProjectOptions::codes())
        o.*code.field = n++;

    ASSERT_TRUE(SaveProjectData(de("Bäckerei")));
    ASSERT_TRUE(SaveProjectOptions(de("Bäckerei")));
    EXPECT_TRUE(std::filesystem::is_regular_file(projectPath("Bäckerei"))); // UTF-8 name on disk
    EXPECT_TRUE(settingsStore().hasSubkey(de("Bäckerei")));
    // The research list is the watch list's to write.
    ASSERT_TRUE(profile::writeString(projectFilePath(de("Bäckerei")), "research", "1", de("Brötchen")));
    ASSERT_TRUE(profile::writeString(projectFilePath(de("Bäckerei")), "research", "2000", "last"));

    ResetProjectRecord();
    RestoreStandardOptions();
    ASSERT_TRUE(LoadProjectData(de("Bäckerei")));
    ASSERT_TRUE(LoadProjectOptions(de("Bäckerei")));
    expectRecordFilled();
    EXPECT_EQ(projectRecord().researchList[0].str(), de("Brötchen"));
    EXPECT_EQ(projectRecord().researchList[1999].str(), "last");
    EXPECT_TRUE(projectRecord().researchList[1].empty());
    n = 5;
    for (const auto &code : ProjectOptions::codes())
        EXPECT_EQ(o.*code.field, n++) << code.name;

    // Keys in the documented order, and a second save changes nothing.
    const std::string path = projectPath("Bäckerei");
    ProfileFile file;
    ASSERT_TRUE(file.load(projectFilePath(de("Bäckerei")))); // the engine's paths are cp1252
    EXPECT_EQ(file.keys("homepage"),
              (std::vector<std::string>{"path", "title1", "title2", "title3", "author", "description", "startpage",
                                        "makedirs", "doorlikehp", "deleteold", "scope"}));
    const auto copyKeys = file.keys("copy");
    ASSERT_EQ(copyKeys.size(), 27u);
    EXPECT_EQ(copyKeys[0], "5500");
    EXPECT_EQ(copyKeys[9], "5300");
    EXPECT_EQ(copyKeys[26], "5408");
    EXPECT_EQ(file.keys("config").size(), 34u); // hiddenForm is not stored
    EXPECT_EQ(file.keys("config").front(), "titl");
    EXPECT_EQ(file.keys("config").back(), "sonz");
    const std::string before = readFile(path);
    ASSERT_TRUE(SaveProjectData(de("Bäckerei")));
    ASSERT_TRUE(SaveProjectOptions(de("Bäckerei")));
    EXPECT_EQ(readFile(path), before);
}

TEST_F(ProjectFileTest, AnyNameTheProjectManagerAcceptsGetsItsSubkey)
{
    for (const std::string name : {"Angebot [2026]", "a]b", "x=y; z", "Preise 50%"}) {
        EXPECT_TRUE(SaveProjectData(name)) << name;
        EXPECT_TRUE(settingsStore().hasSubkey(name)) << name;
    }
    SettingsStore reloaded(settingsStore().filePath());
    EXPECT_EQ(reloaded.subkeys(), (std::vector<std::string>{"Angebot [2026]", "a]b", "x=y; z", "Preise 50%"}));
    EXPECT_TRUE(reloaded.writeNumber("tip", 4));
    EXPECT_EQ(reloaded.subkeys().size(), 4u);
    EXPECT_EQ(reloaded.readNumber("tip"), 4u);
}

TEST_F(ProjectFileTest, AnEmptyEntryIsStillWrittenAsItsKey)
{
    ResetProjectRecord();
    projectRecord().homepageKeywords[0] = "erster Begriff";
    projectRecord().copyKeywords[2][0] = "Kopie drei";
    projectRecord().description = "Zeile 1\r\nZeile 2\n[config]";
    ASSERT_TRUE(SaveProjectData("shop"));

    ProfileFile file;
    ASSERT_TRUE(file.load(projectPath("shop")));
    EXPECT_EQ(file.keys("keywords").size(), 165u);
    EXPECT_EQ(file.keys("doorways").size(), 150u);
    EXPECT_EQ(file.keys("copy").size(), 27u);
    EXPECT_EQ(file.value("keywords", "4000"), "erster Begriff");
    EXPECT_EQ(file.value("keywords", "4130"), "Kopie drei");
    EXPECT_EQ(file.value("keywords", "4001"), "");
    EXPECT_EQ(file.value("keywords", "4234"), "");
    EXPECT_EQ(file.value("doorways", "150"), "");
    EXPECT_NE(readFile(projectPath("shop")).find("\r\n4129=\r\n4130=Kopie drei\r\n4131=\r\n"), std::string::npos);
    // A line break in a value must not split the line.
    EXPECT_FALSE(file.hasSection("config"));
    ASSERT_TRUE(LoadProjectData("shop"));
    EXPECT_EQ(projectRecord().description.str(), "Zeile 1  Zeile 2 [config]");
    EXPECT_EQ(projectRecord().copyKeywords[2][0].str(), "Kopie drei");
    EXPECT_EQ(projectRecord().makedirs, 1);
}

TEST_F(ProjectFileTest, SavingKeepsEverythingItDoesNotOwn)
{
    const std::string original = "; hand-written\r\n"
                                 "[project]\r\ncompany=Keldrum\r\nlastoptimized=7.12.2026\r\nsubmiturl=http://x.de/\r\n\r\n"
                                 "[homepage]\r\npath=old.htm\r\nunknown=keep me\r\n\r\n"
                                 "[submitfilelist]\r\n1=index.htm\r\n2=a b.htm\r\n\r\n"
                                 "[Extensions]\r\n1=htm\r\n\r\n"
                                 "[positionkeywordslist]\r\n1=Brot\r\n\r\n"
                                 "[research]\r\n1=Brot\r\n\r\n"
                                 "[researchv]\r\n1=Semmel\r\n\r\n"
                                 "[config]\r\ntitl=1\r\n";
    writeProject("shop", original);
    projectRecord().path = "new.htm";
    projectRecord().title1 = "Titel";
    ASSERT_TRUE(SaveProjectData("shop"));
    projectOptions().auth = 2;
    ASSERT_TRUE(SaveProjectOptions("shop"));

    const std::string saved = readFile(projectPath("shop"));
    for (const char *part : {"; hand-written\r\n[project]\r\ncompany=Keldrum\r\nlastoptimized=7.12.2026\r\n",
                             "[submitfilelist]\r\n1=index.htm\r\n2=a b.htm\r\n\r\n[Extensions]\r\n1=htm\r\n\r\n"
                             "[positionkeywordslist]\r\n1=Brot\r\n\r\n[research]\r\n1=Brot\r\n\r\n"
                             "[researchv]\r\n1=Semmel\r\n\r\n[config]\r\ntitl=3\r\nauth=2\r\n",
                             "[homepage]\r\npath=new.htm\r\nunknown=keep me\r\ntitle1=Titel\r\n"})
        EXPECT_NE(saved.find(part), std::string::npos) << part;
    EXPECT_EQ(profile::readString(projectPath("shop"), "project", "lastoptimized", ""), "7.12.2026");

    // SaveHomepagePath touches the path alone, and never creates a file.
    projectRecord().path = "third.htm";
    projectRecord().title1 = "not saved";
    ASSERT_TRUE(SaveHomepagePath("shop"));
    std::string expected = saved;
    expected.replace(expected.find("path=new.htm"), 12, "path=third.htm");
    EXPECT_EQ(readFile(projectPath("shop")), expected);
    EXPECT_FALSE(SaveHomepagePath("nothere"));
    EXPECT_FALSE(std::filesystem::exists(projectPath("nothere")));
}

TEST_F(ProjectFileTest, AFailedSaveLeavesTheOldFileWhole)
{
    writeProject("shop", "[homepage]\r\npath=old.htm\r\n");
    fillRecordToCapacity();

    // A full disk: writes beyond a few hundred bytes fail.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 40;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool dataSaved = SaveProjectData("shop");
    const bool optionsSaved = SaveProjectOptions("shop");
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(dataSaved);
    EXPECT_FALSE(optionsSaved);
    EXPECT_EQ(readFile(projectPath("shop")), "[homepage]\r\npath=old.htm\r\n");
    // No temp file left; the lock file beside the project stays by design.
    EXPECT_EQ(std::count_if(std::filesystem::directory_iterator(projectsDir()), {},
                            [](const auto &entry) { return !FileLock::isLockName(entry.path().filename().string()); }),
              1);

    // A directory without write permission (root may write anyway).
    if (::geteuid() != 0) {
        std::filesystem::permissions(projectsDir(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_FALSE(SaveProjectData("shop"));
        EXPECT_FALSE(SaveProjectData("other"));
        std::filesystem::permissions(projectsDir(), std::filesystem::perms::owner_all);
        EXPECT_EQ(readFile(projectPath("shop")), "[homepage]\r\npath=old.htm\r\n");
    }

    // A project directory that is missing, and names that would leave it.
    EXPECT_FALSE(SaveProjectData("../evil"));
    EXPECT_FALSE(SaveProjectOptions("a/b"));
    EXPECT_FALSE(SaveHomepagePath(".."));
    EXPECT_FALSE(std::filesystem::exists(root() + "/evil.qx!"));
    programSettings().programDirectory = root() + "/missing";
    EXPECT_FALSE(SaveProjectData("shop"));
    EXPECT_FALSE(std::filesystem::exists(root() + "/missing"));
}

TEST_F(ProjectFileTest, AProjectFileTheUserMadeReadOnlyStaysAsItIs)
{
    const std::string content = "[homepage]\r\npath=old.htm\r\n[config]\r\ntico=1\r\n";
    writeProject("shop", content);
    ASSERT_EQ(::chmod(projectPath("shop").c_str(), 0444), 0);
    fillRecordToCapacity();
    EXPECT_FALSE(SaveProjectData("shop"));
    EXPECT_FALSE(SaveProjectOptions("shop"));
    EXPECT_FALSE(SaveHomepagePath("shop"));
    EXPECT_FALSE(profile::writeString(projectPath("shop"), "project", "company", "Firma"));
    EXPECT_EQ(readFile(projectPath("shop")), content);
    struct stat st {};
    ASSERT_EQ(::stat(projectPath("shop").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);

    // The user hears of it through the save's own message.
    showProjectFailure(ui, ProjectFailure::SaveData, "shop");
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, "Fehler beim Schreiben der Daten");
    EXPECT_NE(ui.shown[0].text.find("\"shop.qx!\""), std::string::npos);

    // Writable again, it is saved as ever.
    ASSERT_EQ(::chmod(projectPath("shop").c_str(), 0644), 0);
    EXPECT_TRUE(SaveProjectData("shop"));
}

TEST_F(ProjectFileTest, LoadingFillsEveryFieldAfresh)
{
    fillRecordToCapacity();
    projectRecord().researchList[5] = "alt";
    // No [homepage], a quoted keyword, keys with blanks before '='.
    writeProject("p", "[keywords]\r\n4000=\"a b\"\r\n4001 = \t  c \r\n4002=\"\r\n[doorways]\n1=eins\n\n\n2=zwei\n");
    ASSERT_TRUE(LoadProjectData("p"));
    const ProjectRecord &r = projectRecord();
    EXPECT_TRUE(r.path.empty());
    EXPECT_TRUE(r.title1.empty());
    EXPECT_TRUE(r.author.empty());
    EXPECT_TRUE(r.description.empty());
    EXPECT_TRUE(r.startpage.empty());
    EXPECT_EQ(r.makedirs, 0);
    EXPECT_EQ(r.deleteold, 0);
    EXPECT_EQ(r.doorlikehp, 0);
    EXPECT_EQ(r.scope, 0);
    EXPECT_EQ(r.homepageKeywords[0].str(), "a b");
    EXPECT_EQ(r.homepageKeywords[1].str(), "c "); // trailing blanks stay
    EXPECT_EQ(r.homepageKeywords[2].str(), "\"");
    EXPECT_TRUE(r.homepageKeywords[3].empty());
    EXPECT_TRUE(r.copyKeywords[8][14].empty());
    EXPECT_TRUE(r.copyTitles[0].empty());
    EXPECT_TRUE(r.copyReserved[8].empty());
    EXPECT_EQ(r.doorwayKeywords[0].str(), "eins");
    EXPECT_EQ(r.doorwayKeywords[1].str(), "zwei");
    EXPECT_TRUE(r.doorwayKeywords[2].empty());
    EXPECT_TRUE(r.researchList[5].empty());

    // Options are not touched by a data load; a missing file is a failure.
    projectOptions().titl = 1;
    EXPECT_FALSE(LoadProjectData("missing"));
    EXPECT_EQ(r.homepageKeywords[0].str(), "a b");
    EXPECT_EQ(projectOptions().titl, 1);
}

TEST_F(ProjectFileTest, OptionsStopAtTheFirstEmptyValue)
{
    writeProject("empty", "[config]\r\ntitl=\r\nauth=1\r\nsonz=2\r\n");
    EXPECT_FALSE(LoadProjectOptions("empty"));
    for (const auto &code : ProjectOptions::codes())
        EXPECT_EQ(projectOptions().*code.field, 0) << code.name;

    RestoreStandardOptions();
    writeProject("later", "[config]\r\ntitl=1\r\nauth=2\r\nrobo=\r\nsonz=3\r\n");
    EXPECT_FALSE(LoadProjectOptions("later"));
    EXPECT_EQ(projectOptions().titl, 1);
    EXPECT_EQ(projectOptions().auth, 2);
    EXPECT_EQ(projectOptions().desc, 0); // missing reads as "0"
    EXPECT_EQ(projectOptions().link, 0);
    EXPECT_EQ(projectOptions().robo, 0);
    EXPECT_EQ(projectOptions().copy, 0);
    EXPECT_EQ(projectOptions().sonz, 0);
    EXPECT_EQ(projectOptions().hiddenForm, 2);

    RestoreStandardOptions();
    writeProject("noconfig", "[homepage]\r\npath=x\r\n");
    EXPECT_TRUE(LoadProjectOptions("noconfig"));
    for (const auto &code : ProjectOptions::codes())
        EXPECT_EQ(projectOptions().*code.field, 0) << code.name;

    RestoreStandardOptions();
    writeProject("text", "[CONFIG]\r\nTITL = 12abc\r\nauth=abc\r\ndesc=-1\r\n");
    EXPECT_TRUE(LoadProjectOptions("text"));
    EXPECT_EQ(projectOptions().titl, 12);
    EXPECT_EQ(projectOptions().auth, 0);
    EXPECT_EQ(projectOptions().desc, -1);

    // Hand-written quotes stay part of an option value (unlike a keyword's).
    RestoreStandardOptions();
    writeProject("quoted", "[config]\r\ntitl=\"3\"\r\nauth=2\r\n[keywords]\r\n4000=\"a b\"\r\n");
    EXPECT_TRUE(LoadProjectOptions("quoted"));
    EXPECT_EQ(projectOptions().titl, 0);
    EXPECT_EQ(projectOptions().auth, 2);
    EXPECT_TRUE(LoadProjectData("quoted"));
    EXPECT_EQ(projectRecord().homepageKeywords[0].str(), "a b");

    RestoreStandardOptions();
    EXPECT_FALSE(LoadProjectOptions("missing"));
    EXPECT_EQ(projectOptions().titl, 3);
}

TEST_F(ProjectFileTest, SectionReaderMatchesExactlyAndStopsAtTheNextSection)
{
    const std::string text = "[Homepage]\r\npath=wrong case\r\n"
                             "[homepage] trailing text\r\n\r\n\n"
                             "Path=upper\r\npathx=longer\r\npath \t== \"quoted\"\r\npath=second\r\n"
                             "title1=\"\r\ntitle2=\"\"\r\ntitle3\r\n"
                             "[keywords]\r\n4000=kw\r\n"
                             "[homepage]\r\nauthor=in the second homepage section\r\n";
    std::string v = "unchanged";
    ASSERT_TRUE(readSectionValue(text, "homepage", "path", v));
    EXPECT_EQ(v, "quoted");
    ASSERT_TRUE(readSectionValue(text, "homepage", "pathx", v));
    EXPECT_EQ(v, "longer");
    ASSERT_TRUE(readSectionValue(text, "homepage", "title1", v));
    EXPECT_EQ(v, "\"");
    ASSERT_TRUE(readSectionValue(text, "homepage", "title2", v));
    EXPECT_EQ(v, "");
    ASSERT_TRUE(readSectionValue(text, "homepage", "title3", v));
    EXPECT_EQ(v, "");
    ASSERT_TRUE(readSectionValue(text, "Homepage", "path", v));
    EXPECT_EQ(v, "wrong case");
    ASSERT_TRUE(readSectionValue(text, "keywords", "4000", v));
    EXPECT_EQ(v, "kw");

    v = "unchanged";
    EXPECT_FALSE(readSectionValue(text, "homepage", "Title1", v));
    EXPECT_FALSE(readSectionValue(text, "homepage", "pat", v));
    EXPECT_FALSE(readSectionValue(text, "homepage", "author", v)); // only the first section counts
    EXPECT_FALSE(readSectionValue(text, "keywords", "path", v));
    EXPECT_FALSE(readSectionValue(text, "missing", "path", v));
    EXPECT_FALSE(readSectionValue("", "homepage", "path", v));
    EXPECT_EQ(v, "unchanged");

    // LoadProjectData reads by the same rules.
    writeProject("rules", text);
    ASSERT_TRUE(LoadProjectData("rules"));
    EXPECT_EQ(projectRecord().path.str(), "quoted");
    EXPECT_TRUE(projectRecord().author.empty());
    EXPECT_EQ(projectRecord().title1.str(), "\"");
    EXPECT_EQ(projectRecord().homepageKeywords[0].str(), "kw");
}

TEST_F(ProjectFileTest, BadFilesLoadWithoutHarm)
{
    // Values longer than their fields are cut to capacity.
    std::string text = "[homepage]\r\npath=" + std::string(5000, 'p') + "\r\nauthor=" + std::string(300, 'a')
        + "\r\ndescription=" + std::string(2000, 'd') + "\r\nscope=99999999999\r\nnoequals\r\n=\r\n"
        + "[keywords]\r\n4000=" + std::string(151, 'k') + "\r\n[research]\r\n1=" + std::string(150, 'r')
        + "\r\n2=" + std::string(149, 's') + "\r\n";
    writeProject("long", text);
    ASSERT_TRUE(LoadProjectData("long"));
    EXPECT_EQ(projectRecord().path.str(), std::string(999, 'p'));
    EXPECT_EQ(projectRecord().author.str(), std::string(199, 'a'));
    EXPECT_EQ(projectRecord().description.str(), std::string(1499, 'd'));
    EXPECT_EQ(projectRecord().scope, 2147483647);
    EXPECT_EQ(projectRecord().homepageKeywords[0].str(), std::string(150, 'k'));
    EXPECT_EQ(projectRecord().researchList[0].str(), std::string(149, 'r'));
    EXPECT_EQ(projectRecord().researchList[1].str(), std::string(149, 's'));

    // The text ends at a NUL byte.
    writeProject("nul", std::string("[homepage]\r\npath=a\0b\r\ntitle1=after\r\n", 36));
    ASSERT_TRUE(LoadProjectData("nul"));
    EXPECT_EQ(projectRecord().path.str(), "a");
    EXPECT_TRUE(projectRecord().title1.empty());

    // Binary garbage, with and without sections in it.
    std::mt19937 random(1234);
    std::string garbage(1 << 20, '\0');
    for (char &c : garbage)
        c = static_cast<char>(random());
    garbage.insert(1000, "\r\n[homepage]\r\npath=x\r\n[config]\r\ntitl=\r\n");
    writeProject("garbage", garbage);
    EXPECT_TRUE(LoadProjectData("garbage"));
    EXPECT_FALSE(LoadProjectOptions("garbage"));
    writeProject("empty", "");
    EXPECT_TRUE(LoadProjectData("empty"));
    EXPECT_TRUE(projectRecord().path.empty());
    EXPECT_TRUE(LoadProjectOptions("empty"));

    // A directory named like a project file is no project.
    std::filesystem::create_directory(projectPath("dir"));
    EXPECT_FALSE(LoadProjectData("dir"));
    EXPECT_FALSE(LoadProjectOptions("dir"));
    EXPECT_FALSE(SaveProjectData("dir"));
}

TEST_F(ProjectFileTest, AFiftyMegabyteFileLoads)
{
    std::string text = "[homepage]\r\npath=" + std::string(20u << 20, 'x') + "\r\ntitle1=Titel\r\n[submitfilelist]\r\n";
    text.reserve(52u << 20);
    for (int i = 1; text.size() < (50u << 20); ++i)
        text += std::to_string(i) + "=http://www.example.com/verzeichnis/seite-" + std::to_string(i) + ".htm\r\n";
    text += "[doorways]\r\n1=am Ende\r\n[research]\r\n1=Recherche\r\n";
    writeProject("big", text);
    text.clear();
    text.shrink_to_fit();

    ASSERT_TRUE(LoadProjectData("big"));
    EXPECT_EQ(projectRecord().path.size(), 999u);
    EXPECT_EQ(projectRecord().title1.str(), "Titel");
    EXPECT_EQ(projectRecord().doorwayKeywords[0].str(), "am Ende");
    EXPECT_EQ(projectRecord().researchList[0].str(), "Recherche");
    EXPECT_TRUE(LoadProjectOptions("big"));
}

// Lines of a text as the section reader splits them, up to the NUL.
std::vector<std::string> readerLines(std::string text)
{
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto end = std::min(text.find_first_of("\r\n", pos), text.size());
        if (end > pos)
            lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

TEST_F(ProjectFileTest, SavedKeysReadBackFromHandEditedFiles)
{
    const std::string rest = "[submitfilelist]\r\n1=index.htm\r\n";
    const std::pair<const char *, std::string> files[] = {
        {"section in another case", "[Homepage]\r\npath=old.htm\r\n" + rest},
        {"blank before the key", "[homepage]\r\n path = old.htm\r\n" + rest},
        {"key in another case", "[homepage]\r\nPath=old.htm\r\n" + rest},
        {"CR alone", "[homepage]\rtitle1=Titel\rpath=old.htm\r[keywords]\r4000=Brot\r[submitfilelist]\r1=index.htm\r"},
        {"mixed line ends", "[homepage]\n\r\rtitle1=Titel\r\r\npath=old.htm\n\n[keywords]\r4000=Brot"},
        {"byte order mark", "\xEF\xBB\xBF[homepage]\r\npath=old.htm\r\n" + rest},
        {"blank before the bracket", " [homepage]\r\npath=old.htm\r\n" + rest},
        {"text after the section name", "[homepage] alt\r\npath=old.htm\r\n" + rest},
        {"no line end at the end", rest + "[homepage]\r\npath=old.htm"},
        {"section ends at a bracket", "[homepage]\r\ntitle1=Titel\r\n[submitfilelist\r\npath=old.htm\r\n"},
        {"NUL byte", std::string("[homepage]\r\ntitle1=Titel\r\n\0[homepage]\r\npath=hidden\r\n", 49)},
        {"NUL inside a line", std::string("[config]\r\ntitl=1\0[homepage]\r\npath=hidden", 39)},
        {"empty", ""},
    };
    for (const auto &[what, original] : files) {
        writeProject("hand", original);
        ResetProjectRecord();
        projectRecord().path = "new.htm";
        ASSERT_TRUE(SaveHomepagePath("hand")) << what;
        const std::string saved = readFile(projectPath("hand"));
        projectRecord().path.clear();
        ASSERT_TRUE(LoadProjectData("hand")) << what;
        EXPECT_EQ(projectRecord().path.str(), "new.htm") << what;
        if (original.find("title1=Titel") < original.find('\0')) {
            EXPECT_EQ(projectRecord().title1.str(), "Titel") << what;
        }

        // Nothing of the user's is lost: every line but the one with the
        // path the reader saw is still there, and what follows a NUL stays
        // as it was, byte for byte.
        const auto savedLines = readerLines(saved);
        for (const auto &line : readerLines(original)) {
            if (line != "path=old.htm") {
                EXPECT_NE(std::find(savedLines.begin(), savedLines.end(), line), savedLines.end()) << what << line;
            }
        }
        if (original.find('\0') != std::string::npos) {
            EXPECT_EQ(saved.substr(saved.find('\0')), original.substr(original.find('\0'))) << what;
        }

        // And every key of a full save reads back.
        fillRecordToCapacity();
        ASSERT_TRUE(SaveProjectData("hand")) << what;
        ResetProjectRecord();
        ASSERT_TRUE(LoadProjectData("hand")) << what;
        expectRecordFilled();
        const std::string resaved = readFile(projectPath("hand"));
        if (original.find('\0') != std::string::npos) {
            EXPECT_EQ(resaved.substr(resaved.find('\0')), original.substr(original.find('\0'))) << what;
        }
    }
}

TEST_F(ProjectFileTest, ValuesReadBackAsTheyWereSaved)
{
    // The reader skips '=', blanks and tabs before a value and takes off a
    // pair of quotes around it; such values are saved in quotes.
    ProjectRecord &r = projectRecord();
    r.path = " C:\\web\\index.htm";
    r.title1 = "\"Zitat\"";
    r.title2 = "=gleich";
    r.title3 = "\"";
    r.author = "\tTab";
    r.description = "\"halb";
    r.homepageKeywords[0] = "\"\"";
    r.doorwayKeywords[0] = "Ende ";
    ASSERT_TRUE(SaveProjectData("q"));
    EXPECT_NE(readFile(projectPath("q")).find("\r\ntitle3=\"\r\n"), std::string::npos);
    EXPECT_NE(readFile(projectPath("q")).find("\r\ndescription=\"halb\r\n"), std::string::npos);
    ResetProjectRecord();
    ASSERT_TRUE(LoadProjectData("q"));
    EXPECT_EQ(r.path.str(), " C:\\web\\index.htm");
    EXPECT_EQ(r.title1.str(), "\"Zitat\"");
    EXPECT_EQ(r.title2.str(), "=gleich");
    EXPECT_EQ(r.title3.str(), "\"");
    EXPECT_EQ(r.author.str(), "\tTab");
    EXPECT_EQ(r.description.str(), "\"halb");
    EXPECT_EQ(r.homepageKeywords[0].str(), "\"\"");
    EXPECT_EQ(r.doorwayKeywords[0].str(), "Ende ");

    // A research entry with a NUL byte in it must not end the text for the
    // reader of the sections after it.
    writeProject("n", "[research]\r\n1=alt\r\n[doorways]\r\n1=" + de("Tür") + "\r\n");
    ASSERT_TRUE(profile::writeString(projectFilePath("n"), "research", "1", std::string("neu\0alt", 7)));
    ASSERT_TRUE(LoadProjectData("n"));
    EXPECT_EQ(r.researchList[0].str(), "neu");
    EXPECT_EQ(r.doorwayKeywords[0].str(), de("Tür"));
}

TEST_F(ProjectFileTest, RunningOutOfMemoryEndsTheOperationNotTheProgram)
{
    // The research list holds an entry larger than the memory left.
    const std::string original = "[homepage]\r\npath=alt.htm\r\n[config]\r\ntitl=1\r\n[research]\r\n1="
        + std::string(3u << 20, 'r') + "\r\n";
    writeProject("big", original);
    projectRecord().path = "im Speicher";
    projectRecord().researchList[0] = "im Speicher";
    projectOptions().titl = 2;

    const auto expectOutOfMemory = [&](const char *what, auto operation, int spared) {
        bool result = true;
        int failures = 0;
        {
            testing::AllocationFailure failure(1u << 20, spared);
            result = operation();
            failures = failure.failures();
        }
        EXPECT_FALSE(result) << what;
        EXPECT_GT(failures, 0) << what;
        ASSERT_EQ(ui.shown.size(), 1u) << what;
        EXPECT_EQ(ui.shown[0].kind, "systemError") << what;
        EXPECT_EQ(ui.shown[0].title, "Fehler Code 2007") << what;
        ui.shown.clear();
    };
    // Reading the file, and reading the research list once the file is in.
    expectOutOfMemory("load", [] { return LoadProjectData("big"); }, 0);
    expectOutOfMemory("research list", [] { return LoadProjectData("big"); }, 1);
    expectOutOfMemory("options", [] { return LoadProjectOptions("big"); }, 0);
    expectOutOfMemory("save", [] { return SaveProjectData("big"); }, 0);
    expectOutOfMemory("save options", [] { return SaveProjectOptions("big"); }, 0);
    expectOutOfMemory("save path", [] { return SaveHomepagePath("big"); }, 0);
    expectOutOfMemory("save after reading", [] { return SaveProjectData("big"); }, 1);

    // Neither the record nor the file changed.
    EXPECT_EQ(projectRecord().path.str(), "im Speicher");
    EXPECT_EQ(projectRecord().researchList[0].str(), "im Speicher");
    EXPECT_EQ(projectOptions().titl, 2);
    EXPECT_EQ(readFile(projectPath("big")), original);
    ASSERT_TRUE(LoadProjectData("big"));
    EXPECT_EQ(projectRecord().researchList[0].str(), std::string(149, 'r'));
}

TEST_F(ProjectFileTest, AFileOfEmptyLinesTakesAboutItsOwnSize)
{
    std::string text = "[homepage]\r\npath=index.htm\r\n" + std::string(8u << 20, '\n') + "[research]\r\n1=Brot\r\n";
    const std::size_t size = text.size();
    writeProject("lines", text);
    text.clear();
    text.shrink_to_fit();
    {
        testing::AllocationPeak peak;
        ASSERT_TRUE(LoadProjectData("lines"));
        ASSERT_TRUE(LoadProjectOptions("lines"));
        EXPECT_LT(peak.peak(), size + size / 2);
    }
    EXPECT_EQ(projectRecord().path.str(), "index.htm");
    EXPECT_EQ(projectRecord().researchList[0].str(), "Brot");
    {
        // The file and the new text.
        testing::AllocationPeak peak;
        ASSERT_TRUE(SaveProjectData("lines"));
        EXPECT_LT(peak.peak(), 2 * size + size / 2);
    }
    {
        // The file, and the new text with CR LF line ends throughout.
        testing::AllocationPeak peak;
        ASSERT_TRUE(SaveProjectOptions("lines"));
        EXPECT_LT(peak.peak(), 3 * size + size / 2);
    }
    ASSERT_TRUE(LoadProjectData("lines"));
    EXPECT_EQ(projectRecord().path.str(), "index.htm");
    EXPECT_EQ(projectRecord().researchList[0].str(), "Brot");
}

TEST_F(ProjectFileTest, ResetRestoreAndClearForNewProject)
{
    fillRecordToCapacity();
    ProjectRecord &r = projectRecord();
    r.researchList[0] = "r";
    r.path = "/site/Start.HTM";
    r.deriveHomepageFields();
    EXPECT_EQ(r.homepageDirectory.str(), "/site");
    EXPECT_EQ(r.homepageExtension.str(), "htm");
    ProjectOptions &o = projectOptions();
    o.titl = 0;
    o.sonz = 3;
    o.hiddenForm = 1;

    // Keep everything that may be kept: the homepage, research and options go.
    ClearForNewProject(true, true, true, true, true, true);
    EXPECT_TRUE(r.path.empty());
    EXPECT_TRUE(r.homepageDirectory.empty());
    EXPECT_TRUE(r.homepageFileName.empty());
    EXPECT_TRUE(r.homepageExtension.empty());
    EXPECT_TRUE(r.researchList[0].empty());
    EXPECT_EQ(r.doorlikehp, 1);
    EXPECT_EQ(r.makedirs, 0);
    EXPECT_EQ(r.scope, 1);
    EXPECT_EQ(o.titl, 3);
    EXPECT_EQ(o.sonz, 3); // keeps its value
    EXPECT_EQ(o.hiddenForm, 2);
    EXPECT_EQ(r.startpage.str(), "default.htm");
    EXPECT_FALSE(r.copyReserved[8].empty());
    EXPECT_FALSE(r.doorwayKeywords[149].empty());

    // Keep nothing, options as they are.
    o.titl = 0;
    ClearForNewProject(false, false, false, false, false, false);
    EXPECT_EQ(o.titl, 0);
    EXPECT_TRUE(r.title1.empty() && r.author.empty() && r.description.empty() && r.startpage.empty());
    EXPECT_EQ(r.makedirs + r.deleteold, 2);
    EXPECT_TRUE(r.homepageKeywords[29].empty() && r.copyKeywords[8][14].empty() && r.doorwayKeywords[149].empty());
    EXPECT_TRUE(r.copyTitles[8].empty() && r.copyReserved[8].empty() && r.copyDescriptions[8].empty());

    // Reset empties the record and sets the flags and three of the options.
    fillRecordToCapacity();
    r.researchList[1999] = "r";
    o.tico = o.deco = 1;
    o.sonz = 2;
    ResetProjectRecord();
    EXPECT_TRUE(r.title1.empty() && r.copyDescriptions[8].empty() && r.researchList[1999].empty());
    EXPECT_EQ(r.makedirs + r.deleteold + r.doorlikehp, 3);
    EXPECT_EQ(o.tico + o.deco + o.sonz, 0);
    EXPECT_EQ(o.titl, 0);
    RestoreStandardOptions();
    for (const auto &code : ProjectOptions::codes())
        EXPECT_EQ(o.*code.field, code.standard) << code.name;
}

TEST_F(ProjectFileTest, DisplayNamesAndFailureMessages)
{
    EXPECT_EQ(displayNameMain("default"), "Standardprojekt");
    EXPECT_EQ(displayNameMain("mydefault2"), "Standardprojekt");
    EXPECT_EQ(displayNameMain("def"), "def");
    EXPECT_EQ(displayNameWizard("mydefault2"), "mydefault2");
    EXPECT_EQ(displayNameWizard("def"), "Standardprojekt");
    EXPECT_EQ(displayNameWizard("default"), "Standardprojekt");
    EXPECT_EQ(displayNameWizard("shop"), "shop");

    showProjectFailure(ui, ProjectFailure::LoadData, de("Bäcker"));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, "Fehler beim Lesen der Daten");
    EXPECT_EQ(ui.shown[0].text, de("Die Daten konnten nicht aus der Projektdatei \"Bäcker.qx!\" gelesen werden. "
                                   "Möglicherweise existiert diese Datei nicht oder wurde manipuliert."));
}

} // namespace
} // namespace vantor
