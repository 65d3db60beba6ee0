#include "project/ProgramSettings.h"

#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProjectFile.h"

namespace vantor {

const char *const kVersionText = "Vantor!! 4.01 ";

ProgramSettings &programSettings()
{
    static ProgramSettings settings;
    return settings;
}

namespace {

// A text value within the capacity of its buffer, else nullopt like a
// failed read.
std::optional<std::string> readBoundedText(const SettingsStore &store, const char *name)
{
    auto v = store.readText(name);
    if (v && v->size() > ProgramSettings::kTextCapacity)
        return std::nullopt;
    return v;
}

} // namespace

void ReadInternetSettings()
{
    SettingsStore &store = settingsStore();
    ProgramSettings &s = programSettings();
    if (const auto level = store.readNumber("usertype")) {
        s.userLevel = static_cast<int>(*level);
    } else {
        s.userLevel = 0;
        store.writeNumber("usertype", 0);
    }

    const auto access = store.readNumber("accesstype");
    const auto inform = store.readNumber("httpinform");
    const auto proxy = readBoundedText(store, "proxy");
    const auto port = readBoundedText(store, "proxyport");
    const auto user = readBoundedText(store, "proxyuser");
    const auto password = readBoundedText(store, "proxypassword");
    if (access && inform && proxy && port && user && password) {
        s.accessType = static_cast<int>(*access);
        s.httpInform = static_cast<int>(*inform);
        s.proxy = *proxy;
        s.proxyPort = *port;
        s.proxyUser = *user;
        s.proxyPassword = *password;
        return;
    }
    // Anything missing or broken: start over with "not configured", so the
    // Internet access dialog comes up at this start.
    s.accessType = ProgramSettings::kAccessNotConfigured;
    s.httpInform = 1;
    s.proxy.clear();
    s.proxyPort.clear();
    s.proxyUser.clear();
    s.proxyPassword.clear();
    store.writeNumber("accesstype", ProgramSettings::kAccessNotConfigured);
    store.writeNumber("httpinform", 1);
    store.writeText("proxy", "");
    store.writeText("proxyport", "");
    store.writeText("proxyuser", "");
    store.writeText("proxypassword", "");
}

ProgramStartStatus ReadProgramSettings()
{
    ProgramStartStatus status;
    SettingsStore &store = settingsStore();
    ProgramSettings &s = programSettings();
    const auto dir = store.readText("progpath");
    if (!dir || dir->empty()) {
        status.programDirectoryMissing = true;
        s.programDirectory.clear();
    } else {
        // Taken whole: a directory cut to a buffer's length would be another
        // place, and every project would seem missing.
        s.programDirectory = *dir;
        while (s.programDirectory.size() > 1 && s.programDirectory.back() == '/')
            s.programDirectory.pop_back();
    }
    const std::string standard = projectFilePath("default");
    if (!files::isFile(standard)) {
        if (!files::entryExists(standard)) {
            status.firstStart = true;
            return status;
        }
        status.standardProjectDamaged = true;
    }
    if (const auto last = store.readText("lastproject"); last && !last->empty())
        s.currentProject = *last;
    if (const auto tip = store.readNumber("tip"))
        s.tip = static_cast<int>(*tip);
    if (const auto level = store.readNumber("usertype"))
        s.userLevel = static_cast<int>(*level);
    return status;
}

void WriteInitialSettings()
{
    SettingsStore &store = settingsStore();
    store.writeText("revision", kVersionText);
    store.writeNumber("tip", 1);
    store.writeText("lastproject", "default");
    // A level the user already chose (settings kept from an earlier
    // installation) stays: writing 0 here would ask again at the next start.
    ProgramSettings &s = programSettings();
    store.writeNumber("usertype", static_cast<std::uint32_t>(s.userLevel));
    s.tip = 1;
}

std::string settingsWriteFailedText()
{
    if (FileLock::lastBusy())
        return FileLock::busyText(toCp1252(settingsStore().filePath()));
    return de("Fehler beim Zugriff auf Registrierungsdatei Ihres Systems. Programm kann nicht ausgeführt werden. "
              "Konsultieren Sie Ihr Betriebssystem-Handbuch oder den System-Administrator. Eventuell haben Sie nicht "
              "die Rechte zum Zugriff.");
}

void SaveLastProject(const std::string &name) { settingsStore().writeText("lastproject", name); }

int ReadExpertFlag(const std::string &name)
{
    const auto v = settingsStore().readNumber(name);
    return v ? static_cast<int>(*v) : 0;
}

void SaveUserLevel(int level)
{
    programSettings().userLevel = level;
    settingsStore().writeNumber("usertype", static_cast<std::uint32_t>(level));
}

} // namespace vantor
