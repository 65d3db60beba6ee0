#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantor {

class Ui;

struct Colour {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Colour &) const = default;
};

// Six upper-case hex digits, red first: "FF8C08".
std::string colourToHex(Colour colour);
// Halfway to white.
Colour lightTint(Colour colour);
// "RRGGBB" in either case, with or without a leading '#'.
std::optional<Colour> colourFromHex(std::string_view text);

// What the user chose in the template wizard. The dialog and the command line
// both go through the choose functions, so the plain background gets its
// colour the same way in each.
struct TemplateChoice {
    static constexpr int kStockImages = 18;
    // The first eight stock pictures carry the accent colours in their palette
    // and are recoloured to the chosen background colour.
    static constexpr int kRecolouredImages = 8;
    static constexpr std::size_t kOwnImageCapacity = 259;
    static constexpr Colour kDefaultBackground{255, 140, 8};
    static constexpr Colour kPlainBackground{235, 200, 200};
    // The swatch of a background colour that does not apply.
    static constexpr Colour kDisabledSwatch{192, 192, 192};

    enum class Background { None, Plain, Stock, Own };
    Background background = Background::None;
    int stockImage = 0;   // 1..18 with Stock
    std::string ownImage; // cp1252 path with Own
    Colour backgroundColour = kDefaultBackground;
    Colour textColour{0, 0, 0};

    void choosePlain();
    void chooseStock(int number);
    void chooseOwn();
    // Whether the background colour means anything for the choice: the plain
    // page and the recoloured pictures.
    bool backgroundColourApplies() const;
};

// <homepage directory>/vantor!!
std::string templateDirectoryFor(const std::string &homepagePath);
// back_<n>.gif
std::string stockImageName(int number);
// Where the stock template and pictures ship.
std::string stockTemplateDirectory(const std::string &programDirectory);

// The stock template with the choice applied: imageName is the bare file name
// of the picture (empty for the plain page), homepageName the bare file name
// the template links back to. Pure; the steps of createTemplate that touch
// files are around it.
std::string fillStockTemplate(const std::string &stock, const TemplateChoice &choice, const std::string &imageName,
                              const std::string &homepageName);

// Gives a copied stock picture the background colour: the first FF 8C 08 of
// its first 50 bytes becomes the colour, the first FF C6 A5 a third of the way
// from it to white. False when the file cannot be read or written back, or is
// too short to hold a palette there.
bool recolourStockImage(const std::string &path, Colour background);
// The same on the bytes of a picture in memory (the wizard's previews).
// False when they are too short to hold the palette there.
bool recolourPalette(std::string &gif, Colour background);

// "Vorlage erzeugen" for the homepage file: every question and message goes
// through the ui. True when the template was written.
bool createTemplate(const std::string &homepagePath, const TemplateChoice &choice, Ui &ui,
                    const std::string &programDirectory);

// "Kein gültiges Hintergrundbild": the own picture cannot be used.
void showInvalidBackgroundImage(Ui &ui);

// "Vorlage einsehen": opens the template with the user's program, or says
// there is none. True when it was handed over.
bool showTemplate(const std::string &homepagePath, Ui &ui);

} // namespace vantor
