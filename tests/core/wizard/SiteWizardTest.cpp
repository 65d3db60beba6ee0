#include "TestEnvironment.h"

#include "platform/Files.h"
#include "platform/Help.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "wizard/SiteWizard.h"

#include <deque>
#include <filesystem>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

class FakeHost : public SiteWizardHost
{
public:
    explicit FakeHost(Ui &ui)
        : m_ui(ui)
    {
    }
    Ui &ui() override { return m_ui; }
    std::optional<std::string> chooseHomepageFile(const std::string &storedPath) override
    {
        offered = storedPath;
        return answer;
    }
    PageResult showPage(WizardPage page) override
    {
        pages.push_back(page);
        if (page == WizardPage::Titles && !typedTitle.empty())
            projectRecord().title1 = typedTitle;
        if (results.empty())
            return PageResult::Next;
        const PageResult result = results.front();
        results.pop_front();
        return result;
    }
    EndChoice askEndWizard() override
    {
        ++endQuestions;
        if (ends.empty())
            return EndChoice::End;
        const EndChoice choice = ends.front();
        ends.pop_front();
        return choice;
    }
    void runOptimization() override { ++optimizations; }

    std::optional<std::string> answer;
    std::string offered;
    std::deque<PageResult> results;
    std::deque<EndChoice> ends;
    std::vector<WizardPage> pages;
    int endQuestions = 0;
    std::string typedTitle; // what the user types on the titles page
    int optimizations = 0;

private:
    Ui &m_ui;
};

class SiteWizardTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        fs::create_directories(root() + "/site");
        fs::copy_file(std::string(VANTOR_SOURCE_DATA_DIR) + "/projects/project.qx!", projectPath("default"));
        programSettings().currentProject = "default";
        programSettings().userLevel = 2;
        setHelpOpener([this](int topic) {
            helpTopics.push_back(topic);
            return true;
        });
    }
    void TearDown() override
    {
        setHelpOpener(nullptr);
        CoreTest::TearDown();
    }

    std::string page(const std::string &text)
    {
        const std::string path = root() + "/site/Index.HTM";
        writeFile(path, text);
        return path;
    }

    std::vector<int> helpTopics;
};

TEST_F(SiteWizardTest, CancellingTheFileDialogEndsQuietlyAndWritesNothing)
{
    const std::string before = readFile(projectPath("default"));
    FakeHost host(ui);
    RunSiteWizard(true, host);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(host.optimizations, 0);
    EXPECT_EQ(readFile(projectPath("default")), before);
}

TEST_F(SiteWizardTest, QuickFormStoresThePathOnlyAndOptimises)
{
    FakeHost host(ui);
    host.answer = page("<head></head><body></body>");
    projectRecord().title1 = "nur im Speicher";
    const std::string before = readFile(projectPath("default"));
    RunSiteWizard(true, host);
    EXPECT_EQ(host.optimizations, 1);
    EXPECT_TRUE(host.pages.empty());
    EXPECT_TRUE(ui.shown.empty());
    std::string stored;
    ASSERT_TRUE(readSectionValue(readFile(projectPath("default")), "homepage", "path", stored));
    EXPECT_EQ(stored, *host.answer);
    // Nothing but the path changed in the file.
    std::string expected = before;
    expected.replace(expected.find("path="), 5, "path=" + *host.answer);
    EXPECT_EQ(readFile(projectPath("default")), expected);
    const ProjectRecord &r = projectRecord();
    EXPECT_EQ(r.homepageDirectory.str(), root() + "/site");
    EXPECT_EQ(r.homepageFileName.str(), "Index.HTM");
    EXPECT_EQ(r.homepageExtension.str(), "htm");
    EXPECT_TRUE(r.title1.empty()); // the data came from the file again
}

TEST_F(SiteWizardTest, UserLevelAnwenderIsToldWhatToChooseFirst)
{
    programSettings().userLevel = 1;
    projectRecord().path = "/alt/index.htm";
    SaveHomepagePath("default");
    FakeHost host(ui);
    RunSiteWizard(true, host);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, de("Homepage öffnen"));
    EXPECT_EQ(host.offered, "/alt/index.htm");
}

TEST_F(SiteWizardTest, HomepageChecksNameWhatIsMissing)
{
    struct Case {
        std::string text;
        std::string title;
    };
    const Case cases[] = {
        {"<header></header><body></body>", "Kein Element <HEAD> gefunden"},
        {"<head><body></body>", "Kein Element </HEAD> gefunden"},
        {"<head></head></body>", "Kein Element <BODY> gefunden"},
        {"<HEAD></HEAD><BODY>", "Kein Element </BODY> gefunden"},
        {"", "Kein Element <HEAD> gefunden"},
    };
    for (const auto &c : cases) {
        ui.shown.clear();
        FakeHost host(ui);
        host.answer = page(c.text);
        RunSiteWizard(true, host);
        ASSERT_EQ(ui.shown.size(), 1u) << c.text;
        EXPECT_EQ(ui.shown[0].title, c.title);
        EXPECT_EQ(host.optimizations, 0);
    }
}

TEST_F(SiteWizardTest, HeadAndBodyInAnySpellingPass)
{
    for (const char *text : {"<Head></Head><Body bgcolor=\"#ffffff\"></Body>", "<HEAD></HEAD><BODY></BODY>",
                             "<hEaD lang=\"de\"></head><body></bOdY>"}) {
        ui.shown.clear();
        FakeHost host(ui);
        host.answer = page(text);
        RunSiteWizard(true, host);
        EXPECT_TRUE(ui.shown.empty()) << text;
        EXPECT_EQ(host.optimizations, 1) << text;
    }
}

TEST_F(SiteWizardTest, FramesetWithoutBodyPassesWithTheNotice)
{
    FakeHost host(ui);
    host.answer = page("<head></head><FRAMESET><frame src=\"a.htm\"></FRAMESET>");
    RunSiteWizard(true, host);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, de("Homepage enthält Frames"));
    EXPECT_EQ(helpTopics, std::vector<int>{help::kFramePages});
    EXPECT_EQ(host.optimizations, 1);
}

TEST_F(SiteWizardTest, UnreadableHomepageGetsTheReadError)
{
    projectRecord().path = root() + "/site/fehlt.htm";
    EXPECT_FALSE(CheckHomepageFile(ui));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, "Lesefehler");
    EXPECT_EQ(ui.shown[0].text, de("Fehler beim Lesen der Datei \"") + root() +
                                    de("/site/fehlt.htm\". Schließen Sie alle Programme, die die Datei verwenden "
                                       "oder ändern Sie die Zugriffsrechte "));
    fs::create_directories(root() + "/site/fehlt.htm");
    EXPECT_FALSE(CheckHomepageFile(ui));
    EXPECT_EQ(ui.shown.back().title, "Lesefehler");
}

TEST_F(SiteWizardTest, ProjectThatCannotBeSavedEndsTheWizard)
{
    fs::remove(projectPath("default"));
    FakeHost host(ui);
    host.answer = page("<head></head><body></body>");
    RunSiteWizard(true, host);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, "Fehler beim Schreiben der Daten");
    EXPECT_EQ(host.optimizations, 0);
}

TEST_F(SiteWizardTest, FullFormSavesAfterThePagesAndOnlyThenOptimises)
{
    FakeHost host(ui);
    host.answer = page("<head></head><body></body>");
    host.results = {PageResult::Cancel};
    RunSiteWizard(false, host);
    EXPECT_EQ(host.pages, std::vector<WizardPage>{WizardPage::Titles});
    EXPECT_EQ(host.optimizations, 0);

    host.pages.clear();
    host.typedTitle = "Neu";
    RunSiteWizard(false, host);
    EXPECT_EQ(host.optimizations, 1);
    EXPECT_NE(readFile(projectPath("default")).find("Neu"), std::string::npos);
}

TEST_F(SiteWizardTest, PageChainFollowsTheCopyOptionsBackAndCancel)
{
    using P = WizardPage;
    FakeHost host(ui);
    projectOptions().tico = 0;
    projectOptions().deco = 0;
    host.results = {PageResult::Next, PageResult::Next, PageResult::Back, PageResult::Next, PageResult::Next};
    EXPECT_TRUE(RunPageSequence(host, "default"));
    EXPECT_EQ(host.pages, (std::vector<P>{P::Titles, P::KeywordGrid, P::Doorways, P::KeywordGrid, P::Doorways,
                                          P::KindOfOptimisation}));

    host.pages.clear();
    projectOptions().tico = 1;
    projectOptions().deco = 1;
    host.results = {PageResult::Next, PageResult::Next, PageResult::Next, PageResult::Next, PageResult::Back,
                    PageResult::Back, PageResult::Back, PageResult::Cancel, PageResult::Cancel};
    host.ends = {EndChoice::BackToWizard, EndChoice::End};
    const std::string before = readFile(projectPath("default"));
    projectRecord().title1 = "Nicht gespeichert";
    EXPECT_FALSE(RunPageSequence(host, "default"));
    EXPECT_EQ(host.pages, (std::vector<P>{P::Titles, P::KeywordGrid, P::CopyTitles, P::CopyDescriptions, P::Doorways,
                                          P::CopyDescriptions, P::CopyTitles, P::KeywordGrid, P::KeywordGrid}));
    EXPECT_EQ(readFile(projectPath("default")), before);

    // Ending with the box checked saves what was entered, without optimising.
    host.pages.clear();
    host.results = {PageResult::Cancel};
    host.ends = {EndChoice::EndAndSave};
    EXPECT_FALSE(RunPageSequence(host, "default"));
    EXPECT_NE(readFile(projectPath("default")).find("Nicht gespeichert"), std::string::npos);
}

} // namespace
