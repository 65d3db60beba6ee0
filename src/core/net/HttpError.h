#pragma once

#include <exception>
#include <string>
#include <utility>

namespace vantor {

// A failure of the transfer itself, with the text the user reads after
// "Der exakte Fehlertext lautet: ".
class HttpError : public std::exception
{
public:
    explicit HttpError(std::string text)
        : m_text(std::move(text))
    {
    }
    const char *what() const noexcept override { return m_text.c_str(); }
    const std::string &text() const { return m_text; }

    // Our German words for a libcurl result code, with the library's own
    // detail in brackets for whoever has to help the user further.
    static HttpError fromCurl(int curlCode, const std::string &detail);

private:
    std::string m_text;
};

} // namespace vantor
