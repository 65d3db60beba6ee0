#include "submit/IndexNowKey.h"

#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/Text.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdint>
#include <fstream>

namespace vantor::indexnowkey {

namespace {

bool randomBytes(unsigned char *buffer, std::size_t length)
{
    std::size_t have = 0;
    while (have < length) {
        const ssize_t got = ::getrandom(buffer + have, length - have, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        have += static_cast<std::size_t>(got);
    }
    if (have == length)
        return true;
    // Kernels without the call still have the device.
    std::ifstream device("/dev/urandom", std::ios::binary);
    device.read(reinterpret_cast<char *>(buffer), static_cast<std::streamsize>(length));
    return device.gcount() == static_cast<std::streamsize>(length);
}

bool keyCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

// The key, perhaps with the line end an editor adds; engines read it so too.
bool holdsKey(const std::string &content, const std::string &key)
{
    if (content.compare(0, key.size(), key) != 0)
        return false;
    const std::string rest = content.substr(std::min(content.size(), key.size()));
    return rest.empty() || rest == "\n" || rest == "\r\n";
}

} // namespace

std::optional<std::string> generate()
{
    unsigned char bytes[kGeneratedLength / 2];
    if (!randomBytes(bytes, sizeof bytes))
        return std::nullopt;
    static const char hex[] = "0123456789abcdef";
    std::string key;
    for (const unsigned char b : bytes) {
        key += hex[b >> 4];
        key += hex[b & 0x0f];
    }
    return key;
}

std::optional<Problem> problem(const std::string &key)
{
    bool valid = key.size() >= kMinLength && key.size() <= kMaxLength;
    for (const char c : key)
        valid = valid && keyCharacter(c);
    if (valid)
        return std::nullopt;
    return Problem{de("Ungültiger IndexNow-Schlüssel"),
                   de("Der IndexNow-Schlüssel muss 8 bis 128 Zeichen lang sein und darf nur Buchstaben (a-z, A-Z), "
                      "Ziffern (0-9) und Bindestriche enthalten.")};
}

std::optional<Problem> noRandomSource()
{
    return Problem{de("Kein IndexNow-Schlüssel"),
                   de("Es konnte kein IndexNow-Schlüssel erzeugt werden, weil das System keine Zufallszahlen "
                      "liefert. Bitte geben Sie einen eigenen Schlüssel an.")};
}

std::string stored(const std::string &projectFile)
{
    return profile::readString(projectFile, "project", "indexnowkey", "");
}

bool store(const std::string &projectFile, const std::string &key)
{
    return profile::writeString(projectFile, "project", "indexnowkey", key);
}

std::string keyFilePath(const std::string &homepagePath, const std::string &key)
{
    return files::join(files::directoryOf(homepagePath), key + ".txt");
}

KeyFile writeKeyFile(const std::string &homepagePath, const std::string &key)
{
    KeyFile result;
    result.path = keyFilePath(homepagePath, key);
    const std::string name = files::fileNameOf(result.path);
    const Problem foreign{de("Schlüsseldatei vorhanden"),
                          de("Im Verzeichnis der Homepage gibt es bereits die Datei \"") + name
                              + de("\" mit einem anderen Inhalt als dem IndexNow-Schlüssel. Vantor!! überschreibt "
                                   "sie nicht. Bitte benennen Sie die Datei um oder geben Sie einen anderen "
                                   "Schlüssel an.")};
    if (files::entryExists(result.path)) {
        std::string content;
        if (!files::isFile(result.path) || !files::read(result.path, content) || !holdsKey(content, key))
            result.refusal = foreign;
        return result;
    }
    files::AtomicWrite how;
    // A file the user puts there while we write is his as well.
    how.replaceExisting = false;
    if (files::writeAtomic(result.path, key, how)) {
        result.written = true;
        return result;
    }
    std::string content;
    if (files::entryExists(result.path) && !(files::read(result.path, content) && holdsKey(content, key)))
        result.refusal = foreign;
    else if (!files::entryExists(result.path))
        result.refusal = Problem{de("Schlüsseldatei nicht geschrieben"),
                                 de("Die Schlüsseldatei \"") + result.path
                                     + de("\" konnte nicht geschrieben werden. Bitte prüfen Sie, ob Sie im "
                                          "Verzeichnis der Homepage schreiben dürfen und ob noch Platz ist.")};
    return result;
}

} // namespace vantor::indexnowkey
