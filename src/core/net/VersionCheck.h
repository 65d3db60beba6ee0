#pragma once

#include <string>

namespace vantor {

class Ui;

// "Version prüfen": asks the maker's server for the newest version.
class VersionCheck
{
public:
    enum class Result {
        UpToDate,        // "Keine neuere Version verfügbar"
        NewerFree,       // "Neuere Version verfügbar"
        NewerChargeable, // the same, with the upgrade to be paid for
        Unreadable,      // no version file (an error status) or none that reads
        Failed,          // the connection failed and the user gave up
        Declined,        // "Abbruch" at the dial-up prompt; nothing shown
    };

    struct Published {
        float version = 0;
        int chargeable = 0; // 1 and up: the upgrade costs money
    };

    // The whole check with its messages; "Nochmal" in the connection-error
    // box waits a second and asks again.
    static Result checkForNewVersion(Ui &ui);

    // The first 20 characters of version.txt: white space, the version as
    // digits, a dot and digits, white space, the build number as an integer
    // ("4.10 0"), then white space or the end of the 20 characters. False
    // for anything else ("nan 0", "4 0", "4.1e1 0").
    static bool parse(const std::string &body, Published &published);
    // What the published version means for this program (4.01).
    static Result judge(const Published &published);

    static std::string path() { return "/download/vantor/version.txt"; }
};

} // namespace vantor
