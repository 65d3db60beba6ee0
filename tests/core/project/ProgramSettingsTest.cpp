#include "project/ProgramSettings.h"

#include "../TestEnvironment.h"
#include "net/HttpGet.h"
#include "net/MakerServer.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/InternetAccess.h"
#include "project/MainMenu.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vantor {
namespace {

using ProgramSettingsTest = testing::CoreTest;

void storeInternetSettings(std::uint32_t access, const std::string &proxy = "proxy.example.de")
{
    SettingsStore &store = settingsStore();
    store.writeNumber("usertype", 2);
    store.writeNumber("accesstype", access);
    store.writeNumber("httpinform", 0);
    store.writeText("proxy", proxy);
    store.writeText("proxyport", "abc");
    store.writeText("proxyuser", "user");
    store.writeText("proxypassword", "geheim");
}

void expectInternetReset()
{
    const ProgramSettings &s = programSettings();
    EXPECT_EQ(s.accessType, 999);
    EXPECT_EQ(s.httpInform, 1);
    EXPECT_EQ(s.proxy, "");
    EXPECT_EQ(s.proxyPort, "");
    EXPECT_EQ(s.proxyUser, "");
    EXPECT_EQ(s.proxyPassword, "");
    const SettingsStore &store = settingsStore();
    EXPECT_EQ(store.readNumber("accesstype"), 999u);
    EXPECT_EQ(store.readNumber("httpinform"), 1u);
    for (const char *name : {"proxy", "proxyport", "proxyuser", "proxypassword"})
        EXPECT_EQ(store.readText(name), "") << name;
}

TEST_F(ProgramSettingsTest, InternetSettingsAreReadOrResetAsAWhole)
{
    // Nothing stored yet: the level is written as 0, the rest as not configured.
    ReadInternetSettings();
    EXPECT_EQ(programSettings().userLevel, 0);
    EXPECT_EQ(settingsStore().readNumber("usertype"), 0u);
    expectInternetReset();

    // Everything there: taken as it is, the port as text.
    storeInternetSettings(3);
    ReadInternetSettings();
    const ProgramSettings &s = programSettings();
    EXPECT_EQ(s.userLevel, 2);
    EXPECT_EQ(s.accessType, 3);
    EXPECT_EQ(s.httpInform, 0);
    EXPECT_EQ(s.proxy, "proxy.example.de");
    EXPECT_EQ(s.proxyPort, "abc");
    EXPECT_EQ(s.proxyUser, "user");
    EXPECT_EQ(s.proxyPassword, "geheim");

    // Only httpinform missing: every Internet value starts over, the level stays.
    settingsStore().deleteValue("httpinform");
    ReadInternetSettings();
    expectInternetReset();
    EXPECT_EQ(programSettings().userLevel, 2);

    // A text of 259 characters fits its buffer, one more is a failed read;
    // so is a number stored as text.
    storeInternetSettings(1, std::string(259, 'p'));
    ReadInternetSettings();
    EXPECT_EQ(programSettings().proxy, std::string(259, 'p'));
    EXPECT_EQ(programSettings().accessType, 1);
    storeInternetSettings(1, std::string(260, 'p'));
    ReadInternetSettings();
    expectInternetReset();
    storeInternetSettings(1);
    settingsStore().writeText("accesstype", "1");
    ReadInternetSettings();
    expectInternetReset();
}

TEST_F(ProgramSettingsTest, ProgramSettingsTellAFirstStart)
{
    SettingsStore &store = settingsStore();
    store.writeText("progpath", root() + "/");
    store.writeText("lastproject", "shop");
    store.writeNumber("tip", 7);
    store.writeNumber("usertype", 1);
    programSettings().programDirectory.clear();

    // No default.qx!: a first start, and the rest is not read.
    ProgramStartStatus status = ReadProgramSettings();
    EXPECT_TRUE(status.firstStart);
    EXPECT_FALSE(status.programDirectoryMissing);
    EXPECT_EQ(programSettings().programDirectory, root());
    EXPECT_EQ(programSettings().currentProject, "default");
    EXPECT_EQ(programSettings().tip, 1);

    writeProject("default", "");
    status = ReadProgramSettings();
    EXPECT_FALSE(status.firstStart);
    EXPECT_EQ(programSettings().currentProject, "shop");
    EXPECT_EQ(programSettings().tip, 7);
    EXPECT_EQ(programSettings().userLevel, 1);

    // An empty lastproject keeps the current name.
    programSettings().currentProject = "default";
    store.writeText("lastproject", "");
    ReadProgramSettings();
    EXPECT_EQ(programSettings().currentProject, "default");

    // A long directory is taken whole: a shortened one would be another place.
    const std::string deep = root() + "/" + std::string(150, 'd') + "/" + std::string(150, 'e');
    std::filesystem::create_directories(deep + "/projects");
    writeFile(deep + "/projects/default.qx!", "");
    store.writeText("progpath", deep);
    status = ReadProgramSettings();
    EXPECT_EQ(programSettings().programDirectory, deep);
    EXPECT_FALSE(status.firstStart);

    store.deleteValue("progpath");
    status = ReadProgramSettings();
    EXPECT_TRUE(status.programDirectoryMissing);
    EXPECT_TRUE(programSettings().programDirectory.empty());
}

TEST_F(ProgramSettingsTest, ExpertValuesAreReadAtEveryUse)
{
    EXPECT_EQ(ReadExpertFlag("templatesmayuseframes"), 0);
    SettingsStore(settingsStore().filePath()).writeNumber("TemplatesMayUseFrames", 1);
    EXPECT_EQ(ReadExpertFlag("templatesmayuseframes"), 1);
    EXPECT_FALSE(settingsStore().hasValue("dontuseHPkeywordsfordoorways")); // never written
}

TEST_F(ProgramSettingsTest, TipsRotateFromOneToEighteen)
{
    const std::pair<int, int> cases[] = {{18, 18}, {0, 1}, {19, 1}, {-1, 1}, {5, 5}};
    for (const auto &[stored, shownTip] : cases) {
        programSettings().tip = stored;
        EXPECT_EQ(takeNextTip(), shownTip) << stored;
        const int next = shownTip == 18 ? 1 : shownTip + 1;
        EXPECT_EQ(programSettings().tip, next) << stored;
        EXPECT_EQ(settingsStore().readNumber("tip"), static_cast<std::uint32_t>(next)) << stored;
    }
    EXPECT_EQ(tipText(1).rfind(de("Erzeugen Sie Kopien von Ihren wichtigsten Seiten"), 0), 0u);
    EXPECT_EQ(tipText(18), de("Seiten mit Frames sind äußerst ungünstig zu optimieren. Beachten Sie die Hinweise in der "
                              "Hilfe-Datei!\r\n\r\n"));
    EXPECT_EQ(tipText(0), tipText(1));

    programSettings().currentProject = "mydefault2";
    EXPECT_EQ(projectLine(), "Geladenes Projekt: Standardprojekt ");
    programSettings().currentProject = "def";
    EXPECT_EQ(projectLine(), "Geladenes Projekt: def ");
    EXPECT_EQ(versionLine(), "Verwendete Version: Vantor!! 4.01 ");
}

// --- Internet access dialog -------------------------------------------------

class InternetAccessTest : public testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        setConnectionTestFetcher([this](const std::string &path, bool, Ui &, std::string &body, std::string &error) {
            requests.push_back(path);
            stateAtRequest.push_back(programSettings().accessType);
            if (failures > 0) {
                --failures;
                error = de("Zeitüberschreitung");
                return false;
            }
            body = "4.01";
            return true;
        });
    }

    std::vector<std::string> requests;
    std::vector<int> stateAtRequest;
    int failures = 0;
};

TEST_F(InternetAccessTest, OpeningShowsOtherAccessTypesAsSystemSettings)
{
    settingsStore().writeNumber("accesstype", 2);
    programSettings().accessType = 2;
    programSettings().proxy = "host";
    programSettings().proxyPort = "8080";
    programSettings().httpInform = 0;
    InternetAccessInput input = openInternetAccess();
    EXPECT_EQ(input.accessType, 0);
    EXPECT_EQ(programSettings().accessType, 0);
    EXPECT_FALSE(input.inform);
    EXPECT_EQ(input.proxy, "host");
    EXPECT_EQ(input.port, "8080");
    EXPECT_EQ(confirmInternetAccess(input, ui), InternetAccessResult::Saved);
    EXPECT_EQ(settingsStore().readNumber("accesstype"), 0u);
    EXPECT_EQ(settingsStore().readNumber("httpinform"), 0u);

    for (int kept : {1, 3}) {
        programSettings().accessType = kept;
        EXPECT_EQ(openInternetAccess().accessType, kept);
    }
    programSettings().accessType = 999;
    EXPECT_EQ(openInternetAccess().accessType, 0);

}

TEST_F(InternetAccessTest, AProxyNeedsHostAndPortButThePortIsNotChecked)
{
    programSettings().accessType = 1;
    for (const auto &[host, port] : {std::pair<std::string, std::string>{"proxy.de", ""}, {"", "8080"}, {"", ""}}) {
        ui.shown.clear();
        EXPECT_EQ(confirmInternetAccess({3, true, host, port, ""}, ui), InternetAccessResult::Invalid);
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].title, de("Eingabe ungültig"));
        EXPECT_EQ(ui.shown[0].text, de("Geben Sie den Proxynamen und einen gültigen Port ein. Details erfahren Sie "
                                       "durch Klicken auf 'Hilfe'."));
    }
    EXPECT_EQ(programSettings().accessType, 1);
    EXPECT_FALSE(settingsStore().hasValue("accesstype"));
    EXPECT_FALSE(settingsStore().hasValue("proxy"));

    ui.shown.clear();
    EXPECT_EQ(confirmInternetAccess({3, false, "proxy.de", "abc", ""}, ui), InternetAccessResult::Saved);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(settingsStore().readNumber("accesstype"), 3u);
    EXPECT_EQ(settingsStore().readNumber("httpinform"), 0u);
    EXPECT_EQ(settingsStore().readText("proxy"), "proxy.de");
    EXPECT_EQ(settingsStore().readText("proxyport"), "abc");
    EXPECT_EQ(programSettings().proxyPort, "abc");

    // Direct access needs no proxy; the fields are stored as they are, cut to 259.
    EXPECT_EQ(confirmInternetAccess({1, true, std::string(300, 'h'), "", ""}, ui), InternetAccessResult::Saved);
    EXPECT_EQ(settingsStore().readText("proxy"), std::string(259, 'h'));
    EXPECT_EQ(settingsStore().readNumber("accesstype"), 1u);
}

TEST_F(InternetAccessTest, AFailedWriteShowsCode7001AndKeepsTheValuesInMemory)
{
    writeFile(root() + "/blocker", "a file where the settings directory would be");
    setSettingsStorePath(root() + "/blocker/registry.ini");
    EXPECT_EQ(confirmInternetAccess({3, true, "proxy.de", "80", ""}, ui), InternetAccessResult::WriteFailed);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].kind, "systemError");
    EXPECT_EQ(ui.shown[0].title, "Fehler Code 7001");
    EXPECT_EQ(programSettings().accessType, 3);
    EXPECT_EQ(programSettings().proxy, "proxy.de");
}

TEST_F(InternetAccessTest, TestingConfirmsFirstAndAsksAgainOnRetry)
{
    // Invalid input: the message, and no request at all.
    testInternetAccess({3, true, "proxy.de", "", ""}, ui);
    EXPECT_TRUE(requests.empty());
    EXPECT_FALSE(ui.waitOpen);
    EXPECT_EQ(ui.titles(), std::vector<std::string>{de("Eingabe ungültig")});

    // Success: the settings are saved before the request goes out.
    ui.shown.clear();
    testInternetAccess({3, true, "proxy.de", "8080", ""}, ui);
    EXPECT_EQ(requests, std::vector<std::string>{"http://127.0.0.1:8080/download/vantor/version.txt"});
    EXPECT_EQ(stateAtRequest, std::vector<int>{3});
    EXPECT_EQ(settingsStore().readText("proxyport"), "8080");
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Erfolgreicher Test"});
    EXPECT_EQ(ui.waitTexts.back(), "Bitte warten...\nVerbindung wird getestet");
    EXPECT_FALSE(ui.waitOpen);
    EXPECT_EQ(ui.pausedMs, 0);

    // Two failures, "Nochmal" twice: 500 ms each, then success.
    requests.clear();
    ui.shown.clear();
    failures = 2;
    ui.connectionAnswers = {ConnectionAnswer::Retry, ConnectionAnswer::Retry};
    testInternetAccess({1, false, "", "", ""}, ui);
    EXPECT_EQ(requests.size(), 3u);
    EXPECT_EQ(ui.pausedMs, 1000);
    ASSERT_EQ(ui.shown.size(), 3u);
    EXPECT_EQ(ui.shown[0].kind, "connectionError");
    EXPECT_EQ(ui.shown[0].title, "Fehler beim Verbindungsaufbau");
    EXPECT_EQ(ui.shown[0].text, httpget::connectionErrorText(de("Zeitüberschreitung")));
    EXPECT_NE(ui.shown[0].text.find(de("Der exakte Fehlertext lautet: Zeitüberschreitung")), std::string::npos);
    EXPECT_EQ(ui.shown[2].title, "Erfolgreicher Test");
    EXPECT_FALSE(ui.waitOpen);

    // "Konfigurieren" and "Abbrechen" end the test after one request.
    for (ConnectionAnswer answer : {ConnectionAnswer::Configure, ConnectionAnswer::Cancel}) {
        requests.clear();
        ui.shown.clear();
        failures = 5;
        ui.connectionAnswers = {answer};
        testInternetAccess({1, false, "", "", ""}, ui);
        EXPECT_EQ(requests.size(), 1u);
        EXPECT_EQ(ui.titles(), std::vector<std::string>{"Fehler beim Verbindungsaufbau"});
        EXPECT_FALSE(ui.waitOpen);
    }
}

TEST_F(InternetAccessTest, TheUpdateServerIsHostAndPort)
{
    for (const auto &[typed, stored] : std::vector<std::pair<std::string, std::string>>{
             {"", ""},
             {"update.example.de", "update.example.de"},
             {"update.example.de:8080", "update.example.de:8080"},
             {"127.0.0.1:1", "127.0.0.1:1"},
             {"localhost:65535", "localhost:65535"},
             {"[::1]:8080", "[::1]:8080"},
             // As the program reads the setting when it is written by hand.
             {" http://updates.example:81/ ", "updates.example:81"}}) {
        SCOPED_TRACE(typed);
        std::string server = "?";
        EXPECT_TRUE(normalizedUpdateServer(typed, server));
        EXPECT_EQ(server, stored);
    }
    for (const std::string &typed :
         {std::string("update.example.de:0"), std::string("update.example.de:65536"), std::string("host:"),
          std::string(":8080"), std::string("host:80a"), std::string("host:+80"), std::string("host:80:81"),
          std::string("up date.de"), de("müller.de"), std::string("host/pfad"), std::string("-host.de"),
          std::string("a..b"), std::string("http://"), std::string("[::1"), std::string("[zz]:80")}) {
        SCOPED_TRACE(typed);
        std::string server;
        EXPECT_FALSE(normalizedUpdateServer(typed, server));
    }
}

TEST_F(InternetAccessTest, TheUpdateServerIsLoadedCheckedAndSavedWithTheRest)
{
    EXPECT_EQ(openInternetAccess().updateServer, "");
    settingsStore().writeText("updateserver", "alt.example.de:81");
    EXPECT_EQ(openInternetAccess().updateServer, "alt.example.de:81");

    // A server that cannot be: the message, and nothing stored.
    InternetAccessInput input{1, false, "", "", "update.example.de:70000"};
    EXPECT_EQ(confirmInternetAccess(input, ui), InternetAccessResult::Invalid);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, de("Eingabe ungültig"));
    EXPECT_EQ(ui.shown[0].text,
              de("Geben Sie als Update-Server einen Rechnernamen oder eine IP-Adresse ein, bei Bedarf mit Doppelpunkt "
                 "und einer Portnummer von 1 bis 65535.\nBeispiel: update.example.de:8080\nLassen Sie das Feld leer, "
                 "verwendet Vantor!! den voreingestellten Server 127.0.0.1:8080."));
    EXPECT_FALSE(settingsStore().hasValue("accesstype"));
    EXPECT_EQ(settingsStore().readText("updateserver"), "alt.example.de:81");

    // "Testen" with it makes no request.
    ui.shown.clear();
    testInternetAccess(input, ui);
    EXPECT_TRUE(requests.empty());
    EXPECT_EQ(ui.titles(), std::vector<std::string>{de("Eingabe ungültig")});

    input.updateServer = " http://update.example.de:8080/";
    ui.shown.clear();
    EXPECT_EQ(confirmInternetAccess(input, ui), InternetAccessResult::Saved);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(settingsStore().readText("updateserver"), "update.example.de:8080");

    // Emptied, the default is back.
    input.updateServer = "";
    EXPECT_EQ(confirmInternetAccess(input, ui), InternetAccessResult::Saved);
    EXPECT_EQ(settingsStore().readText("updateserver"), "");
    EXPECT_EQ(makerserver::server(), makerserver::kDefaultServer);
}

TEST_F(InternetAccessTest, TestingAsksTheServerInTheFieldEvenWhenItCannotBeSaved)
{
    settingsStore().writeText("updateserver", "alt.example.de:81");
    testInternetAccess({1, false, "", "", "neu.example.de:8081"}, ui);
    EXPECT_EQ(requests, std::vector<std::string>{"http://neu.example.de:8081/download/vantor/version.txt"});

    requests.clear();
    testInternetAccess({1, false, "", "", ""}, ui);
    EXPECT_EQ(requests, std::vector<std::string>{"http://127.0.0.1:8080/download/vantor/version.txt"});

    writeFile(root() + "/blocker", "a file where the settings directory would be");
    setSettingsStorePath(root() + "/blocker/registry.ini");
    requests.clear();
    ui.shown.clear();
    testInternetAccess({1, false, "", "", "neu.example.de:8081"}, ui);
    EXPECT_EQ(ui.shown.front().title, "Fehler Code 7001");
    EXPECT_EQ(requests, std::vector<std::string>{"http://neu.example.de:8081/download/vantor/version.txt"});
}

} // namespace
} // namespace vantor
