#include "net/HttpGet.h"

#include "net/CWWWConnectException.h"
#include "net/HttpError.h"
#include "net/HttpSession.h"
#include "net/MakerServer.h"
#include "net/PercentEncoding.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "ui/Ui.h"

#include <cstdio>
#include <utility>

namespace vantor::httpget {

namespace {

std::string capped(std::string text)
{
    if (text.size() > kErrorTextMax)
        text.resize(kErrorTextMax);
    return text;
}

} // namespace

std::string statusText(long code)
{
    char text[64];
    std::snprintf(text, sizeof text, "Fehler Code: %ld", code);
    return text;
}

std::string searchEngineAgent()
{
    return "Mozilla/4.0 (compatible; MSIE 5.0; Windows 98; DigExt)";
}

std::string makerAgent()
{
    return std::string(kVersionText) + "Linux";
}

std::string userDeclinedText()
{
    return "Verbindung vom Anwender beendet.";
}

std::string dialUpTitle()
{
    return "Internet-Verbindung herstellen";
}

std::string dialUpText()
{
    return de("Vantor!! muss jetzt auf das Internet zugreifen. Stellen Sie eine Verbindung her und klicken Sie "
              "dann auf 'OK'.\nMöchten Sie jetzt keine Verbindung herstellen, klicken Sie auf 'Abbruch'.");
}

std::string connectionErrorTitle() { return "Fehler beim Verbindungsaufbau"; }

std::string connectionErrorText(const std::string &errorText)
{
    return de("Es ist ein Fehler bei der Internet-Verbindung aufgetreten.\nHaben Sie die Einwählverbindung aufgebaut? "
              "Hat sich Ihre Konfiguration geändert?\nIst Ihr Browser evtl. im Offline-Modus?\nDer exakte "
              "Fehlertext lautet: ")
        + errorText;
}

bool get(const std::string &agent, const std::string &url, std::size_t limit, std::string &body, std::string &error,
         Ui &ui, long *status)
{
    body.clear();
    error.clear();
    if (status)
        *status = 0;
    try {
        const HttpSession session(agent);
        const HttpTarget target = HttpTarget::split(url);
        HttpRequest request;
        request.object = target.object;
        HttpReply reply = session.send(target, request, limit, ui);
        body = std::move(reply.body);
        if (status)
            *status = reply.status;
        if (reply.status == 301 || reply.status == 302 || reply.status == 303) {
            error = statusText(reply.status);
            return false;
        }
        return true;
    } catch (const CWWWConnectException &e) {
        error = statusText(e.code());
    } catch (const HttpError &e) {
        error = capped(e.text());
    }
    return false;
}

bool getText(const std::string &agent, const std::string &url, std::string &answer, std::string &error, bool askFirst,
             Ui &ui, long *status)
{
    answer.clear();
    error.clear();
    if (status)
        *status = 0;
    if (askFirst && programSettings().httpInform && !ui.question(dialUpTitle(), dialUpText())) {
        error = userDeclinedText();
        return false;
    }
    return get(agent, url, HttpSession::kTextLimit, answer, error, ui, status);
}

bool isReachable(const std::string &url, std::string &error, Ui &ui)
{
    std::string dropped;
    return get(searchEngineAgent(), url, HttpSession::kTextLimit, dropped, error, ui);
}

std::string emptyBodyText() { return de("Der Server hat eine leere Datei geschickt."); }

std::string refusedBodyText() { return de("Der Server hat eine unbrauchbare Datei geschickt."); }

bool downloadToFile(const std::string &url, const std::string &path, std::string &error, Ui &ui,
                    const BodyCheck &accept)
{
    std::string body;
    long status = 0;
    if (!get(makerAgent(), url, HttpSession::kDownloadLimit, body, error, ui, &status))
        return false;
    // An error page is no data file; the one on disk is still good.
    if (status >= 400) {
        error = statusText(status);
        return false;
    }
    // Whatever came is judged before it goes near the disk: a cut-off or
    // broken answer must never take the place of a file that worked.
    if (body.empty()) {
        error = emptyBodyText();
        return false;
    }
    if (accept && !accept(body)) {
        error = refusedBodyText();
        return false;
    }
    // The caller has its own words for a file it cannot write.
    return files::writeAtomic(path, body);
}

std::string reportSender()
{
    return "programm@vantor.invalid";
}

void sendErrorReport(const std::string &text, bool askFirst, Ui &ui)
{
    const std::string url = makerserver::url("/cgi-bin/support.pl?from=" + percentEncode(reportSender())
                                             + "&subject=" + percentEncode(makerAgent()) + "&text=" + percentEncode(text));
    std::string answer;
    std::string error;
    getText(makerAgent(), url, answer, error, askFirst, ui);
}

} // namespace vantor::httpget
