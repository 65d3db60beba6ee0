#include "Cli.h"

#include "platform/Files.h"
#include "platform/Text.h"
#include "project/ProjectRecord.h"
#include "wizard/PageSnippet.h"
#include "wizard/SnippetWidth.h"

#include <cmath>
#include <ostream>

namespace vantor {

namespace {

std::string trimmed(std::string_view text)
{
    const std::size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos)
        return {};
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(begin, end - begin + 1));
}

// "Titel Desktop: 512/600 px: TEXT", the text as the list shows it.
std::string line(const char *label, const std::string &text, double size, double limit)
{
    const long width = std::lround(snippet::width(text, size));
    return std::string(label) + ": " + std::to_string(width) + "/" + std::to_string(std::lround(limit))
        + " px: " + toUtf8(snippet::cut(text, size, limit));
}

} // namespace

int Cli::previewCommand(const std::vector<std::string> &args)
{
    std::string title;
    std::string description;
    if (args.size() == 1) {
        // As the run writes them into the homepage; the browser drops the
        // blanks around them.
        title = trimmed(projectRecord().title1.view());
        description = trimmed(projectRecord().description.view());
    } else if (args.size() == 3 && args[1] == "--page") {
        const std::string path = toCp1252(args[2]);
        std::string content;
        if (!files::isFile(path) || !files::read(path, content))
            return fail(de("Datei nicht gefunden"), de("Die Seite \"") + path + de("\" konnte nicht gelesen werden."));
        const PageSnippet page = PageSnippet::read(content);
        title = page.title;
        description = page.description;
    } else {
        return usageError("preview: [--page DATEI] erwartet / expected");
    }
    m_out << line("Titel Desktop", title, snippet::kTitleSize, snippet::kDesktopTitle) << '\n'
          << line("Titel Mobil", title, snippet::kTitleSize, snippet::kMobileTitle) << '\n'
          << line("Beschreibung Desktop", description, snippet::kDescriptionSize, snippet::kDesktopDescription)
          << '\n'
          << line("Beschreibung Mobil", description, snippet::kDescriptionSize, snippet::kMobileDescription)
          << '\n';
    return 0;
}

} // namespace vantor
