#include "research/ResearchSource.h"

#include "net/DataFile.h"
#include "optimizer/PageText.h"
#include "optimizer/TermText.h"
#include "platform/Text.h"

namespace vantor::researchsource {

bool holds(const std::string &value, char c) { return value.find(c) != std::string::npos; }

bool readValue(const std::string &text, const std::string &section, const std::string &key, std::string &value)
{
    return DataFile::value(text, section, key, value);
}

bool read(const std::string &text, const std::string &section, int pages, ResearchSourceDef &def)
{
    def = ResearchSourceDef();
    def.section = section;
    std::string convert;
    if (!readValue(text, section, "keyword", def.keyword) || !readValue(text, section, "convert", convert))
        return false;
    def.convert = holds(convert, '1');
    for (int page = 1; page <= pages; ++page) {
        std::string url;
        if (!readValue(text, section, "http" + std::to_string(page), url))
            return false;
        def.templates.push_back(url);
    }
    ResultMarkers &m = def.markers;
    if (!readValue(text, section, "resultsstart", m.resultsStart) || !readValue(text, section, "resultsend", m.resultsEnd)
        || !readValue(text, section, "resultstart", m.resultStart) || !readValue(text, section, "resultend", m.resultEnd)
        || !readValue(text, section, "delimiter", m.delimiter) || !readValue(text, section, "abort", m.abort))
        return false;
    // Not in the maker's older files; they all speak cp1252.
    std::string charset;
    if (readValue(text, section, "charset", charset))
        def.utf8 = equalsIgnoreAsciiCase(charset, "utf-8") || equalsIgnoreAsciiCase(charset, "utf8");
    return true;
}

std::string urlTerm(const ResearchSourceDef &def, const std::string &term)
{
    const std::string plain = def.convert ? fileNameForm(term) : term;
    const std::string bytes = def.utf8 ? toUtf8(plain) : plain;
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const bool keep = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || c == '-'
            || c == '.' || c == '_' || c == '~' || c == '+';
        if (keep) {
            out += c;
        } else {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0x0f];
        }
    }
    return out;
}

std::string requestUrl(const ResearchSourceDef &def, const std::string &urlTemplate, const std::string &term)
{
    std::string url = urlTemplate;
    replaceFirst(urlTerm(def, term), def.keyword, url);
    return url;
}

} // namespace vantor::researchsource
