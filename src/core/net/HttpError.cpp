#include "net/HttpError.h"

#include "platform/Text.h"

#include <curl/curl.h>

namespace vantor {

namespace {

const char *germanText(CURLcode code)
{
    switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
        return "Der Server antwortet nicht mit einem bekannten Protokoll.";
    case CURLE_URL_MALFORMAT:
        return "Die Adresse ist ungültig.";
    case CURLE_COULDNT_RESOLVE_PROXY:
        return "Der Name des Proxy-Servers konnte nicht aufgelöst werden.";
    case CURLE_COULDNT_RESOLVE_HOST:
        return "Der Servername oder die Serveradresse konnte nicht aufgelöst werden.";
    case CURLE_COULDNT_CONNECT:
        return "Es konnte keine Verbindung mit dem Server hergestellt werden.";
    case CURLE_WEIRD_SERVER_REPLY:
        return "Der Server hat eine ungültige Antwort gesendet.";
    case CURLE_PARTIAL_FILE:
        return "Die Verbindung wurde beendet, bevor alle Daten empfangen waren.";
    case CURLE_OUT_OF_MEMORY:
        return "Nicht genügend Arbeitsspeicher.";
    case CURLE_OPERATION_TIMEDOUT:
        return "Das Zeitlimit für den Vorgang wurde überschritten.";
    case CURLE_GOT_NOTHING:
        return "Der Server hat die Verbindung ohne Antwort beendet.";
    case CURLE_SEND_ERROR:
        return "Beim Senden der Anfrage ist ein Fehler aufgetreten.";
    case CURLE_RECV_ERROR:
        return "Beim Empfangen der Antwort ist ein Fehler aufgetreten.";
    case CURLE_BAD_CONTENT_ENCODING:
        return "Die Antwort des Servers ist falsch kodiert.";
    case CURLE_ABORTED_BY_CALLBACK:
        return "Der Vorgang wurde abgebrochen.";
    default:
        return "Bei der Internet-Verbindung ist ein Fehler aufgetreten.";
    }
}

} // namespace

HttpError HttpError::fromCurl(int curlCode, const std::string &detail)
{
    const auto code = static_cast<CURLcode>(curlCode);
    const std::string shown = detail.empty() ? std::string(curl_easy_strerror(code)) : detail;
    return HttpError(de(germanText(code)) + " (" + shown + ")");
}

} // namespace vantor
