#include "project/InternetAccess.h"

#include "net/HttpGet.h"
#include "net/MakerServer.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "ui/Ui.h"

namespace vantor {

namespace {

bool fetchFromMaker(const std::string &url, bool askFirst, Ui &ui, std::string &body, std::string &error)
{
    return httpget::getText(httpget::makerAgent(), url, body, error, askFirst, ui);
}

TextFetcher &fetcher()
{
    static TextFetcher f = fetchFromMaker;
    return f;
}

std::string cut(const std::string &text) { return text.substr(0, ProgramSettings::kTextCapacity); }

bool isAsciiAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Dot-separated labels of letters, digits and inner hyphens; an IPv4
// address is one of these too.
bool isHostName(const std::string &host)
{
    if (host.empty() || host.size() > 253)
        return false;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = host.find('.', start);
        const std::string label = host.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-')
            return false;
        for (char c : label)
            if (!isAsciiAlnum(c) && c != '-')
                return false;
        if (dot == std::string::npos)
            return true;
        start = dot + 1;
    }
}

bool isBracketedIpv6(const std::string &host)
{
    if (host.size() < 4 || host.front() != '[' || host.back() != ']')
        return false;
    const std::string inner = host.substr(1, host.size() - 2);
    if (inner.find(':') == std::string::npos)
        return false;
    for (char c : inner)
        if (!(c >= '0' && c <= '9') && !(c >= 'a' && c <= 'f') && !(c >= 'A' && c <= 'F') && c != ':' && c != '.')
            return false;
    return true;
}

bool isPort(const std::string &port)
{
    if (port.empty() || port.size() > 5)
        return false;
    unsigned value = 0;
    for (char c : port) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value >= 1 && value <= 65535;
}

std::string serverOrDefault(const std::string &server)
{
    return server.empty() ? std::string(makerserver::kDefaultServer) : server;
}

} // namespace

void setConnectionTestFetcher(TextFetcher f) { fetcher() = std::move(f); }

void resetConnectionTestFetcher() { fetcher() = fetchFromMaker; }

InternetAccessInput openInternetAccess()
{
    ProgramSettings &s = programSettings();
    InternetAccessInput input;
    if (s.accessType != ProgramSettings::kAccessDirect && s.accessType != ProgramSettings::kAccessProxy)
        s.accessType = ProgramSettings::kAccessSystem;
    input.accessType = s.accessType;
    input.inform = s.httpInform != 0;
    input.proxy = s.proxy;
    input.port = s.proxyPort;
    input.updateServer = settingsStore().readText("updateserver").value_or(std::string());
    return input;
}

bool normalizedUpdateServer(const std::string &text, std::string &server)
{
    // What the program reads from the setting, the dialog takes as well.
    std::string t = text;
    while (!t.empty() && t.front() == ' ')
        t.erase(0, 1);
    while (!t.empty() && t.back() == ' ')
        t.pop_back();
    if (t.empty()) {
        server.clear();
        return true;
    }
    if (t.rfind("http://", 0) == 0)
        t.erase(0, 7);
    if (!t.empty() && t.back() == '/')
        t.pop_back();
    server = t;
    std::string host = t;
    std::string port;
    const std::size_t colon = t.rfind(':');
    const std::size_t bracket = t.rfind(']');
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
        host = t.substr(0, colon);
        port = t.substr(colon + 1);
        if (!isPort(port))
            return false;
    }
    return isHostName(host) || isBracketedIpv6(host);
}

InternetAccessInput tOnlineInternetAccess()
{
    InternetAccessInput input;
    input.accessType = ProgramSettings::kAccessProxy;
    input.inform = true;
    input.proxy = "www-proxy.t-online.de";
    input.port = "80";
    return input;
}

InternetAccessResult confirmInternetAccess(const InternetAccessInput &input, Ui &ui)
{
    const std::string proxy = cut(input.proxy);
    const std::string port = cut(input.port);
    if (input.accessType == ProgramSettings::kAccessProxy && (proxy.empty() || port.empty())) {
        ui.message(de("Eingabe ungültig"), de("Geben Sie den Proxynamen und einen gültigen Port ein. Details "
                                              "erfahren Sie durch Klicken auf 'Hilfe'."));
        return InternetAccessResult::Invalid;
    }
    std::string server;
    if (!normalizedUpdateServer(input.updateServer, server)) {
        ui.message(de("Eingabe ungültig"),
                   de("Geben Sie als Update-Server einen Rechnernamen oder eine IP-Adresse ein, bei Bedarf mit "
                      "Doppelpunkt und einer Portnummer von 1 bis 65535.\nBeispiel: update.example.de:8080\nLassen "
                      "Sie das Feld leer, verwendet Vantor!! den voreingestellten Server ")
                       + makerserver::kDefaultServer + ".");
        return InternetAccessResult::Invalid;
    }
    ProgramSettings &s = programSettings();
    s.accessType = input.accessType;
    s.httpInform = input.inform ? 1 : 0;
    s.proxy = proxy;
    s.proxyPort = port;

    SettingsStore &store = settingsStore();
    const bool written = store.writeNumber("accesstype", static_cast<std::uint32_t>(s.accessType))
        && store.writeNumber("httpinform", static_cast<std::uint32_t>(s.httpInform))
        && store.writeText("proxy", s.proxy) && store.writeText("proxyport", s.proxyPort)
        && store.writeText("updateserver", server);
    if (!written) {
        ui.systemError(de("Fehler Code 7001"), settingsWriteFailedText());
        return InternetAccessResult::WriteFailed;
    }
    return InternetAccessResult::Saved;
}

void testInternetAccess(const InternetAccessInput &input, Ui &ui)
{
    ui.showWait(de("Bitte warten...\nVerbindung wird getestet"));
    if (confirmInternetAccess(input, ui) == InternetAccessResult::Invalid) {
        ui.closeWait();
        return;
    }
    // The server in the field, even where the store would not take it.
    std::string server;
    normalizedUpdateServer(input.updateServer, server);
    const std::string url = "http://" + serverOrDefault(server) + "/download/vantor/version.txt";
    for (bool first = true;; first = false) {
        std::string body;
        std::string error;
        const bool ok = fetcher()(url, first, ui, body, error);
        ui.closeWait();
        // Whoever declined the dial-up prompt knows why nothing happened.
        if (!ok && error.find(httpget::userDeclinedText()) != std::string::npos)
            return;
        if (ok) {
            ui.message(de("Erfolgreicher Test"),
                       de("Der Internet Zugang ist erfolgreich verlaufen. Sie können die Einstellungen so "
                          "übernehmen.\nSchliessen Sie jetzt noch offene Einwählverbindungen."));
            return;
        }
        const auto answer
            = ui.connectionError(httpget::connectionErrorTitle(), httpget::connectionErrorText(error), true);
        if (answer != ConnectionAnswer::Retry)
            return;
        ui.pause(500);
        ui.showWait(de("Bitte warten...\nVerbindung wird getestet"));
    }
}

} // namespace vantor
