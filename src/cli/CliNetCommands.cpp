#include "Cli.h"

#include "CliUi.h"
#include "net/Feedback.h"
#include "net/Newsletter.h"
#include "net/VersionCheck.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"

#include <ostream>

namespace vantor {

namespace {

// Whoever types the command wants to go online; the dial-up prompt of the
// windows would only stand in the way. The stored setting stays as it is.
void consentToConnect() { programSettings().httpInform = 0; }

} // namespace

int Cli::versionCheckCommand(const std::vector<std::string> &args)
{
    if (args.size() != 1)
        return usageError("version-check: keine Argumente erwartet / no arguments expected");
    consentToConnect();
    CliUi ui(m_err, false);
    switch (VersionCheck::checkForNewVersion(ui)) {
    case VersionCheck::Result::UpToDate:
        m_out << toUtf8(de("Keine neuere Version verfügbar")) << '\n';
        return 0;
    case VersionCheck::Result::NewerFree:
        m_out << toUtf8(de("Neuere Version verfügbar")) << '\n';
        return 0;
    case VersionCheck::Result::NewerChargeable:
        m_out << toUtf8(de("Neuere Version verfügbar (kostenpflichtig)")) << '\n';
        return 0;
    default:
        return 1;
    }
}

int Cli::feedbackCommand(const std::vector<std::string> &args)
{
    std::optional<std::string> address;
    std::optional<std::string> message;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        if ((a == "--email" || a == "--message") && i + 1 < args.size()) {
            if (!fitsCp1252(args[i + 1]))
                return usageError("Ungültiges Argument / invalid argument: " + args[i + 1]);
            (a == "--email" ? address : message) = toCp1252(args[++i]);
        } else {
            return usageError("feedback: falsches Argument / wrong argument: " + a);
        }
    }
    if (!address || !message)
        return usageError("feedback: --email ADRESSE und --message TEXT erwartet / expected");
    consentToConnect();
    CliUi ui(m_err, false);
    if (Feedback::sendFeedback(*address, *message, ui) != Feedback::Result::Sent)
        return 1;
    m_out << "Email versendet\n";
    return 0;
}

int Cli::newsletterCommand(const std::vector<std::string> &args)
{
    if (args.size() != 2)
        return usageError("newsletter: genau eine Email-Adresse erwartet / exactly one email address expected");
    const std::string address = toCp1252(args[1]);
    CliUi ui(m_err, false);
    if (!Newsletter::check(address, ui))
        return 1;
    const std::string url = Newsletter::url(address);
    m_out << toUtf8(url) << '\n';
    if (!shellOpen(url))
        return fail(de("Browser nicht gestartet"),
                    de("Der Web-Browser konnte nicht gestartet werden. Öffnen Sie die Adresse oben von Hand."));
    return 0;
}

} // namespace vantor
