#pragma once

#include <cstddef>
#include <string>

namespace vantor {

class SettingsStore;
class Ui;

// The SYSTEM entries every service file carries: a notice from the maker,
// a maintenance switch and the lowest program version that may use the
// service. Submission, research and the position check run the same check
// before they start; only the settings flag of the one-time notice and the
// words of the read error are their own.
class ServiceCheck
{
public:
    enum class Result {
        Go,             // the run may start
        ReadError,      // the caller's read error was shown
        Unavailable,    // the maintenance notice was shown
        UpdateRequired, // the update notice was shown
    };

    struct Texts {
        std::string readErrorTitle; // cp1252
        std::string readError;      // cp1252
    };

    // The version this program is, as the data files compare it.
    static constexpr float kProgramVersion = 4.01f;

    // Reads the flag (flagName, created with 0 when missing), loads the
    // data file at dataPath (cp1252) and evaluates its SYSTEM entries,
    // showing through ui whatever the maker asks for. text keeps the loaded
    // data text for the caller's own lookups (empty on a read error).
    static Result run(const std::string &dataPath, const std::string &flagName, const Texts &texts, Ui &ui,
                      SettingsStore &store, std::string &text);

    // The same on a text already loaded.
    static Result evaluate(const std::string &text, const std::string &flagName, const Texts &texts, Ui &ui,
                           SettingsStore &store);

    // "%f" as the data files mean it: leading blanks, a decimal number with
    // a point (whatever the locale), anything after it ignored.
    static bool scanVersion(const std::string &value, float &version, std::size_t *end = nullptr);

    static std::string maintenanceTitle();
    static std::string maintenanceText();
    static std::string updateTitle();
    static std::string updateText();
};

} // namespace vantor
