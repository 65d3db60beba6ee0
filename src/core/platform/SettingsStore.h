#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct stat;

namespace vantor {

// The program's settings key, kept in one file with the model of the
// registry it replaces: typed values (32-bit numbers and texts) under the
// main key, and subkeys below it (one empty subkey per project). Names of
// values and subkeys compare without regard to ASCII case, as in the
// registry.
//
// Every call looks whether the file changed since it was last read, so a
// value an administrator changes takes effect at its next use; every change
// is written at once, atomically. Texts are cp1252 in memory and UTF-8 in
// the file. Lines the store does not understand (comments, other types,
// foreign sections) stay as they are through every change.
//
// A file that is there but cannot be read is never written: replacing it
// would throw away the proxy, the user level and every project's subkey.
//
// Several programs of ours may change the file at once (the window and the
// command line): every change holds a FileLock from reading the file to
// writing it back, and fails when the other does not let go in time.
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

    enum class FileState { Missing, Readable, Unreadable };
    // Missing is a fresh installation; Unreadable (no permission, no regular
    // file, a dangling link) refuses every change.
    FileState fileState() const;

    // A name that the store writes and reads back as the same value: not
    // empty, no '=', no line break, no blank at either end, not starting like
    // a comment or a section line.
    static bool isValidName(const std::string &name);

    // How often the file was actually read, for the benchmarks and tests.
    std::size_t fileReads() const { return m_fileReads; }

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
    // One line of the file as it stands there (UTF-8, line end removed), and
    // what it means to us.
    struct Line {
        enum Kind { Other, MainKey, Subkey, Value };
        Kind kind = Other;
        bool header = false; // a "[...]" line, ours or not
        std::string raw;
        std::string subkey; // Subkey: the name, cp1252
        SettingsStore::Value value;
    };
    struct Data {
        FileState state = FileState::Missing;
        std::vector<Line> lines;
    };
    // What identifies the file's content without reading it.
    struct Stamp {
        unsigned long long device = 0, inode = 0, size = 0;
        long long modifiedNs = 0, changedNs = 0;
        bool operator==(const Stamp &) const = default;
    };

    static Stamp stampOf(const struct stat &st);
    const Data &load() const;
    // The lines to change: false for a file that must not be written; a
    // missing file starts with our key.
    bool loadForChange(Data &data) const;
    // Runs change under the file's lock, with the file read afresh.
    bool changeLocked(const std::function<bool()> &change);
    void createDirectory() const;
    static Line mainKeyLine();
    Data readFile(Stamp &stamp) const;
    bool save(const Data &data);
    const Value *findValue(const std::string &name) const;
    bool writeValue(Value value);
    // The changes themselves, under the lock.
    bool writeChangedValue(Value value);
    bool deleteChangedValue(const std::string &name);
    bool createChangedSubkey(const std::string &name);
    bool deleteChangedSubkey(const std::string &name);
    static std::string valueLine(const Value &value);

    std::string m_filePath;
    mutable Data m_cache;
    mutable Stamp m_stamp;
    mutable bool m_cacheValid = false;
    mutable std::size_t m_fileReads = 0;
};

// The store the program uses: on defaultFilePath() unless a test or the
// command line put another in place.
SettingsStore &settingsStore();
void setSettingsStorePath(const std::string &filePath);

} // namespace vantor
