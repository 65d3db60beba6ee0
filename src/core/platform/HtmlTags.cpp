#include "platform/HtmlTags.h"

#include "platform/Text.h"

namespace vantor::html {

std::optional<std::string_view> StartTag::attribute(std::string_view name) const
{
    for (const auto &[attributeName, value] : attributes)
        if (attributeName == name)
            return value;
    return std::nullopt;
}

std::string lowerAsciiText(std::string_view text)
{
    std::string lower(text);
    for (char &c : lower)
        c = lowerAscii(c);
    return lower;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::size_t findIgnoringCase(std::string_view text, std::string_view what, std::size_t from)
{
    for (std::size_t i = from; i + what.size() <= text.size(); ++i)
        if (equalsIgnoreAsciiCase(text.substr(i, what.size()), what))
            return i;
    return std::string_view::npos;
}

std::size_t readAttributes(std::string_view page, std::size_t i, StartTag &tag)
{
    const std::size_t n = page.size();
    while (i < n) {
        while (i < n && (isBlank(page[i]) || page[i] == '/'))
            ++i;
        if (i >= n)
            break;
        if (page[i] == '>')
            return i + 1;
        const std::size_t nameStart = i;
        while (i < n && !isBlank(page[i]) && page[i] != '=' && page[i] != '>' && page[i] != '/')
            ++i;
        if (i == nameStart) {
            ++i;
            continue;
        }
        std::string name = lowerAsciiText(page.substr(nameStart, i - nameStart));
        std::string_view value;
        bool open = false;
        std::size_t j = i;
        while (j < n && isBlank(page[j]))
            ++j;
        if (j < n && page[j] == '=') {
            ++j;
            while (j < n && isBlank(page[j]))
                ++j;
            if (j < n && (page[j] == '"' || page[j] == '\'')) {
                const std::size_t close = page.find(page[j], j + 1);
                open = close == std::string_view::npos;
                const std::size_t end = open ? n : close;
                value = page.substr(j + 1, end - j - 1);
                j = open ? n : end + 1;
            } else {
                const std::size_t start = j;
                while (j < n && !isBlank(page[j]) && page[j] != '>')
                    ++j;
                value = page.substr(start, j - start);
            }
            i = j;
        }
        if (!tag.attribute(name))
            tag.attributes.emplace_back(std::move(name), value);
        if (open)
            break;
    }
    return std::string_view::npos;
}

bool hasWord(std::string_view list, std::string_view word)
{
    std::size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && (isBlank(list[i]) || list[i] == ','))
            ++i;
        const std::size_t start = i;
        while (i < list.size() && !isBlank(list[i]) && list[i] != ',')
            ++i;
        if (i > start && equalsIgnoreAsciiCase(list.substr(start, i - start), word))
            return true;
    }
    return false;
}

} // namespace vantor::html
