#include "project/InternetAccess.h"

#include "net/HttpGet.h"
#include "net/MakerServer.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "ui/Ui.h"

namespace vantor {

namespace {

bool fetchFromMaker(const std::string &path, bool askFirst, Ui &ui, std::string &body, std::string &error)
{
    return httpget::getText(httpget::makerAgent(), makerserver::url(path), body, error, askFirst, ui);
}

TextFetcher &fetcher()
{
    static TextFetcher f = fetchFromMaker;
    return f;
}

std::string cut(const std::string &text) { return text.substr(0, ProgramSettings::kTextCapacity); }

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
    return input;
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
    ProgramSettings &s = programSettings();
    s.accessType = input.accessType;
    s.httpInform = input.inform ? 1 : 0;
    s.proxy = proxy;
    s.proxyPort = port;

    SettingsStore &store = settingsStore();
    const bool written = store.writeNumber("accesstype", static_cast<std::uint32_t>(s.accessType))
        && store.writeNumber("httpinform", static_cast<std::uint32_t>(s.httpInform))
        && store.writeText("proxy", s.proxy) && store.writeText("proxyport", s.proxyPort);
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
    for (bool first = true;; first = false) {
        std::string body;
        std::string error;
        const bool ok = fetcher()("/download/vantor/version.txt", first, ui, body, error);
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
