#include "net/VersionCheck.h"

#include "net/HttpGet.h"
#include "net/MakerServer.h"
#include "net/ServiceCheck.h"
#include "platform/Text.h"
#include "ui/Ui.h"

#include <charconv>

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
    const std::string head = body.substr(0, 20);
    float version = 0;
    std::size_t at = 0;
    if (!ServiceCheck::scanVersion(head, version, &at))
        return false;
    while (at < head.size() && isSpace(head[at]))
        ++at;
    if (at < head.size() && head[at] == '+')
        ++at;
    int chargeable = 0;
    const auto second = std::from_chars(head.data() + at, head.data() + head.size(), chargeable);
    if (second.ec != std::errc() || second.ptr == head.data() + at)
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
    for (bool first = true;; first = false) {
        std::string error;
        if (httpget::getText(httpget::makerAgent(), makerserver::url(path()), body, error, first, ui))
            break;
        if (error.find(httpget::userDeclinedText()) != std::string::npos)
            return Result::Declined;
        if (ui.connectionError(httpget::connectionErrorTitle(), httpget::connectionErrorText(error), false)
            != ConnectionAnswer::Retry)
            return Result::Failed;
        ui.pause(1000);
    }

    Published published;
    if (!parse(body, published)) {
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
