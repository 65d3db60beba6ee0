#include "net/HttpReply.h"

namespace vantor {

bool HttpReply::readLine(std::string &line)
{
    line.clear();
    if (m_pos >= body.size())
        return false;
    const auto end = body.find('\n', m_pos);
    const auto stop = end == std::string::npos ? body.size() : end;
    line.assign(body, m_pos, stop - m_pos);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    m_pos = end == std::string::npos ? body.size() : end + 1;
    return true;
}

} // namespace vantor
