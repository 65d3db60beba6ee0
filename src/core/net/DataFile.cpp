#include "net/DataFile.h"

#include "platform/Files.h"

#include <zlib.h>

#include <fstream>
#include <memory>
#include <new>

namespace vantor {

namespace {

void shiftBytes(std::string &bytes, int by)
{
    for (char &c : bytes)
        c = static_cast<char>(static_cast<unsigned char>(c) + by);
}

// Undoes the lowering in the caller's own buffer, so the stored bytes are
// held once only.
bool unpackInPlace(std::string &source, std::string &text)
{
    text.clear();
    if (source.empty() || source.size() > DataFile::kMaxStoredSize)
        return false;
    shiftBytes(source, 1);
    // The output buffer is left uninitialised: only the pages zlib really
    // writes get memory, however large the limit.
    const std::size_t capacity = DataFile::kMaxExpansion * source.size();
    const std::unique_ptr<Bytef[]> buffer(new (std::nothrow) Bytef[capacity]);
    if (!buffer)
        return false;
    uLongf written = static_cast<uLongf>(capacity);
    if (uncompress(buffer.get(), &written, reinterpret_cast<const Bytef *>(source.data()),
                   static_cast<uLong>(source.size()))
        != Z_OK)
        return false;
    try {
        text.assign(reinterpret_cast<const char *>(buffer.get()), written);
    } catch (const std::bad_alloc &) {
        text.clear();
        return false;
    }
    return true;
}

} // namespace

DataFile::Load DataFile::loadFile(const std::string &path, std::string &text)
{
    text.clear();
    if (!files::isFile(path))
        return files::entryExists(path) ? Load::Unreadable : Load::Missing;
    const auto size = files::size(path);
    if (!size)
        return Load::Unreadable;
    if (*size > kMaxStoredSize)
        return Load::TooLarge;

    // Read one byte more than allowed: a file that grew since we looked at
    // its size must not slip past the limit.
    std::string stored;
    try {
        std::ifstream in(files::osPath(path), std::ios::binary);
        if (!in)
            return Load::Unreadable;
        stored.resize(static_cast<std::size_t>(*size) + 1);
        in.read(stored.data(), static_cast<std::streamsize>(stored.size()));
        if (in.bad())
            return Load::Unreadable;
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got > kMaxStoredSize)
            return Load::TooLarge;
        stored.resize(got);
    } catch (const std::bad_alloc &) {
        return Load::Unreadable;
    }
    return unpackInPlace(stored, text) ? Load::Ok : Load::Damaged;
}

bool DataFile::unpack(std::string_view stored, std::string &text)
{
    text.clear();
    if (stored.size() > kMaxStoredSize)
        return false;
    std::string source;
    try {
        source.assign(stored);
    } catch (const std::bad_alloc &) {
        return false;
    }
    return unpackInPlace(source, text);
}

bool DataFile::pack(std::string_view text, std::string &stored)
{
    stored.clear();
    try {
        uLongf size = compressBound(static_cast<uLong>(text.size()));
        stored.resize(size);
        if (compress(reinterpret_cast<Bytef *>(stored.data()), &size, reinterpret_cast<const Bytef *>(text.data()),
                     static_cast<uLong>(text.size()))
            != Z_OK) {
            stored.clear();
            return false;
        }
        stored.resize(size);
    } catch (const std::bad_alloc &) {
        stored.clear();
        return false;
    }
    if (stored.size() > kMaxStoredSize || text.size() > kMaxExpansion * stored.size()) {
        stored.clear();
        return false;
    }
    shiftBytes(stored, -1);
    return true;
}

bool DataFile::value(std::string_view text, std::string_view section, std::string_view key, std::string &value)
{
    value.clear();
    std::string name;
    name.reserve(section.size() + key.size() + 2);
    name.append(section).append(1, '.').append(key).append(1, '=');
    if (name.size() > kMaxName)
        return false;
    // The text is a C string to every lookup of the program: nothing after a
    // stray NUL byte is ever found.
    text = text.substr(0, text.find('\0'));
    const std::size_t at = text.find(name);
    if (at == std::string_view::npos)
        return false;
    const std::string_view entry = text.substr(at, kMaxEntry);
    const std::size_t end = entry.find("\r\n");
    if (end == std::string_view::npos)
        return false;
    const std::string_view line = entry.substr(0, end);
    // After the first '=' of the line, which is the one of our name unless
    // the section or key themselves hold one.
    value.assign(line.substr(line.find('=') + 1));
    return true;
}

bool DataFile::loads(std::string_view stored)
{
    std::string text;
    return unpack(stored, text);
}

} // namespace vantor
