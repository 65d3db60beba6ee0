#include "platform/SettingsStore.h"

#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vantor {

namespace {

std::string escape(const std::string &utf8)
{
    std::string out;
    for (char c : utf8) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string unescape(const std::string &text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char n = text[++i];
            out += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string getEnv(const char *name)
{
    const char *v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

const std::string kPrefix = std::string(SettingsStore::kKeyName);

} // namespace

SettingsStore::SettingsStore(std::string filePath)
    : m_filePath(std::move(filePath))
{
}

std::string SettingsStore::defaultFilePath()
{
    std::string base = getEnv("VANTOR_CONFIG_HOME");
    if (base.empty()) {
        base = getEnv("XDG_CONFIG_HOME");
        if (base.empty()) {
            const std::string home = getEnv("HOME");
            base = (home.empty() ? std::string(".") : home) + "/.config";
        }
    }
    return base + "/Keldrum/Vantor/registry.ini";
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool parseNumber(std::string_view raw, std::uint32_t &number)
{
    if (raw.empty() || raw.size() > 8)
        return false;
    std::uint32_t value = 0;
    for (char c : raw) {
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    number = value;
    return true;
}

// File times move in the kernel's coarse clock steps (a jiffy, at most
// 10 ms): a file changed in place within that step after we read it keeps
// its stamp. A read of a file that young is not trusted for the next use.
constexpr long long kRacyNs = 25'000'000;

long long nowNs()
{
    timespec ts {};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<long long>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

} // namespace

SettingsStore::Stamp SettingsStore::stampOf(const struct stat &st)
{
    const auto ns = [](const timespec &t) { return static_cast<long long>(t.tv_sec) * 1'000'000'000 + t.tv_nsec; };
    return {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
            static_cast<unsigned long long>(st.st_size), ns(st.st_mtim), ns(st.st_ctim)};
}

bool SettingsStore::isValidName(const std::string &name)
{
    if (name.empty() || name.find_first_of("=\r\n") != std::string::npos)
        return false;
    if (name.front() == '[' || name.front() == ';')
        return false;
    return !isBlank(name.front()) && !isBlank(name.back());
}

SettingsStore::Data SettingsStore::readFile(Stamp &stamp) const
{
    Data data;
    data.state = FileState::Unreadable;
    // Non-blocking, and the type checked on the open file: a FIFO in the
    // file's place must not hang the program.
    const int fd = ::open(m_filePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return data;
    struct stat st {};
    std::string content;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok) {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                ok = false;
            if (n <= 0)
                break;
            content.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    if (!ok)
        return data;
    ++m_fileReads;
    stamp = stampOf(st);

    data.state = FileState::Readable;
    enum class Section { None, Main, Subkey, Foreign } section = Section::None;
    std::size_t pos = 0;
    while (pos < content.size()) {
        auto end = content.find('\n', pos);
        if (end == std::string::npos)
            end = content.size();
        Line line;
        line.raw = content.substr(pos, end - pos);
        pos = end + 1;
        std::string_view t = line.raw;
        if (!t.empty() && t.back() == '\r')
            t.remove_suffix(1);
        if (!t.empty() && t.front() == '[') {
            const auto close = t.rfind(']');
            const std::string key(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            line.header = true;
            if (equalsIgnoreAsciiCase(key, kPrefix)) {
                line.kind = Line::MainKey;
                section = Section::Main;
            } else if (key.size() > kPrefix.size() + 1 && equalsIgnoreAsciiCase(key.substr(0, kPrefix.size()), kPrefix)
                       && key[kPrefix.size()] == '\\') {
                line.kind = Line::Subkey;
                line.subkey = toCp1252(key.substr(kPrefix.size() + 1));
                section = Section::Subkey;
            } else {
                section = Section::Foreign;
            }
        } else if (section == Section::Main && !t.empty() && t.front() != ';') {
            const auto eq = t.find('=');
            if (eq != std::string_view::npos && eq > 0 && !isBlank(t.front()) && !isBlank(t[eq - 1])) {
                Value v;
                v.name = toCp1252(unescape(std::string(t.substr(0, eq))));
                const std::string_view raw = t.substr(eq + 1);
                if (raw.substr(0, 6) == "dword:" && parseNumber(raw.substr(6), v.number)) {
                    v.isNumber = true;
                    line.kind = Line::Value;
                } else if (raw.substr(0, 3) == "sz:") {
                    v.text = toCp1252(unescape(std::string(raw.substr(3))));
                    line.kind = Line::Value;
                }
                if (line.kind == Line::Value)
                    line.value = std::move(v);
            }
        }
        data.lines.push_back(std::move(line));
    }
    return data;
}

SettingsStore::FileState SettingsStore::fileState() const { return load().state; }

const SettingsStore::Data &SettingsStore::load() const
{
    struct stat st {};
    if (::stat(m_filePath.c_str(), &st) != 0) {
        m_cacheValid = false;
        m_cache = Data{};
        // A link that points nowhere is there all the same, and may be the
        // user's way of keeping the file elsewhere.
        struct stat link {};
        m_cache.state = (errno == ENOENT && ::lstat(m_filePath.c_str(), &link) != 0) ? FileState::Missing
                                                                                     : FileState::Unreadable;
        return m_cache;
    }
    const Stamp now = stampOf(st);
    if (m_cacheValid && now == m_stamp)
        return m_cache;
    Stamp stamp;
    m_cache = readFile(stamp);
    m_stamp = stamp;
    m_cacheValid = m_cache.state == FileState::Readable && nowNs() - stamp.modifiedNs > kRacyNs
        && nowNs() - stamp.changedNs > kRacyNs;
    return m_cache;
}

std::string SettingsStore::valueLine(const Value &v)
{
    std::string line = escape(toUtf8(v.name)) + '=';
    if (v.isNumber) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%08x", v.number);
        line += "dword:";
        line += buf;
    } else {
        line += "sz:" + escape(toUtf8(v.text));
    }
    return line;
}

bool SettingsStore::save(const Data &data)
{
    if (data.state == FileState::Unreadable)
        return false;
    std::string out;
    for (const auto &line : data.lines) {
        out += line.raw;
        out += '\n';
    }
    createDirectory();
    files::AtomicWrite how;
    how.newFileMode = 0600; // it holds the proxy password
    if (!files::writeAtomicOsPath(m_filePath, out, how)) {
        m_cacheValid = false;
        return false;
    }
    m_cache = data;
    m_cache.state = FileState::Readable;
    struct stat st {};
    // Our own write is a fresh file (a new inode), so its stamp is trusted.
    m_cacheValid = ::stat(m_filePath.c_str(), &st) == 0;
    m_stamp = stampOf(st);
    return true;
}

const SettingsStore::Value *SettingsStore::findValue(const std::string &name) const
{
    for (const auto &line : load().lines)
        if (line.kind == Line::Value && equalsIgnoreAsciiCase(line.value.name, name))
            return &line.value;
    return nullptr;
}

std::optional<std::uint32_t> SettingsStore::readNumber(const std::string &name) const
{
    const Value *v = findValue(name);
    if (!v || !v->isNumber)
        return std::nullopt;
    return v->number;
}

std::optional<std::string> SettingsStore::readText(const std::string &name) const
{
    const Value *v = findValue(name);
    if (!v || v->isNumber)
        return std::nullopt;
    return v->text;
}

bool SettingsStore::hasValue(const std::string &name) const { return findValue(name) != nullptr; }

SettingsStore::Line SettingsStore::mainKeyLine()
{
    Line header;
    header.kind = Line::MainKey;
    header.header = true;
    header.raw = "[" + kPrefix + "]";
    return header;
}

bool SettingsStore::loadForChange(Data &data) const
{
    data = load();
    if (data.state == FileState::Unreadable)
        return false;
    if (data.state == FileState::Missing) {
        Line comment;
        comment.raw = "; Vantor!! settings";
        data.lines.push_back(std::move(comment));
        data.lines.push_back(mainKeyLine());
    }
    return true;
}

void SettingsStore::createDirectory() const
{
    std::error_code ec;
    const fs::path target(m_filePath);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), ec);
}

bool SettingsStore::changeLocked(const std::function<bool()> &change)
{
    // The lock file lies beside ours, so the directory comes first.
    createDirectory();
    const FileLock lock(m_filePath);
    // Read again whatever the stamp says: a file another program replaced
    // twice within one tick of the clock can come back with the inode, size
    // and times of the one we know, and a change based on ours would undo
    // theirs.
    m_cacheValid = false;
    if (!lock.locked())
        return false;
    return change();
}

bool SettingsStore::writeValue(Value value)
{
    if (!isValidName(value.name))
        return false;
    return changeLocked([&] { return writeChangedValue(std::move(value)); });
}

bool SettingsStore::writeChangedValue(Value value)
{
    Data data;
    if (!loadForChange(data))
        return false;
    for (auto &line : data.lines) {
        if (line.kind == Line::Value && equalsIgnoreAsciiCase(line.value.name, value.name)) {
            // The stored name keeps its spelling; type and content are replaced.
            value.name = line.value.name;
            line.value = std::move(value);
            line.raw = valueLine(line.value);
            return save(data);
        }
    }
    Line added;
    added.kind = Line::Value;
    added.raw = valueLine(value);
    added.value = std::move(value);
    auto main = std::find_if(data.lines.begin(), data.lines.end(), [](const Line &l) { return l.kind == Line::MainKey; });
    if (main == data.lines.end()) {
        // A file with other sections only: ours goes at its end.
        if (!data.lines.back().raw.empty())
            data.lines.emplace_back();
        data.lines.push_back(mainKeyLine());
        data.lines.push_back(std::move(added));
        return save(data);
    }
    // After the key's last line that is not blank, so a blank line before
    // the next section stays where it was.
    auto end = std::find_if(main + 1, data.lines.end(), [](const Line &l) { return l.header; });
    auto at = end;
    while (at != main + 1 && (at - 1)->raw.find_first_not_of(" \t\r") == std::string::npos)
        --at;
    data.lines.insert(at, std::move(added));
    return save(data);
}

bool SettingsStore::writeNumber(const std::string &name, std::uint32_t value)
{
    return writeValue({name, true, value, {}});
}

bool SettingsStore::writeText(const std::string &name, const std::string &value)
{
    return writeValue({name, false, 0, value});
}

bool SettingsStore::deleteValue(const std::string &name)
{
    return changeLocked([&] { return deleteChangedValue(name); });
}

bool SettingsStore::deleteChangedValue(const std::string &name)
{
    Data data = load();
    const auto before = data.lines.size();
    data.lines.erase(std::remove_if(data.lines.begin(), data.lines.end(),
                                    [&](const Line &l) {
                                        return l.kind == Line::Value && equalsIgnoreAsciiCase(l.value.name, name);
                                    }),
                     data.lines.end());
    if (data.lines.size() == before)
        return false;
    return save(data);
}

bool SettingsStore::createSubkey(const std::string &name)
{
    // The subkey line is read up to its last ']', so brackets in a name (a
    // project "Angebot [2026]") are fine; a backslash would make a deeper key.
    if (name.empty() || name.find_first_of("\\\n\r") != std::string::npos)
        return false;
    if (hasSubkey(name))
        return true;
    return changeLocked([&] { return hasSubkey(name) || createChangedSubkey(name); });
}

bool SettingsStore::createChangedSubkey(const std::string &name)
{
    Data data;
    if (!loadForChange(data))
        return false;
    if (!data.lines.back().raw.empty())
        data.lines.emplace_back();
    Line header;
    header.kind = Line::Subkey;
    header.header = true;
    header.subkey = name;
    header.raw = "[" + kPrefix + '\\' + toUtf8(name) + "]";
    data.lines.push_back(std::move(header));
    return save(data);
}

bool SettingsStore::hasSubkey(const std::string &name) const
{
    const auto &lines = load().lines;
    return std::any_of(lines.begin(), lines.end(),
                       [&](const Line &l) { return l.kind == Line::Subkey && equalsIgnoreAsciiCase(l.subkey, name); });
}

std::vector<std::string> SettingsStore::subkeys() const
{
    std::vector<std::string> names;
    for (const auto &line : load().lines)
        if (line.kind == Line::Subkey)
            names.push_back(line.subkey);
    return names;
}

bool SettingsStore::deleteSubkey(const std::string &name)
{
    return changeLocked([&] { return deleteChangedSubkey(name); });
}

bool SettingsStore::deleteChangedSubkey(const std::string &name)
{
    Data data = load();
    bool found = false;
    for (std::size_t i = 0; i < data.lines.size();) {
        const Line &l = data.lines[i];
        if (l.kind == Line::Subkey && equalsIgnoreAsciiCase(l.subkey, name)) {
            // The subkey goes with whatever stands in it.
            std::size_t end = i + 1;
            while (end < data.lines.size() && !data.lines[end].header)
                ++end;
            data.lines.erase(data.lines.begin() + static_cast<std::ptrdiff_t>(i),
                             data.lines.begin() + static_cast<std::ptrdiff_t>(end));
            found = true;
        } else {
            ++i;
        }
    }
    if (!found)
        return false;
    return save(data);
}

namespace {
std::unique_ptr<SettingsStore> g_store;
} // namespace

SettingsStore &settingsStore()
{
    if (!g_store)
        g_store = std::make_unique<SettingsStore>(SettingsStore::defaultFilePath());
    return *g_store;
}

void setSettingsStorePath(const std::string &filePath) { g_store = std::make_unique<SettingsStore>(filePath); }

} // namespace vantor
