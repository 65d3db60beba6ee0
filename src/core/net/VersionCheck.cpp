#include "net/VersionCheck.h"

#include "net/HttpGet.h"
#include "net/MakerServer.h"
#include "net/ServiceCheck.h"
#include "platform/Text.h"
#include "ui/Ui.h"

#include <charconv>
#include <string_view>

namespace vantor {

namespace {

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string newsletterHint()
{
    return de("Tragen Sie sich in unseren Newsletter \"Sitecast\" ein und Sie werden automatisch über neuere "
              "Versionen von Vantor!! informiert!\nBitte schliessen Sie die Internet-Verbindung wieder.");
}

} // namespace

bool VersionCheck::parse(const std::string &body, Published &published)
{
    // Nothing but plain digits counts: the float parsers of the library would
    // also take "nan", "inf", hex numbers and exponents, and any of those
    // would decide the message as if the server had published a version.
    const std::string_view head = std::string_view(body).substr(0, 20);
    const auto digitsFrom = [&head](std::size_t at) {
        while (at < head.size() && head[at] >= '0' && head[at] <= '9')
            ++at;
        return at;
    };
    std::size_t at = 0;
    while (at < head.size() && isSpace(head[at]))
        ++at;
    const std::size_t versionStart = at;
    std::size_t versionEnd = digitsFrom(at);
    if (versionEnd == versionStart || versionEnd >= head.size() || head[versionEnd] != '.')
        return false;
    const std::size_t fractionEnd = digitsFrom(versionEnd + 1);
    if (fractionEnd == versionEnd + 1)
        return false;
    versionEnd = fractionEnd;
    float version = 0;
    const auto first = std::from_chars(head.data() + versionStart, head.data() + versionEnd, version);
    if (first.ec != std::errc() || first.ptr != head.data() + versionEnd)
        return false;

    at = versionEnd;
    if (at == head.size() || !isSpace(head[at]))
        return false;
    while (at < head.size() && isSpace(head[at]))
        ++at;
    if (at < head.size() && head[at] == '+')
        ++at;
    int chargeable = 0;
    const auto second = std::from_chars(head.data() + at, head.data() + head.size(), chargeable);
    if (second.ec != std::errc() || second.ptr == head.data() + at)
        return false;
    if (second.ptr != head.data() + head.size() && !isSpace(*second.ptr))
        return false;
    published.version = version;
    published.chargeable = chargeable;
    return true;
}

VersionCheck::Result VersionCheck::judge(const Published &published)
{
    // Both sides as the same float, so that a published 4.01 is not newer.
    if (!(published.version > ServiceCheck::kProgramVersion))
        return Result::UpToDate;
    return published.chargeable < 1 ? Result::NewerFree : Result::NewerChargeable;
}

VersionCheck::Result VersionCheck::checkForNewVersion(Ui &ui)
{
    std::string body;
    long status = 0;
    for (bool first = true;; first = false) {
        std::string error;
        if (httpget::getText(httpget::makerAgent(), makerserver::url(path()), body, error, first, ui, &status))
            break;
        if (error.find(httpget::userDeclinedText()) != std::string::npos)
            return Result::Declined;
        if (ui.connectionError(httpget::connectionErrorTitle(), httpget::connectionErrorText(error), false)
            != ConnectionAnswer::Retry)
            return Result::Failed;
        ui.pause(1000);
    }

    // An error page may well start like a version file; only the file itself
    // says which version is out.
    Published published;
    if (status != 200 || !parse(body, published)) {
        ui.message(de("Fehler aufgetreten"),
                   de("Es ist ein Fehler beim Ermitteln der aktuellsten Version aufgetreten. Bitte probieren Sie es "
                      "zu einem späteren Zeitpunkt noch einmal."));
        return Result::Unreadable;
    }
    const Result result = judge(published);
    switch (result) {
    case Result::UpToDate:
        ui.message(de("Keine neuere Version verfügbar"),
                   de("Sie arbeiten mit der aktuellsten Version von Vantor!!, ein Update ist nicht erforderlich. ")
                       + newsletterHint());
        break;
    case Result::NewerFree:
        ui.message(de("Neuere Version verfügbar"),
                   de("Es ist eine neuere Version von Vantor!! verfügbar. Sie erhalten sie kostenlos auf unserer "
                      "Download-Seite:\n")
                       + makerserver::downloadPage() + "\n" + newsletterHint());
        break;
    default:
        ui.message(de("Neuere Version verfügbar"),
                   de("Es ist eine neuere Version von Vantor!! verfügbar, diese IST ABER KOSTENPFLICHTIG. Was das "
                      "Update kostet und wie Sie es erhalten, lesen Sie auf unserer Download-Seite:\n")
                       + makerserver::downloadPage() + "\n" + newsletterHint());
        break;
    }
    return result;
}

} // namespace vantor
