#include "TestEnvironment.h"

#include "platform/Files.h"
#include "platform/Help.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "wizard/SiteWizard.h"

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
    bool runDataPages() override
    {
        ++pages;
        return pagesComplete;
    }
    void runOptimization() override { ++optimizations; }

    std::optional<std::string> answer;
    std::string offered;
    bool pagesComplete = true;
    int pages = 0;
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
    EXPECT_EQ(host.pages, 0);
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
        {"<Head></head><body></body>", "Kein Element <HEAD> gefunden"},
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
    host.pagesComplete = false;
    RunSiteWizard(false, host);
    EXPECT_EQ(host.pages, 1);
    EXPECT_EQ(host.optimizations, 0);

    host.pagesComplete = true;
    RunSiteWizard(false, host);
    EXPECT_EQ(host.optimizations, 1);
}

} // namespace
