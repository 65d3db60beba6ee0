#include "position/PositionCheck.h"

#include "net/CWWWConnectException.h"
#include "net/HttpError.h"
#include "net/HttpSession.h"
#include "position/ResultPage.h"
#include "ui/SilentUi.h"

#include <memory>
#include <new>

namespace vantor {

namespace {

enum class Read { Ok, NoAnswer, Cancelled };

Read readPage(const HttpSession &session, const HttpTarget &where, const PositionEngine &engine,
              const std::string &path, const std::atomic<bool> *cancel, ResultPage &page)
{
    HttpRequest request;
    request.verb = engine.verb;
    request.object = path.empty() || path.front() != '/' ? "/" + path : path;
    request.http10 = true;
    request.cancel = cancel;
    request.onBody = [&page](std::string_view bytes) { return page.feed(bytes); };
    // Nobody can be asked for a login from here; such a page is simply
    // not read.
    SilentUi ui;
    try {
        session.send(where, request, 0, ui);
    } catch (const CWWWConnectException &) {
        return Read::NoAnswer;
    } catch (const HttpError &) {
        if (cancel != nullptr && cancel->load(std::memory_order_acquire))
            return Read::Cancelled;
        // A connection that broke in the middle of the page leaves what
        // came until then; one that never gave a byte is no answer.
        page.finish();
        if (page.size() == 0)
            return Read::NoAnswer;
    }
    page.finish();
    return Read::Ok;
}

} // namespace

PositionOutcome PositionCheck::run(const HttpSession &session)
{
    const PositionRequest request = PositionRequest::build(engine->request, term);
    depth = request.depth();
    HttpTarget where;
    if (!engine->splitServer(where.server, where.port, where.https))
        return PositionOutcome::NoAnswer;
    try {
        for (std::size_t index = 0; index < request.paths.size(); ++index) {
            const bool last = index + 1 == request.paths.size();
            auto page = std::make_unique<ResultPage>(*engine, *domains);
            switch (readPage(session, where, *engine, request.paths[index], cancel, *page)) {
            case Read::Ok:
                break;
            case Read::NoAnswer:
            case Read::Cancelled:
                return PositionOutcome::NoAnswer;
            }
            if (page->size() == 0)
                return PositionOutcome::EmptyPage;
            const ResultPage::Scan scan = page->scan(static_cast<int>(index) * request.perPage);
            switch (scan.kind) {
            case ResultPage::Scan::Kind::Found:
                count = scan.position;
                foundPath = request.paths[index];
                matchedDomain = scan.site;
                return PositionOutcome::Found;
            case ResultPage::Scan::Kind::StartMissing:
                return PositionOutcome::StartMissing;
            case ResultPage::Scan::Kind::StopMissing:
                return PositionOutcome::StopMissing;
            case ResultPage::Scan::Kind::Passed:
                if (last)
                    return PositionOutcome::Unclear;
                break;
            case ResultPage::Scan::Kind::NoSite:
                break;
            }
        }
    } catch (const std::bad_alloc &) {
        return PositionOutcome::NoMemory;
    }
    count = depth;
    return PositionOutcome::NotInTop;
}

} // namespace vantor
