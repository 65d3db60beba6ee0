// Feeds arbitrary bytes to the encoding detection and the working text.
// Beyond the sanitizers it checks the promise every write of a page rests
// on: a page read into working text and written back unchanged is the same
// bytes (UTF-16 pages with valid text too), and a shortened term name stays
// within what the disk takes.

#include "optimizer/PageEncoding.h"
#include "optimizer/TermText.h"
#include "platform/Text.h"

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
    const std::string page(reinterpret_cast<const char *>(data), size);
    const PageEncoding encoding = detectEncoding(page);
    WorkingText working;
    const std::string text = working.fromPage(page, encoding);
    const std::string back = working.toPage(text, encoding);
    if (encoding.utf16 == Utf16::None) {
        check(back == page);
    } else {
        // UTF-16 comes back with its mark and whatever was valid in it.
        const std::string asUtf8 = utf16ToUtf8(page, encoding.utf16);
        check(utf16ToUtf8(back, encoding.utf16) == asUtf8);
    }
    if (size <= 400)
        check(toUtf8(safeNameForm(page)).size() <= 200);
    return 0;
}
