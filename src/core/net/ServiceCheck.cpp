#include "net/ServiceCheck.h"

#include "net/DataFile.h"
#include "net/MakerServer.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "ui/Ui.h"

#include <charconv>
#include <cstdint>

namespace vantor {

namespace {

bool holds(const std::string &value, char c) { return value.find(c) != std::string::npos; }

// The one-time notice's flag; a missing one is written as 0 first.
std::uint32_t noticeFlag(const std::string &flagName, SettingsStore &store)
{
    if (const auto number = store.readNumber(flagName))
        return *number;
    if (!store.hasValue(flagName))
        store.writeNumber(flagName, 0);
    return 0;
}

} // namespace

std::string ServiceCheck::maintenanceTitle() { return de("Recherche nicht verfügbar"); }

std::string ServiceCheck::maintenanceText()
{
    return de("Aufgrund von Wartungsarbeiten oder Updates kann derzeit die Recherche nicht durchgeführt werden. "
              "Bitte probieren Sie es zu einem späteren Zeitpunkt noch einmal.\nVielen Dank für Ihr Verständnis.");
}

std::string ServiceCheck::updateTitle() { return de("Update erforderlich"); }

std::string ServiceCheck::updateText()
{
    return de("Sie können mit der installierten Version die Recherche nicht durchführen.\n"
              "Bitte laden Sie sich die neueste Version von Vantor!! von der Homepage von Keldrum herunter (")
        + makerserver::downloadPage() + de(") und installieren Sie sie.");
}

bool ServiceCheck::scanVersion(const std::string &value, float &version, std::size_t *end)
{
    std::size_t at = 0;
    while (at < value.size() && (value[at] == ' ' || (value[at] >= '\t' && value[at] <= '\r')))
        ++at;
    // from_chars takes a minus but no plus; the scan takes both.
    if (at < value.size() && value[at] == '+' && (at + 1 == value.size() || value[at + 1] != '-'))
        ++at;
    const char *first = value.data() + at;
    const char *last = value.data() + value.size();
    float parsed = 0;
    const auto [stop, error] = std::from_chars(first, last, parsed, std::chars_format::general);
    if (error != std::errc() || stop == first)
        return false;
    version = parsed;
    if (end)
        *end = static_cast<std::size_t>(stop - value.data());
    return true;
}

ServiceCheck::Result ServiceCheck::run(const std::string &dataPath, const std::string &flagName, const Texts &texts,
                                       Ui &ui, SettingsStore &store, std::string &text)
{
    // The flag is read before the file, so it is there even when the file
    // turns out unreadable.
    noticeFlag(flagName, store);
    if (!DataFile::load(dataPath, text)) {
        ui.message(texts.readErrorTitle, texts.readError);
        return Result::ReadError;
    }
    const Result result = evaluate(text, flagName, texts, ui, store);
    if (result == Result::ReadError)
        text.clear();
    return result;
}

ServiceCheck::Result ServiceCheck::evaluate(const std::string &text, const std::string &flagName, const Texts &texts,
                                            Ui &ui, SettingsStore &store)
{
    const auto readError = [&] {
        ui.message(texts.readErrorTitle, texts.readError);
        return Result::ReadError;
    };
    std::string active, showAlways;
    if (!DataFile::value(text, "SYSTEM", "active", active) || !DataFile::value(text, "SYSTEM", "showalways", showAlways))
        return readError();
    const bool noticeActive = holds(active, '1');
    const std::uint32_t shown = noticeFlag(flagName, store);
    if (noticeActive && (holds(showAlways, '1') || shown == 0)) {
        std::string notice;
        if (!DataFile::value(text, "SYSTEM", "german", notice))
            return readError();
        ui.message(de("Nachricht"), notice);
    }
    // A one-time notice is marked as shown; a file without a notice clears
    // the mark, so the maker's next notice is shown again.
    if (holds(showAlways, '0'))
        store.writeNumber(flagName, noticeActive ? 1 : 0);

    std::string systemActive;
    if (!DataFile::value(text, "SYSTEM", "systemactive", systemActive))
        return readError();
    if (holds(systemActive, '0')) {
        ui.message(maintenanceTitle(), maintenanceText());
        return Result::Unavailable;
    }

    std::string required;
    float version = 0;
    if (!DataFile::value(text, "SYSTEM", "requiredversion", required) || !scanVersion(required, version))
        return readError();
    // Both sides as the same float, so that 4.01 is not above itself.
    if (version > kProgramVersion) {
        ui.message(updateTitle(), updateText());
        return Result::UpdateRequired;
    }
    return Result::Go;
}

} // namespace vantor
