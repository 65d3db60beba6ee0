#include "templatewizard/TemplateWizard.h"

#include "optimizer/PageEncoding.h"
#include "optimizer/SiteGuard.h"
#include "platform/Files.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "ui/Ui.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <new>
#include <vector>

namespace vantor {

namespace {

constexpr std::size_t kPaletteWindow = 50;

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The template is filled by edits found in the stock text and applied all at
// once. Done one after the other on the growing text, a later search would
// find what an earlier one put in: a black background colour taken for a
// "000000" to become the text colour, or a text colour "FF8C08" taken for the
// next accent. Each placeholder is meant where it stands in the stock file.
struct Edit {
    std::size_t position;
    std::size_t length;
    std::string replacement;
};

class EditList
{
public:
    explicit EditList(const std::string &text)
        : m_text(text)
    {
    }

    // Occurrences of the pattern, left to right, at most limit of them.
    std::vector<std::size_t> find(const std::string &pattern, std::size_t limit = std::string::npos) const
    {
        std::vector<std::size_t> found;
        for (std::size_t at = m_text.find(pattern); at != std::string::npos && found.size() < limit;
             at = m_text.find(pattern, at + pattern.size()))
            found.push_back(at);
        return found;
    }

    void replace(std::size_t position, std::size_t length, std::string replacement)
    {
        m_edits.push_back({position, length, std::move(replacement)});
    }

    std::string apply()
    {
        std::stable_sort(m_edits.begin(), m_edits.end(),
                         [](const Edit &a, const Edit &b) { return a.position < b.position; });
        std::string out;
        out.reserve(m_text.size() + 1000);
        std::size_t at = 0;
        for (const auto &edit : m_edits) {
            if (edit.position < at)
                continue; // overlaps one already made; the stock file never asks for that
            out.append(m_text, at, edit.position - at);
            out += edit.replacement;
            at = edit.position + edit.length;
        }
        out.append(m_text, at, std::string::npos);
        return out;
    }

private:
    const std::string &m_text;
    std::vector<Edit> m_edits;
};

// The template in the encoding of the homepage it is made for: doorway pages
// are made from it and should read like the rest of the site.
std::string inHomepageEncoding(std::string page, const std::string &homepagePath)
{
    std::string homepage;
    if (!files::read(homepagePath, homepage))
        return page;
    PageEncoding encoding = detectEncoding(homepage);
    if (encoding.charset != Charset::Utf8)
        return page;
    encoding.byteOrderMark = false;
    const std::size_t at = page.find("charset=windows-1252");
    if (at != std::string::npos)
        page.replace(at, 20, "charset=utf-8");
    return WorkingText().toPage(page, encoding);
}

std::string failureTitle() { return "Fehler beim Erstellen der Vorlage"; }

std::string failureText()
{
    return de("Es ist ein Fehler aufgetreten. Mögliche Ursachen:\nEs fehlen Dateien der Installation oder der Zugriff "
              "auf das Installationsverzeichnis ist nicht möglich.\nÄndern Sie die Zugriffsrechte oder führen Sie die "
              "Installation erneut durch.");
}

bool fail(Ui &ui)
{
    ui.message(failureTitle(), failureText());
    return false;
}

// A link in the site may lead anywhere on the disk (a shared folder, the
// user's documents); writing the template or a picture through it would
// overwrite files that have nothing to do with the web site.
bool refuseLink(Ui &ui, const std::string &path, bool directory)
{
    ui.message("Vorlage nicht erstellt",
               de(directory ? "Das Verzeichnis \"" : "Die Datei \"") + path +
                   de("\" ist ein Verweis (symbolischer Link) aus dem Verzeichnis der Homepage heraus. Vantor!! "
                      "schreibt nicht hindurch, damit keine Dateien außerhalb Ihrer Web-Site überschrieben werden."));
    return false;
}

// An own picture chosen from beside the homepage needs no copy: it already
// lies where the template looks for it.
bool samePlace(const std::string &a, const std::string &b)
{
    std::error_code ec;
    return std::filesystem::equivalent(files::osPath(a), files::osPath(b), ec) && !ec;
}

} // namespace

std::string colourToHex(Colour colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", colour.red & 0xFF, colour.green & 0xFF, colour.blue & 0xFF);
    return text;
}

Colour lightTint(Colour colour)
{
    auto tint = [](int c) { return c + (255 - c) / 2; };
    return {tint(colour.red), tint(colour.green), tint(colour.blue)};
}

std::optional<Colour> colourFromHex(std::string_view text)
{
    if (!text.empty() && text.front() == '#')
        text.remove_prefix(1);
    if (text.size() != 6)
        return std::nullopt;
    std::array<int, 3> parts{};
    for (std::size_t i = 0; i < 3; ++i) {
        const int high = hexDigit(text[2 * i]);
        const int low = hexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        parts[i] = high * 16 + low;
    }
    return Colour{parts[0], parts[1], parts[2]};
}

void TemplateChoice::choosePlain()
{
    background = Background::Plain;
    backgroundColour = kPlainBackground;
}

void TemplateChoice::chooseStock(int number)
{
    background = Background::Stock;
    stockImage = number;
}

void TemplateChoice::chooseOwn() { background = Background::Own; }

bool TemplateChoice::backgroundColourApplies() const
{
    return background == Background::Plain ||
           (background == Background::Stock && stockImage >= 1 && stockImage <= kRecolouredImages);
}

std::string templateDirectoryFor(const std::string &homepagePath)
{
    return files::join(files::directoryOf(homepagePath), "vantor!!");
}

std::string stockImageName(int number) { return "back_" + std::to_string(number) + ".gif"; }

std::string stockTemplateDirectory(const std::string &programDirectory)
{
    return files::join(programDirectory, "templates");
}

std::string fillStockTemplate(const std::string &stock, const TemplateChoice &choice, const std::string &imageName,
                              const std::string &homepageName)
{
    const std::string accent = colourToHex(choice.backgroundColour);
    const std::string text = colourToHex(choice.textColour);
    const std::string light = colourToHex(lightTint(choice.textColour));
    const bool plain = choice.background == TemplateChoice::Background::Plain;

    EditList edits(stock);
    if (plain) {
        for (auto at : edits.find("background=\"back1.gif", 1))
            edits.replace(at, 21, "bgcolor=\"#" + accent);
    } else {
        // The page lies one directory below the picture.
        for (auto at : edits.find("back1.gif", 1))
            edits.replace(at, 9, "../" + imageName);
    }
    // The plain page takes its first accent from the text colours, the
    // picture pages from the background; the next ones always so.
    const auto accents = edits.find("FF8C08", plain ? 2 : 1);
    const auto lights = edits.find("FFC6A5", plain ? 2 : 1);
    for (std::size_t i = 0; i < accents.size(); ++i)
        edits.replace(accents[i], 6, plain && i == 0 ? text : accent);
    for (auto at : lights)
        edits.replace(at, 6, light);
    if (!(choice.textColour == Colour{0, 0, 0}))
        for (auto at : edits.find("000000"))
            edits.replace(at, 6, text);
    for (auto at : edits.find("\">Homepage", 1))
        edits.replace(at, 0, homepageName);
    return edits.apply();
}

bool recolourPalette(std::string &gif, Colour background)
{
    if (gif.size() < kPaletteWindow)
        return false;
    // Both entries are looked up before either is changed, so a background
    // colour that happens to read FF C6 A5 is not taken for the light entry.
    const std::string window = gif.substr(0, kPaletteWindow);
    const std::size_t accent = window.find("\xFF\x8C\x08");
    const std::size_t light = window.find("\xFF\xC6\xA5");
    auto put = [&gif](std::size_t at, int r, int g, int b) {
        gif[at] = static_cast<char>(r);
        gif[at + 1] = static_cast<char>(g);
        gif[at + 2] = static_cast<char>(b);
    };
    if (accent != std::string::npos)
        put(accent, background.red, background.green, background.blue);
    if (light != std::string::npos) {
        auto third = [](int c) { return c + (255 - c) / 3; };
        put(light, third(background.red), third(background.green), third(background.blue));
    }
    return true;
}

bool recolourStockImage(const std::string &path, Colour background)
{
    std::string gif;
    return files::read(path, gif) && recolourPalette(gif, background) && files::writeAtomic(path, gif);
}

void showInvalidBackgroundImage(Ui &ui)
{
    ui.message(de("Kein gültiges Hintergrundbild"),
               de("Die von Ihnen angegebene Datei ist nicht gültig. Bitte geben Sie eine korrekte Grafikdatei an."));
}

bool createTemplate(const std::string &homepagePath, const TemplateChoice &choice, Ui &ui,
                    const std::string &programDirectory)
{
    using Background = TemplateChoice::Background;
    const bool stock = choice.background == Background::Stock && choice.stockImage >= 1 &&
                       choice.stockImage <= TemplateChoice::kStockImages;
    if (choice.background == Background::None || (choice.background == Background::Stock && !stock)) {
        ui.message(de("Kein Hintergrundbild gewählt"),
                   de("Sie haben kein Hintergrundbild gewählt. Wählen Sie ein Hintergrundbild aus. Möchten Sie kein "
                      "Hintergrundbild, wählen Sie \"einfarbig\"."));
        return false;
    }
    if (choice.background == Background::Own &&
        (choice.ownImage.empty() || choice.ownImage.size() > TemplateChoice::kOwnImageCapacity ||
         !files::isFile(choice.ownImage))) {
        showInvalidBackgroundImage(ui);
        return false;
    }

    const std::string homepageDirectory = files::directoryOf(homepagePath);
    const std::string directory = templateDirectoryFor(homepagePath);
    const std::string target = files::join(directory, "index.htm");
    const std::string backup = target + ".bak";
    std::string imageName;
    if (stock)
        imageName = stockImageName(choice.stockImage);
    else if (choice.background == Background::Own)
        imageName = files::fileNameOf(choice.ownImage);
    const std::string picture = imageName.empty() ? std::string() : files::join(homepageDirectory, imageName);
    const bool copyPicture =
        !picture.empty() && !(choice.background == Background::Own && samePlace(choice.ownImage, picture));

    // Every place is checked before anything is written: a refusal halfway
    // would leave a picture without its template.
    const SiteGuard guard(homepageDirectory);
    const SiteGuard::Verdict place = guard.resolvedDirectory(directory);
    if (place == SiteGuard::Verdict::Outside || place == SiteGuard::Verdict::Link)
        return refuseLink(ui, directory, true);
    if (!files::isDirectory(directory))
        files::createDirectories(directory);
    for (const std::string &file : {target, backup})
        if (guard.fileTarget(file) == SiteGuard::Verdict::Outside)
            return refuseLink(ui, file, false);
    if (copyPicture && guard.fileTarget(picture) == SiteGuard::Verdict::Outside)
        return refuseLink(ui, picture, false);

    // The user may have worked on the template for hours: Enter alone does
    // not replace it, and the one replaced stays beside the new one.
    if (files::entryExists(target)) {
        if (!ui.questionDefaultNo(de("Eine Vorlage existiert bereits"),
                                  de("Um die Vorlage zu überschreiben, klicken Sie bitte auf \"Ok\".\nUm die "
                                     "Vorlage nicht zu überschreiben, klicken Sie bitte auf \"Abbruch\".")))
            return false;
        std::string old;
        if (!files::read(target, old) || !files::writeAtomic(backup, old))
            return fail(ui);
    }

    const std::string templates = stockTemplateDirectory(programDirectory);
    // A failed copy is not reported on its own; the template still names the
    // picture, which the user can put there.
    if (copyPicture)
        files::copy(stock ? files::join(templates, imageName) : choice.ownImage, picture);

    try {
        std::string stockText;
        if (!files::isFile(files::join(templates, "template1.htm")) ||
            !files::read(files::join(templates, "template1.htm"), stockText) || stockText.empty())
            return fail(ui);
        const std::string page = fillStockTemplate(stockText, choice, imageName, files::fileNameOf(homepagePath));
        if (!files::writeAtomic(target, inHomepageEncoding(page, homepagePath)))
            return fail(ui);
        if (stock && choice.stockImage <= TemplateChoice::kRecolouredImages &&
            !recolourStockImage(files::join(homepageDirectory, imageName), choice.backgroundColour))
            return fail(ui);
    } catch (const std::bad_alloc &) {
        reportOutOfMemory();
        return false;
    }

    ui.message(de("Vorlage erstellt"),
               de("Die Vorlage wurde erstellt und im Unterverzeichnis \"\\vantor!!\" der Homepage gespeichert.\n\n"
                  "Hinweis: Eingebundene Hintergrundbilder wurden in das Verzeichnis der Homepage kopiert. Denken Sie "
                  "daran, diese Datei auch auf den Web-Server zu kopieren. Sie können auch die Vorlage individuell "
                  "anpassen. Details dazu auch in der Hilfe!"));
    return true;
}

bool showTemplate(const std::string &homepagePath, Ui &ui)
{
    const std::string directory = templateDirectoryFor(homepagePath);
    if (!files::isDirectory(directory))
        files::createDirectories(directory);
    const std::string target = files::join(directory, "index.htm");
    if (!files::isFile(target)) {
        ui.message("Vorlage fehlt",
                   de("Es ist noch keine Vorlage vorhanden. Bitte erstellen Sie zuerst eine Vorlage."));
        return false;
    }
    return shellOpen(target);
}

} // namespace vantor
