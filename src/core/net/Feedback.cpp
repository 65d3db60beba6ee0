#include "net/Feedback.h"

#include "net/HttpGet.h"
#include "net/MakerServer.h"
#include "net/PercentEncoding.h"
#include "platform/OsVersion.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "ui/Ui.h"

#include <cstdio>

namespace vantor {

bool Feedback::valid(const std::string &address, const std::string &message)
{
    return !address.empty() && !message.empty() && address.find('@') != std::string::npos;
}

std::string Feedback::subject()
{
    const OsVersion os = OsVersion::current();
    char pc[64];
    std::snprintf(pc, sizeof pc, "PC: %d.%d Build %d ", os.major, os.minor, os.build);
    return std::string(kVersionText) + pc + os.servicePack;
}

std::string Feedback::url(const std::string &address, const std::string &message)
{
    // The text is typed by the user: unencoded, a '&' or '#' in it would cut
    // the message short or add keys of its own.
    return makerserver::url("/cgi-bin/support.pl?from=" + percentEncode(httpget::reportSender())
                            + "&subject=" + percentEncode(subject())
                            + "&text=" + percentEncode(address + ": " + message));
}

Feedback::Result Feedback::sendFeedback(const std::string &address, const std::string &message, Ui &ui)
{
    ui.showWait(de("Bitte warten...\nNachricht wird versendet"));
    if (!valid(address, message)) {
        ui.message(de("Daten nicht korrekt"),
                   de("Eingegebene Daten fehlen oder sind nicht korrekt.\nBitte geben Sie Ihre Email-Adresse "
                      "(z.B. name@firma.de) und Ihre Nachricht ein. Beide Felder müssen ausgefüllt sein."));
        ui.closeWait();
        return Result::Invalid;
    }
    const std::string target = url(address, message);
    Result result = Result::Failed;
    for (bool first = true;; first = false) {
        std::string answer;
        std::string error;
        long status = 0;
        bool sent = httpget::getText(httpget::makerAgent(), target, answer, error, first, ui, &status);
        // An error page means the message never reached anybody: telling
        // the user it was sent would lose it for good.
        if (sent && status >= 400) {
            sent = false;
            error = httpget::statusText(status);
        }
        if (sent) {
            ui.message(de("Email versendet"), de("Email wurde erfolgreich verwendet. Wir werden uns möglichst "
                                                 "schnell mit Ihnen in Kontakt setzen."));
            result = Result::Sent;
            break;
        }
        if (ui.connectionError(httpget::connectionErrorTitle(), httpget::connectionErrorText(error), false)
            != ConnectionAnswer::Retry)
            break;
        ui.pause(500);
    }
    ui.closeWait();
    return result;
}

} // namespace vantor
