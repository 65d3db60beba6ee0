// Feeds arbitrary result pages, markers and domains to the reading and the
// scan of the position check, in pieces of arbitrary size. Beyond the
// sanitizers it checks what the check relies on: the page never outgrows
// its buffer, the scan ends, and a found place is a place (1 or more,
// counting on from the results of the pages before).

#include "position/PositionEngine.h"
#include "position/ResultPage.h"

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
    PositionEngine engine;
    engine.resultMarker = input.ConsumeRandomLengthString(6);
    engine.startAfter = input.ConsumeRandomLengthString(6);
    engine.stopAfter = input.ConsumeBool() ? std::string("NULL") : input.ConsumeRandomLengthString(6);
    engine.mark1 = input.ConsumeRandomLengthString(6);
    engine.mark2 = input.ConsumeRandomLengthString(6);
    std::vector<std::string> domains = {input.ConsumeRandomLengthString(12), input.ConsumeRandomLengthString(12)};
    const int before = input.ConsumeIntegralInRange(0, 90);
    const std::size_t piece = input.ConsumeIntegralInRange<std::size_t>(1, 9000);
    const std::string page = input.ConsumeRemainingBytesAsString();

    ResultPage read(engine, domains);
    for (std::size_t at = 0; at < page.size(); at += piece) {
        if (!read.feed(std::string_view(page).substr(at, piece)))
            break;
    }
    read.finish();
    check(read.size() <= page.size());
    check(read.size() <= ResultPage::kBuffer);
    const ResultPage::Scan scan = read.scan(before);
    if (scan.kind == ResultPage::Scan::Kind::Found)
        check(scan.position > before && !scan.site.empty());
    else
        check(scan.position == 0);
    return 0;
}
