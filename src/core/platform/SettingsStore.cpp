#include "platform/SettingsStore.h"

#include "platform/Files.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

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

SettingsStore::Data SettingsStore::load() const
{
    Data data;
    std::ifstream in(m_filePath, std::ios::binary);
    if (!in)
        return data;
    std::string line;
    bool inMainKey = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            const auto close = line.rfind(']');
            const std::string key = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
            inMainKey = equalsIgnoreAsciiCase(key, kPrefix);
            if (!inMainKey && key.size() > kPrefix.size() + 1 && equalsIgnoreAsciiCase(key.substr(0, kPrefix.size()), kPrefix)
                && key[kPrefix.size()] == '\\')
                data.subkeys.push_back(toCp1252(key.substr(kPrefix.size() + 1)));
            continue;
        }
        if (!inMainKey)
            continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        Value v;
        v.name = toCp1252(unescape(line.substr(0, eq)));
        const std::string raw = line.substr(eq + 1);
        if (raw.rfind("dword:", 0) == 0) {
            v.isNumber = true;
            v.number = static_cast<std::uint32_t>(std::strtoul(raw.c_str() + 6, nullptr, 16));
        } else if (raw.rfind("sz:", 0) == 0) {
            v.text = toCp1252(unescape(raw.substr(3)));
        } else {
            continue;
        }
        data.values.push_back(std::move(v));
    }
    return data;
}

bool SettingsStore::save(const Data &data) const
{
    std::ostringstream out;
    out << "; Vantor!! settings\n[" << kPrefix << "]\n";
    for (const auto &v : data.values) {
        // '=' cannot be part of a name in this file, and no name of ours has one.
        out << escape(toUtf8(v.name)) << '=';
        if (v.isNumber) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%08x", v.number);
            out << "dword:" << buf << '\n';
        } else {
            out << "sz:" << escape(toUtf8(v.text)) << '\n';
        }
    }
    for (const auto &s : data.subkeys)
        out << "\n[" << kPrefix << '\\' << toUtf8(s) << "]\n";

    std::error_code ec;
    const fs::path target(m_filePath);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), ec);
    return files::writeAtomicOsPath(m_filePath, out.str());
}

std::optional<SettingsStore::Value> SettingsStore::findValue(const std::string &name) const
{
    for (auto &v : load().values)
        if (equalsIgnoreAsciiCase(v.name, name))
            return v;
    return std::nullopt;
}

std::optional<std::uint32_t> SettingsStore::readNumber(const std::string &name) const
{
    const auto v = findValue(name);
    if (!v || !v->isNumber)
        return std::nullopt;
    return v->number;
}

std::optional<std::string> SettingsStore::readText(const std::string &name) const
{
    const auto v = findValue(name);
    if (!v || v->isNumber)
        return std::nullopt;
    return v->text;
}

bool SettingsStore::hasValue(const std::string &name) const { return findValue(name).has_value(); }

bool SettingsStore::writeValue(Value value)
{
    if (value.name.find_first_of("=\n\r") != std::string::npos)
        return false;
    Data data = load();
    auto it = std::find_if(data.values.begin(), data.values.end(),
                           [&](const Value &v) { return equalsIgnoreAsciiCase(v.name, value.name); });
    if (it == data.values.end()) {
        data.values.push_back(std::move(value));
    } else {
        // The stored name keeps its spelling; type and content are replaced.
        value.name = it->name;
        *it = std::move(value);
    }
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
    Data data = load();
    const auto before = data.values.size();
    data.values.erase(std::remove_if(data.values.begin(), data.values.end(),
                                     [&](const Value &v) { return equalsIgnoreAsciiCase(v.name, name); }),
                      data.values.end());
    if (data.values.size() == before)
        return false;
    return save(data);
}

bool SettingsStore::createSubkey(const std::string &name)
{
    // The subkey line is read up to its last ']', so brackets in a name (a
    // project "Angebot [2026]") are fine; a backslash would make a deeper key.
    if (name.empty() || name.find_first_of("\\\n\r") != std::string::npos)
        return false;
    Data data = load();
    if (std::any_of(data.subkeys.begin(), data.subkeys.end(), [&](const std::string &s) { return equalsIgnoreAsciiCase(s, name); }))
        return true;
    data.subkeys.push_back(name);
    return save(data);
}

bool SettingsStore::hasSubkey(const std::string &name) const
{
    const auto keys = load().subkeys;
    return std::any_of(keys.begin(), keys.end(), [&](const std::string &s) { return equalsIgnoreAsciiCase(s, name); });
}

std::vector<std::string> SettingsStore::subkeys() const { return load().subkeys; }

bool SettingsStore::deleteSubkey(const std::string &name)
{
    Data data = load();
    const auto before = data.subkeys.size();
    data.subkeys.erase(std::remove_if(data.subkeys.begin(), data.subkeys.end(),
                                      [&](const std::string &s) { return equalsIgnoreAsciiCase(s, name); }),
                       data.subkeys.end());
    if (data.subkeys.size() == before)
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
