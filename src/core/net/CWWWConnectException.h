#pragma once

#include <exception>

namespace vantor {

// Our own failure inside the network code: a URL we do not speak, or a
// credential prompt the user turned down. It never leaves the network code;
// the helpers turn it into "Fehler Code: %d".
class CWWWConnectException : public std::exception
{
public:
    explicit CWWWConnectException(int code)
        : m_code(code)
    {
    }

    int code() const { return m_code; }
    const char *what() const noexcept override { return "CWWWConnectException"; }

private:
    int m_code;
};

} // namespace vantor
