#pragma once

#include <cstdint>
#include <string>

namespace vantor {

// The program settings held in memory while the program runs; read from the
// settings store at start and written back by the dialogs that change them.
struct ProgramSettings {
    static constexpr std::size_t kTextCapacity = 259;
    static constexpr int kAccessSystem = 0;
    static constexpr int kAccessDirect = 1;
    static constexpr int kAccessProxy = 3;
    static constexpr int kAccessNotConfigured = 999;

    std::string programDirectory;
    std::string currentProject = "default";
    int tip = 1;
    int userLevel = 0; // 0 not chosen, 1 "Anwender", 2 "Entwickler"
    int accessType = kAccessNotConfigured;
    int httpInform = 1;
    std::string proxy;
    std::string proxyPort;
    std::string proxyUser;
    std::string proxyPassword;
};

ProgramSettings &programSettings();

// The version as the program shows and stores it, with its trailing blank.
extern const char *const kVersionText;

struct ProgramStartStatus {
    bool firstStart = false;
    bool programDirectoryMissing = false;
    // default.qx! is there but is no file (a directory, a dangling link):
    // not a first start, which would reset the settings at every run.
    bool standardProjectDamaged = false;
};

void ReadInternetSettings();
ProgramStartStatus ReadProgramSettings();
void WriteInitialSettings();
void SaveLastProject(const std::string &name);
// An expert setting: its 32-bit value, 0 when missing. Read at every use.
int ReadExpertFlag(const std::string &name);

// The text of the "Fehler Code 7001" box: the settings cannot be written.
std::string settingsWriteFailedText();

// Writes the user level to memory and the store ("Anwender" 1, "Entwickler" 2).
void SaveUserLevel(int level);

} // namespace vantor
