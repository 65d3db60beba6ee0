// Feeds arbitrary bytes to the data-file reader, as stored files and as
// unpacked texts. Beyond the sanitizers it checks what the reader promises:
// an empty text on failure, never more than ten times the input, a packed
// text that comes back as it was, and lookups that agree with a plain
// search for the entry.

#include "net/DataFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace vantor;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(8);
    const std::string key = input.ConsumeRandomLengthString(8);
    const std::string bytes = input.ConsumeRemainingBytesAsString();

    std::string text = "stale";
    if (DataFile::unpack(bytes, text))
        check(text.size() <= DataFile::kMaxExpansion * bytes.size());
    else
        check(text.empty());

    std::string stored;
    if (DataFile::pack(bytes, stored)) {
        check(DataFile::unpack(stored, text));
        check(text == bytes);
    }

    std::string value = "stale";
    const bool found = DataFile::value(bytes, section, key, value);
    const std::string name = section + "." + key + "=";
    const std::string visible = bytes.substr(0, bytes.find('\0'));
    const std::size_t at = visible.find(name);
    if (!found) {
        check(value.empty());
    } else {
        check(at != std::string::npos);
        const std::size_t end = visible.find("\r\n", at);
        check(end != std::string::npos && end + 2 - at <= DataFile::kMaxEntry);
        check(value.find("\r\n") == std::string::npos);
        check(visible.compare(end - value.size(), value.size(), value) == 0);
    }
    return 0;
}
