#include "TestEnvironment.h"

#include "optimizer/OptimizationRun.h"
#include "optimizer/PageEncoding.h"
#include "optimizer/RunBackup.h"
#include "optimizer/RunUndo.h"
#include "optimizer/TermText.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>

#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

const char *const kHomepage =
    "<html>\r\n<head>\r\n<title>Alt</title>\r\n</head>\r\n<body>\r\nHallo Welt\r\n</body>\r\n</html>\r\n";
const char *const kTemplate = "<html><head></head><body><h1>%Suchbegriff%</h1></body></html>";

bool contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// Everything under a directory: files with their bytes, links with where
// they point, directories as such. Links are never followed.
std::map<std::string, std::string> snapshot(const std::string &root)
{
    std::map<std::string, std::string> result;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, fs::directory_options::none, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string relative = fs::relative(it->path(), root).string();
        const fs::file_status status = it->symlink_status();
        if (fs::is_symlink(status)) {
            result[relative] = "link:" + fs::read_symlink(it->path()).string();
        } else if (fs::is_directory(status)) {
            result[relative] = "dir";
        } else {
            std::ifstream in(it->path(), std::ios::binary);
            result[relative] = std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    return result;
}

class SiteSafetyTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        m_site = makeSite();
        writeFile(homepage(), kHomepage);
        writeFile(m_site + "/vantor!!/index.htm", kTemplate);
        // What a run must never touch: a folder of the user's beside the site.
        m_canary = root() + "/Dokumente";
        fs::create_directories(m_canary + "/Unterordner");
        writeFile(m_canary + "/brief.txt", "Sehr geehrte Damen und Herren");
        writeFile(m_canary + "/index.htm", "<html><head></head><body>Privat</body></html>");
        writeFile(m_canary + "/Unterordner/bild.gif", "GIF89a-privat");
        ProjectRecord &record = projectRecord();
        record.copyKeywords[0][0] = "Haus";
        record.doorwayKeywords[0] = "Garten";
        save();
    }

    std::string homepage() const { return m_site + "/index.htm"; }

    void save()
    {
        ASSERT_TRUE(SaveProjectData("p"));
        ASSERT_TRUE(SaveProjectOptions("p"));
    }

    void optimise()
    {
        OptimizationRun run(ui, "p");
        run.begin();
        run.run(true, true);
        m_lines.clear();
        for (const auto &line : run.log().lines())
            m_lines.push_back(line.text);
        m_todos = run.log().todos();
        m_errors = run.log().errors();
    }

    bool logged(const std::string &part) const
    {
        return std::any_of(m_lines.begin(), m_lines.end(), [&](const std::string &l) { return contains(l, part); });
    }

    RunUndo::Result undo(const std::string &id = {})
    {
        std::string undone;
        int restored = 0;
        return RunUndo::undo(ui, "p", id, undone, restored);
    }

    std::string m_site;
    std::string m_canary;
    std::vector<std::string> m_lines;
    std::vector<std::string> m_todos;
    int m_errors = 0;
};

TEST_F(SiteSafetyTest, LinksInTheSiteAreNeitherFollowedNorWrittenThrough)
{
    const auto canaryBefore = snapshot(m_canary);
    // A link in every place a run removes or writes.
    fs::create_directory_symlink(m_canary, m_site + "/!alt");        // looks like an old doorway directory
    fs::create_directory_symlink(m_canary, m_site + "/!garten");     // the doorway directory of "Garten"
    fs::create_symlink(m_canary + "/brief.txt", m_site + "/-alt.htm"); // looks like an old copy
    fs::create_symlink(m_canary + "/index.htm", m_site + "/!haus.htm"); // the copy of "Haus"
    fs::create_symlink(m_canary + "/Unterordner/bild.gif", m_site + "/vantor.gif");
    fs::create_symlink(m_canary + "/brief.txt", m_site + "/~report.htm");
    projectRecord().deleteold = 1;
    save();

    optimise();

    EXPECT_EQ(snapshot(m_canary), canaryBefore);
    // The links themselves are still there, and each is named.
    for (const char *name : {"/!alt", "/!garten", "/-alt.htm", "/!haus.htm", "/vantor.gif", "/~report.htm"}) {
        EXPECT_TRUE(fs::is_symlink(m_site + name)) << name;
        EXPECT_TRUE(logged(m_site + name + "\" ist ein Verweis")) << name;
    }
    EXPECT_EQ(m_errors, 0);
    // The homepage itself was optimised as usual.
    EXPECT_NE(readFile(homepage()), kHomepage);
}

TEST_F(SiteSafetyTest, ATemplateDirectoryLinkedOutOfTheSiteIsNotWrittenThrough)
{
    // The template check writes the template back with its tags in upper
    // case; through a link that would change the user's own page.
    fs::remove_all(m_site + "/vantor!!");
    writeFile(m_canary + "/index.htm", kTemplate);
    fs::create_directory_symlink(m_canary, m_site + "/vantor!!");
    const auto canaryBefore = snapshot(m_canary);
    optimise();
    EXPECT_EQ(snapshot(m_canary), canaryBefore);
    EXPECT_TRUE(logged(m_site + "/vantor!!/index.htm\" ist ein Verweis"));
    EXPECT_GT(m_errors, 0);
    EXPECT_EQ(readFile(homepage()), kHomepage);
}

TEST_F(SiteSafetyTest, ALinkInsideTheSiteIsReplacedNotFollowed)
{
    writeFile(m_site + "/kontakt.htm", "<html>Kontakt</html>");
    fs::create_symlink("kontakt.htm", m_site + "/!haus.htm");
    optimise();
    EXPECT_EQ(readFile(m_site + "/kontakt.htm"), "<html>Kontakt</html>");
    EXPECT_FALSE(fs::is_symlink(m_site + "/!haus.htm"));
    EXPECT_TRUE(contains(readFile(m_site + "/!haus.htm"), "Hallo Welt"));
    // Undo brings the link back.
    EXPECT_EQ(undo(), RunUndo::Result::Done);
    EXPECT_TRUE(fs::is_symlink(m_site + "/!haus.htm"));
    EXPECT_EQ(fs::read_symlink(m_site + "/!haus.htm").string(), "kontakt.htm");
}

TEST_F(SiteSafetyTest, AHomepageThatIsALinkIsWrittenThrough)
{
    const std::string real = root() + "/echte-homepage.htm";
    fs::rename(homepage(), real);
    fs::create_symlink(real, homepage());
    optimise();
    EXPECT_TRUE(fs::is_symlink(homepage()));
    EXPECT_NE(readFile(real), kHomepage);
    EXPECT_EQ(undo(), RunUndo::Result::Done);
    EXPECT_EQ(readFile(real), kHomepage);
    EXPECT_TRUE(fs::is_symlink(homepage()));
}

TEST_F(SiteSafetyTest, ThreeRunsUndoneThreeTimesGiveTheOriginalSite)
{
    writeFile(m_site + "/-preisliste.pdf", "%PDF Preise");
    const auto original = snapshot(m_site);
    std::vector<std::map<std::string, std::string>> after;
    const char *const terms[] = {"Haus", "Wohnung", "Villa"};
    for (const char *term : terms) {
        projectRecord().copyKeywords[0][0] = term;
        projectRecord().doorwayKeywords[1] = term;
        save();
        optimise();
        ASSERT_EQ(m_errors, 0);
        after.push_back(snapshot(m_site));
    }
    ASSERT_EQ(RunUndo::list("p").size(), 3u);
    // Step by step back: each undo gives the site as the run before left it.
    EXPECT_EQ(undo(), RunUndo::Result::Done);
    EXPECT_EQ(snapshot(m_site), after[1]);
    EXPECT_EQ(undo(), RunUndo::Result::Done);
    EXPECT_EQ(snapshot(m_site), after[0]);
    EXPECT_EQ(undo(), RunUndo::Result::Done);
    EXPECT_EQ(snapshot(m_site), original);
    EXPECT_EQ(undo(), RunUndo::Result::NothingToUndo);
    EXPECT_TRUE(ui.showedTitle(de("Nichts rückgängig zu machen")));

    const auto runs = RunUndo::list("p");
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_TRUE(std::all_of(runs.begin(), runs.end(), [](const RunUndo::KeptRun &r) { return r.undone && r.finished; }));
    EXPECT_EQ(undo(runs[0].id), RunUndo::Result::AlreadyUndone);
    EXPECT_EQ(undo("1999-01-01_00-00-00"), RunUndo::Result::UnknownRun);
}

TEST_F(SiteSafetyTest, UndoAfterTheUserRemovedOutputsByHand)
{
    const auto original = snapshot(m_site);
    optimise();
    const auto afterFirst = snapshot(m_site);
    optimise();
    // The user tidies up: the doorway folder and a copy go by hand.
    fs::remove_all(m_site + "/!garten");
    fs::remove(m_site + "/!haus.htm");
    EXPECT_EQ(undo(), RunUndo::Result::Done); // asked, and the scripted answer is OK
    EXPECT_EQ(snapshot(m_site), afterFirst);
    EXPECT_EQ(undo(), RunUndo::Result::Done);
    EXPECT_EQ(snapshot(m_site), original);
}

TEST_F(SiteSafetyTest, OnlyTheNewestRunsAreKept)
{
    for (int i = 0; i < RunBackup::kKeptRuns + 2; ++i)
        optimise();
    EXPECT_EQ(RunUndo::list("p").size(), static_cast<std::size_t>(RunBackup::kKeptRuns));
}

TEST_F(SiteSafetyTest, ManyRunsInOneSecondEachKeepTheirBackup)
{
    // Quick runs share their time stamp; the oldest of them go while the
    // newest keep coming, and each new one must still count as the newest.
    const std::string homepage = m_site + "/index.htm";
    for (int i = 0; i < 3 * RunBackup::kKeptRuns; ++i) {
        RunBackup backup;
        ASSERT_TRUE(backup.begin("p", m_site, homepage)) << "run " << i + 1;
        EXPECT_TRUE(backup.keep(homepage, false)) << "run " << i + 1;
        EXPECT_TRUE(backup.noteWritten(homepage, "neu")) << "run " << i + 1;
        backup.finish();
        const auto kept = RunUndo::list("p");
        ASSERT_FALSE(kept.empty());
        EXPECT_EQ(kept.back().id, backup.id()) << "run " << i + 1;
        EXPECT_LE(kept.size(), static_cast<std::size_t>(RunBackup::kKeptRuns));
    }
}

TEST_F(SiteSafetyTest, UndoOverALaterEditAsksAndKeepsTheEditedVersion)
{
    optimise();
    writeFile(homepage(), "<html>von Hand geändert</html>");
    ui.questionAnswers.push_back(false);
    EXPECT_EQ(undo(), RunUndo::Result::Declined);
    EXPECT_EQ(readFile(homepage()), "<html>von Hand geändert</html>");
    EXPECT_TRUE(fs::exists(m_site + "/!haus.htm"));

    ui.questionAnswers.push_back(true);
    EXPECT_EQ(undo(), RunUndo::Result::Done);
    EXPECT_EQ(readFile(homepage()), kHomepage);
    EXPECT_FALSE(fs::exists(m_site + "/!haus.htm"));
    // Nothing of the user's is lost: the edited page waits in the backup.
    const auto runs = RunUndo::list("p");
    bool kept = false;
    for (const auto &entry : fs::directory_iterator(RunBackup::rootFor("p") + "/" + runs.back().id))
        kept = kept || (entry.is_regular_file() && readFile(entry.path().string()) == "<html>von Hand geändert</html>");
    EXPECT_TRUE(kept);
}

// A Ui that kills its own process once the run has reached a step.
class KillingUi : public ScriptedUi
{
public:
    explicit KillingUi(int at) : m_at(at) {}
    void progress(int value, int maximum) override
    {
        ScriptedUi::progress(value, maximum);
        if (value >= m_at)
            ::raise(SIGKILL);
    }

private:
    int m_at;
};

TEST_F(SiteSafetyTest, ARunKilledHalfwayCanBeUndone)
{
    const auto original = snapshot(m_site);
    // Killed right after the homepage was written (26), and in the middle of
    // the doorway pages (9).
    for (const int step : {26, 9}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            KillingUi killing(step);
            setCurrentUi(&killing);
            OptimizationRun run(killing, "p");
            run.begin();
            run.run(true, true);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << step;
        if (step == 26) {
            ASSERT_NE(readFile(homepage()), kHomepage);
        }
        const auto runs = RunUndo::list("p");
        ASSERT_FALSE(runs.empty());
        EXPECT_FALSE(runs.back().finished);
        EXPECT_EQ(undo(), RunUndo::Result::Done) << step;
        EXPECT_EQ(readFile(homepage()), kHomepage);
        EXPECT_EQ(snapshot(m_site), original) << step;
    }
}

TEST_F(SiteSafetyTest, Utf16HomepageIsReadAndWrittenBackAsUtf16)
{
    const std::string page = "<html><head><title>Alt</title></head><body>Grüße aus Köln</body></html>";
    writeFile(homepage(), utf8ToUtf16(page, Utf16::LittleEndian));
    projectRecord().title1 = de("Ferienhäuser");
    save();
    optimise();
    EXPECT_EQ(m_errors, 0);
    EXPECT_FALSE(logged("Kein Element <HEAD>"));
    EXPECT_TRUE(logged("UTF-16"));
    const std::string written = readFile(homepage());
    ASSERT_GE(written.size(), 2u);
    EXPECT_EQ(written.substr(0, 2), "\xFF\xFE");
    const std::string text = utf16ToUtf8(written, Utf16::LittleEndian);
    EXPECT_TRUE(contains(text, "Grüße aus Köln"));
    EXPECT_TRUE(contains(text, "<TITLE> Ferienh&auml;user </TITLE>")) << text;
    // The copy is UTF-16 as well.
    EXPECT_EQ(readFile(m_site + "/!haus.htm").substr(0, 2), "\xFF\xFE");
    // Big-endian, without a byte-order mark.
    EXPECT_EQ(detectUtf16(std::string("\0<\0h", 4)), Utf16::BigEndian);
    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16("a€😀", Utf16::BigEndian), Utf16::BigEndian), "a€😀");
}

TEST_F(SiteSafetyTest, AnOverlongTermGetsAShortenedNameInsteadOfEndingTheRun)
{
    const std::string longTerm(150, 'a');
    const std::string otherTerm = std::string(149, 'a') + "b";
    projectRecord().copyKeywords[0][0] = longTerm;
    projectRecord().doorwayKeywords[0] = de("Größe") + std::string(140, 'x'); // "groesse" spelled out grows
    projectRecord().doorwayKeywords[1] = longTerm;
    projectRecord().doorwayKeywords[2] = otherTerm;
    save();
    const std::string name = safeNameForm(longTerm);
    EXPECT_LE(name.size(), 200u);
    EXPECT_NE(name, safeNameForm(otherTerm));
    EXPECT_LE(toUtf8(safeNameForm(std::string(150, '\x80'))).size(), 200u); // "€" is three bytes on the disk
    optimise();
    EXPECT_EQ(m_errors, 0);
    EXPECT_TRUE(fs::exists(m_site + "/!" + name + ".htm"));
    EXPECT_TRUE(fs::exists(m_site + "/!" + name + "/index.htm"));
    EXPECT_TRUE(fs::exists(m_site + "/!" + safeNameForm(otherTerm) + "/index.htm"));
}

TEST_F(SiteSafetyTest, AFullDiskIsToldAsSuch)
{
    const std::string mountPoint = root() + "/klein";
    fs::create_directories(mountPoint);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no tmpfs to fill here (needs root)";
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{mountPoint};

    const std::string site = mountPoint + "/site";
    fs::create_directories(site + "/vantor!!");
    writeFile(site + "/index.htm", kHomepage);
    writeFile(site + "/vantor!!/index.htm", kTemplate);
    projectRecord().path = site + "/index.htm";
    save();
    // Fill the disk to the last block.
    {
        std::ofstream filler(mountPoint + "/filler", std::ios::binary);
        const std::string block(512, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
        }
    }
    optimise();
    EXPECT_GT(m_errors, 0);
    EXPECT_TRUE(logged(de("Der Datenträger ist voll")));
    EXPECT_TRUE(std::any_of(m_todos.begin(), m_todos.end(),
                            [](const std::string &t) { return contains(t, de("Der Datenträger ist voll")); }));
    EXPECT_FALSE(std::any_of(m_todos.begin(), m_todos.end(),
                             [](const std::string &t) { return contains(t, "Windows Explorer"); }));
    EXPECT_FALSE(ui.showedTitle("Vorlage fehlt"));
    EXPECT_EQ(readFile(site + "/index.htm"), kHomepage);
}

TEST_F(SiteSafetyTest, AReadOnlyHomepageStopsTheRunBeforeAnythingChanges)
{
    fs::permissions(homepage(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const auto before = snapshot(m_site);
    optimise();
    EXPECT_TRUE(logged("     FEHLER: Die Datei \"" + homepage() + de("\" kann nicht erzeugt/überschrieben werden")));
    EXPECT_TRUE(logged("OPTIMIERUNG ABGEBROCHEN"));
    EXPECT_EQ(snapshot(m_site), before);
    EXPECT_EQ(fs::status(homepage()).permissions() & fs::perms::owner_write, fs::perms::none);
    // Nothing changed, so there is nothing to undo either.
    EXPECT_TRUE(RunUndo::list("p").empty());
}

TEST_F(SiteSafetyTest, ADateThatCannotBeRecordedIsAWarning)
{
    // The project file turns into a directory's name after it was read: the
    // date cannot go in, and the run says so instead of keeping quiet.
    struct DateBlocker : ScriptedUi {
        std::string project;
        void progress(int value, int maximum) override
        {
            ScriptedUi::progress(value, maximum);
            if (value == 25) {
                fs::rename(project, project + ".weg");
                fs::create_directory(project);
            }
        }
    } blocker;
    blocker.project = projectPath("p");
    OptimizationRun run(blocker, "p");
    run.begin();
    run.run(true, true);
    bool warned = false;
    for (const auto &line : run.log().lines())
        warned = warned || (line.kind == LineKind::Warning && contains(line.text, "konnte nicht in der Projektdatei"));
    EXPECT_TRUE(warned);
}

} // namespace
