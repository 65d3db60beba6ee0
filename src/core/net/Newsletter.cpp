#include "net/Newsletter.h"

#include "net/MakerServer.h"
#include "net/PercentEncoding.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "ui/Ui.h"

namespace vantor {

bool Newsletter::check(const std::string &address, Ui &ui)
{
    const std::string title = de("Email-Adresse");
    if (address.empty()) {
        ui.message(title, de("Bitte geben Sie Ihre Email-Adresse ein."));
        return false;
    }
    if (address.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789@._-")
        != std::string::npos) {
        ui.message(de("Ungültige Zeichen"), de("Die angegebene Email-Adresse enthält ungültige Zeichen. Bitte "
                                               "korrigieren Sie die Email-Adresse."));
        return false;
    }
    if (address.find('@') == std::string::npos) {
        ui.message(title, de("Bitte geben Sie eine gültige Email-Adresse ein. Die Email-Adresse muss das Zeichen "
                             "'@' enthalten! Bitte korrigieren Sie die Email-Adresse."));
        return false;
    }
    if (address.find('.') == std::string::npos) {
        ui.message(title, de("Bitte geben Sie eine gültige Email-Adresse ein. Die Email-Adresse muss das Zeichen "
                             "'.' enthalten! Bitte korrigieren Sie die Email-Adresse."));
        return false;
    }
    return true;
}

std::string Newsletter::url(const std::string &address)
{
    return makerserver::url("/cgi-bin/sitecastget.pl?emailsitecast=" + percentEncode(address)
                            + "&subscribe=subscribe");
}

Newsletter::Result Newsletter::subscribeNewsletter(const std::string &address, Ui &ui)
{
    if (!check(address, ui))
        return Result::Invalid;
    return shellOpen(url(address)) ? Result::Opened : Result::OpenFailed;
}

} // namespace vantor
