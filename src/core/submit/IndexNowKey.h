#pragma once

#include <optional>
#include <string>

namespace vantor {

// The key that proves to the IndexNow engines that the submissions come
// from the site's owner: kept per project, and put beside the homepage as
// "<key>.txt" so that it goes to the web server with the site.
namespace indexnowkey {

constexpr std::size_t kGeneratedLength = 32;
constexpr std::size_t kMinLength = 8;
constexpr std::size_t kMaxLength = 128;

// kGeneratedLength characters a-f0-9 from the system's cryptographic
// random source; nullopt when it gives nothing.
std::optional<std::string> generate();

// What is wrong with a key the user gave (cp1252 title and text), nullopt
// for 8 to 128 characters of a-z, A-Z, 0-9 and '-'.
struct Problem {
    std::string title;
    std::string text;
};
std::optional<Problem> problem(const std::string &key);
std::optional<Problem> noRandomSource();

// The key of the project file ("indexnowkey" in section "project"); empty
// when none is stored.
std::string stored(const std::string &projectFile);
bool store(const std::string &projectFile, const std::string &key);

// "<key>.txt" in the homepage's directory (cp1252 path).
std::string keyFilePath(const std::string &homepagePath, const std::string &key);

// Writes the key file: the key alone, without a line end, written
// atomically. A file of that name that holds the key already (a line end
// after it allowed) stays as it is; one with anything else is the user's and
// is never replaced: refusal then says why.
struct KeyFile {
    std::string path;
    bool written = false; // false: it was there with the key already
    std::optional<Problem> refusal;
};
KeyFile writeKeyFile(const std::string &homepagePath, const std::string &key);

} // namespace indexnowkey

} // namespace vantor
