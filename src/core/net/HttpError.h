#pragma once

#include <exception>
#include <string>
#include <utility>

namespace vantor {

// The internet library's own failure, with its message text.
class HttpError : public std::exception
{
public:
    explicit HttpError(std::string text)
        : m_text(std::move(text))
    {
    }
    const char *what() const noexcept override { return m_text.c_str(); }
    const std::string &text() const { return m_text; }

private:
    std::string m_text;
};

} // namespace vantor
