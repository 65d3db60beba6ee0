#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantor {

// The program's settings key, kept in one file with the model of the
// registry it replaces: typed values (32-bit numbers and texts) under the
// main key, and subkeys below it (one empty subkey per project). Names of
// values and subkeys compare without regard to ASCII case, as in the
// registry.
//
// Every call reads the file afresh, so a value an administrator changes
// takes effect at its next use; every change is written at once, atomically.
// Texts are cp1252 in memory and UTF-8 in the file.
class SettingsStore
{
public:
    // The main key's name, written into the file so it reads like an export.
    static constexpr const char *kKeyName = "Software\\Keldrum\\Vantor";

    explicit SettingsStore(std::string filePath);

    // $VANTOR_CONFIG_HOME, else $XDG_CONFIG_HOME (default ~/.config), then
    // Keldrum/Vantor/registry.ini. The path is in the file system's UTF-8.
    static std::string defaultFilePath();

    const std::string &filePath() const { return m_filePath; }

    std::optional<std::uint32_t> readNumber(const std::string &name) const;
    std::optional<std::string> readText(const std::string &name) const;
    bool hasValue(const std::string &name) const;
    bool writeNumber(const std::string &name, std::uint32_t value);
    bool writeText(const std::string &name, const std::string &value);
    bool deleteValue(const std::string &name);

    bool createSubkey(const std::string &name);
    bool hasSubkey(const std::string &name) const;
    std::vector<std::string> subkeys() const;
    bool deleteSubkey(const std::string &name);

private:
    struct Value {
        std::string name;
        bool isNumber = false;
        std::uint32_t number = 0;
        std::string text;
    };
    struct Data {
        std::vector<Value> values;
        std::vector<std::string> subkeys;
    };

    Data load() const;
    bool save(const Data &data) const;
    std::optional<Value> findValue(const std::string &name) const;
    bool writeValue(Value value);

    std::string m_filePath;
};

// The store the program uses: on defaultFilePath() unless a test or the
// command line put another in place.
SettingsStore &settingsStore();
void setSettingsStorePath(const std::string &filePath);

} // namespace vantor
