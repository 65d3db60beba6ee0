#include "optimizer/StartSigns.h"

#include "platform/SettingsStore.h"

namespace vantor {

namespace {

// A sign is one character; whatever else an expert typed is not used.
std::string oneCharacter(const std::optional<std::string> &value)
{
    if (!value || value->empty())
        return {};
    return value->substr(0, 1);
}

} // namespace

StartSigns StartSigns::forSonz(int sonz)
{
    StartSigns signs;
    switch (sonz) {
    case 1:
        signs = {"-", "+", "=", "-", true};
        break;
    case 2:
        signs = {"0", "1", "2", "0", true};
        break;
    case 3:
        signs = {"=", "-", "!", "=", true};
        break;
    default:
        break;
    }
    return signs;
}

StartSigns StartSigns::fromSettings(int sonz)
{
    StartSigns signs = forSonz(sonz);
    const SettingsStore &store = settingsStore();
    if (const auto special = store.readNumber("specialcharacters")) {
        signs.useStartSigns = *special != 0;
        if (signs.useStartSigns) {
            signs.copy1 = oneCharacter(store.readText("copiesstartsign1"));
            signs.copy2 = oneCharacter(store.readText("copiesstartsign2"));
            signs.copy3 = oneCharacter(store.readText("copiesstartsign3"));
            signs.doorway = oneCharacter(store.readText("doorwaysstartsign"));
        }
    }
    return signs;
}

std::string StartSigns::copySign(int file) const
{
    if (!useStartSigns)
        return {};
    switch (file) {
    case 1:
        return copy1.empty() ? "!" : copy1;
    case 2:
        return copy2.empty() ? "-" : copy2;
    default:
        return copy3.empty() ? "#" : copy3;
    }
}

std::string StartSigns::doorwaySign() const
{
    if (!useStartSigns)
        return {};
    return doorway.empty() ? "!" : doorway;
}

const char *StartSigns::listedSigns(int sonz)
{
    switch (sonz) {
    case 1:
        return "- + =";
    case 2:
        return "0 1 2";
    case 3:
        return "= - !";
    default:
        return "!-#";
    }
}

} // namespace vantor
