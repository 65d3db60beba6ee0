#include "wizard/HomepageText.h"

#include "optimizer/PageEncoding.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "ui/Ui.h"

#include <algorithm>

namespace vantor {

bool readHomepageText(const std::string &path, std::string &text, WorkingText &working)
{
    std::string raw;
    if (!files::isFile(path) || !files::read(path, raw))
        return false;
    text = working.fromPage(raw, detectEncoding(raw));
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }), text.end());
    return true;
}

std::string valueAfter(const std::string &text, std::size_t start, const std::string &end)
{
    if (start < text.size() && text[start] == ' ')
        ++start;
    if (start >= text.size())
        return {};
    const std::size_t stop = text.find(end, start);
    return text.substr(start, stop == std::string::npos ? std::string::npos : stop - start);
}

bool blockValue(const std::string &text, const std::string &start, const std::string &end, int n, std::string &value)
{
    if (text.find(start) == std::string::npos || text.find(end) == std::string::npos)
        return false;
    std::size_t from = 0;
    for (int skipped = 1; skipped < n; ++skipped) {
        const std::size_t s = text.find(start, from);
        if (s == std::string::npos)
            return false;
        const std::size_t e = text.find(end, s + start.size());
        if (e == std::string::npos)
            return false;
        from = e + end.size();
    }
    const std::size_t s = text.find(start, from);
    if (s == std::string::npos)
        return false;
    std::size_t begin = s + start.size();
    if (begin < text.size() && text[begin] == ' ')
        ++begin;
    const std::size_t e = text.find(end, begin);
    if (e == std::string::npos)
        return false;
    value = text.substr(begin, e - begin);
    return true;
}

std::string recordValue(const WorkingText &working, const std::string &value, bool &lost)
{
    return working.toRecord(value, lost);
}

void showCharactersLost(Ui &ui)
{
    ui.message(de("Zeichen nicht übernommen"),
               de("Die Homepage enthält Zeichen, die Vantor!! in den Projektdaten nicht speichern kann (sie liegen "
                  "außerhalb des westeuropäischen Zeichensatzes). Sie wurden in den übernommenen Texten durch \"?\" "
                  "ersetzt. Bitte überarbeiten Sie diese Texte."));
}

void showNothingFound(Ui &ui)
{
    ui.message("Keine Informationen gefunden",
               "Im aktuellen Dokument konnten keine relevanten Informationen gefunden werden.");
}

} // namespace vantor
