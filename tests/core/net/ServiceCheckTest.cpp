#include "TestEnvironment.h"

#include "net/DataFile.h"
#include "net/ServiceCheck.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"

using namespace vantor;

namespace {

class ServiceCheckTest : public vantor::testing::CoreTest
{
protected:
    std::string file() const { return root() + "/submit_d.dat"; }

    void writeData(const std::string &text) const
    {
        std::string stored;
        ASSERT_TRUE(DataFile::pack(text, stored));
        writeFile(file(), stored);
    }

    static std::string system(const std::string &active, const std::string &showAlways,
                              const std::string &systemActive = "1", const std::string &version = "4.01")
    {
        return "SYSTEM.active=" + active + "\r\nSYSTEM.showalways=" + showAlways +
               "\r\nSYSTEM.german=Hinweis vom Hersteller\r\nSYSTEM.systemactive=" + systemActive +
               "\r\nSYSTEM.requiredversion=" + version + "\r\nE.SERVER=x\r\n";
    }

    ServiceCheck::Result check()
    {
        ui.shown.clear();
        std::string text;
        return ServiceCheck::run(file(), "submitmsgshowed", texts, ui, settingsStore(), text);
    }

    std::uint32_t flag() const { return settingsStore().readNumber("submitmsgshowed").value_or(99); }
    int notices() const
    {
        int n = 0;
        for (const auto &s : ui.shown)
            n += s.title == "Nachricht" && s.text == "Hinweis vom Hersteller";
        return n;
    }

    ServiceCheck::Texts texts{de("Fehler aufgetreten"), de("Beim Lesen der Daten ist ein Fehler aufgetreten.")};
};

} // namespace

TEST_F(ServiceCheckTest, UnreadableFileOrMissingEntryIsTheCallersReadError)
{
    EXPECT_EQ(check(), ServiceCheck::Result::ReadError);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, texts.readErrorTitle);
    EXPECT_EQ(ui.shown[0].text, texts.readError);
    EXPECT_EQ(flag(), 0u); // created on the way

    const std::vector<std::string> broken = {
        "SYSTEM.showalways=1\r\nSYSTEM.systemactive=1\r\nSYSTEM.requiredversion=4\r\n",
        "SYSTEM.active=0\r\nSYSTEM.systemactive=1\r\nSYSTEM.requiredversion=4\r\n",
        "SYSTEM.active=0\r\nSYSTEM.showalways=1\r\nSYSTEM.requiredversion=4\r\n",
        "SYSTEM.active=0\r\nSYSTEM.showalways=1\r\nSYSTEM.systemactive=1\r\n",
        "SYSTEM.active=0\r\nSYSTEM.showalways=1\r\nSYSTEM.systemactive=1\r\nSYSTEM.requiredversion=neu\r\n",
        // The notice is due, but there is no text for it.
        "SYSTEM.active=1\r\nSYSTEM.showalways=1\r\nSYSTEM.systemactive=1\r\nSYSTEM.requiredversion=4\r\n",
    };
    for (const auto &text : broken) {
        writeData(text);
        EXPECT_EQ(check(), ServiceCheck::Result::ReadError) << text;
        EXPECT_EQ(ui.shown.back().title, texts.readErrorTitle) << text;
    }
}

TEST_F(ServiceCheckTest, OneTimeNoticeIsShownOnceAndAgainAfterAQuietFile)
{
    writeData(system("1", "0"));
    EXPECT_EQ(check(), ServiceCheck::Result::Go);
    EXPECT_EQ(notices(), 1);
    EXPECT_EQ(flag(), 1u);
    EXPECT_EQ(check(), ServiceCheck::Result::Go);
    EXPECT_EQ(notices(), 0);

    writeData(system("0", "0"));
    EXPECT_EQ(check(), ServiceCheck::Result::Go);
    EXPECT_EQ(notices(), 0);
    EXPECT_EQ(flag(), 0u);

    writeData(system("1", "0"));
    EXPECT_EQ(check(), ServiceCheck::Result::Go);
    EXPECT_EQ(notices(), 1);
}

TEST_F(ServiceCheckTest, ShowAlwaysNoticeComesEveryTime)
{
    settingsStore().writeNumber("submitmsgshowed", 1);
    writeData(system("1", "1"));
    EXPECT_EQ(check(), ServiceCheck::Result::Go);
    EXPECT_EQ(check(), ServiceCheck::Result::Go);
    EXPECT_EQ(notices(), 1);
    EXPECT_EQ(flag(), 1u); // untouched without a 0 in showalways

    // Both characters: shown always, and the flag is set as well.
    settingsStore().writeNumber("submitmsgshowed", 0);
    writeData(system("1", "10"));
    EXPECT_EQ(check(), ServiceCheck::Result::Go);
    EXPECT_EQ(notices(), 1);
    EXPECT_EQ(flag(), 1u);
    EXPECT_EQ(check(), ServiceCheck::Result::Go);
    EXPECT_EQ(notices(), 1);
}

TEST_F(ServiceCheckTest, MaintenanceAndRequiredVersion)
{
    writeData(system("0", "0", "0"));
    EXPECT_EQ(check(), ServiceCheck::Result::Unavailable);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, de("Recherche nicht verfügbar"));
    EXPECT_EQ(ui.shown[0].text.rfind(de("Aufgrund von Wartungsarbeiten oder Updates"), 0), 0u);

    for (const std::string version : {"4.01", "4.0", " 4", "+4.005", "4.01 beta"}) {
        writeData(system("0", "0", "1", version));
        EXPECT_EQ(check(), ServiceCheck::Result::Go) << version;
        EXPECT_TRUE(ui.shown.empty()) << version;
    }
    for (const std::string version : {"4.02", "4.011", "5"}) {
        writeData(system("0", "0", "1", version));
        EXPECT_EQ(check(), ServiceCheck::Result::UpdateRequired) << version;
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].title, "Update erforderlich");
        EXPECT_EQ(ui.shown[0].text.rfind(de("Sie können mit der installierten Version die Recherche nicht "
                                             "durchführen."),
                                          0),
                  0u);
    }
}

TEST_F(ServiceCheckTest, CallerKeepsTheTextForItsOwnLookups)
{
    writeData(system("0", "0"));
    std::string text;
    ASSERT_EQ(ServiceCheck::run(file(), "submitmsgshowed", texts, ui, settingsStore(), text),
              ServiceCheck::Result::Go);
    std::string server;
    EXPECT_TRUE(DataFile::value(text, "E", "SERVER", server));
    EXPECT_EQ(server, "x");
}
