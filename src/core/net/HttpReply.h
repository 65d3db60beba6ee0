#pragma once

#include <cstddef>
#include <string>

namespace vantor {

// What came back: the status and the body up to the caller's limit.
class HttpReply
{
public:
    long status = 0;
    std::string body;
    bool cut = false; // the server had more than the limit

    // The body line by line, CR LF or LF; false once it is used up.
    bool readLine(std::string &line);

private:
    std::size_t m_pos = 0;
};

} // namespace vantor
