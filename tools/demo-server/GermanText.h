#pragma once

#include "platform/Text.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace vantor::demo {

// The research services read and write UTF-8, as the services out there do;
// these are the few things they need to know about German words in it.
class GermanText
{
public:
    // One character of UTF-8 at text[i] and its length; a byte that starts
    // no valid sequence counts as a character of its own, with code point 0
    // unless it is ASCII.
    static std::size_t next(std::string_view text, std::size_t i, char32_t &cp)
    {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            cp = byte;
            return 1;
        }
        const std::size_t length = decodeUtf8(text, i, cp);
        if (length == 0) {
            cp = 0;
            return 1;
        }
        return length;
    }

    static bool validUtf8(std::string_view text)
    {
        for (std::size_t i = 0; i < text.size();) {
            char32_t cp = 0;
            if (static_cast<unsigned char>(text[i]) >= 0x80 && decodeUtf8(text, i, cp) == 0)
                return false;
            i += next(text, i, cp);
        }
        return true;
    }

    // Characters, not bytes: the program counts an umlaut as one.
    static std::size_t length(std::string_view text)
    {
        std::size_t count = 0;
        for (std::size_t i = 0; i < text.size(); ++count) {
            char32_t cp = 0;
            i += next(text, i, cp);
        }
        return count;
    }

    // Lower case for the Latin letters German uses (with À to Þ, and the
    // capital ß); anything else stays as it is.
    static std::string lower(std::string_view text)
    {
        std::string out;
        out.reserve(text.size());
        for (std::size_t i = 0; i < text.size();) {
            char32_t cp = 0;
            const std::size_t length = next(text, i, cp);
            if (cp >= 'A' && cp <= 'Z')
                out += static_cast<char>(cp + 0x20);
            else if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)
                appendUtf8(out, cp + 0x20);
            else if (cp == 0x1E9E)
                appendUtf8(out, 0xDF);
            else
                out.append(text.substr(i, length));
            i += length;
        }
        return out;
    }

    // True for words and phrases the program takes over as they are: it
    // keeps only these letters and the blank, so anything with a hyphen, a
    // digit or another accent would reach the user mangled. One blank
    // between words, none at the ends.
    static bool keptWhole(std::string_view text)
    {
        if (text.empty() || text.front() == ' ' || text.back() == ' ' || text.find("  ") != std::string_view::npos)
            return false;
        for (std::size_t i = 0; i < text.size();) {
            char32_t cp = 0;
            i += next(text, i, cp);
            const bool letter = (cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z') || cp == ' ';
            const bool german = cp == U'ä' || cp == U'ö' || cp == U'ü' || cp == U'Ä' || cp == U'Ö' || cp == U'Ü'
                || cp == U'ß' || cp == U'è' || cp == U'é' || cp == U'ê';
            if (!letter && !german)
                return false;
        }
        return true;
    }

    // The term of a query value as a service reads it: UTF-8 as sent, or
    // cp1252 from an older client (a cp1252 umlaut is never valid UTF-8); a
    // '+' for the blank it stands for, runs of blanks as one, in lower
    // case. Empty when it is longer than maxLength.
    static std::string queryTerm(std::string raw, std::size_t maxLength)
    {
        if (raw.size() > maxLength)
            return {};
        if (!validUtf8(raw))
            raw = toUtf8(raw);
        std::string term;
        for (char c : raw) {
            if (c == '+' || c == '\t' || c == '\r' || c == '\n')
                c = ' ';
            if (c != ' ' || (!term.empty() && term.back() != ' '))
                term += c;
        }
        if (!term.empty() && term.back() == ' ')
            term.pop_back();
        return lower(term);
    }
};

} // namespace vantor::demo
