#include "net/PercentEncoding.h"

namespace vantor {

std::string percentEncodeKeeping(std::string_view bytes, std::string_view plainMarks)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const bool plain = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') ||
                           plainMarks.find(c) != std::string_view::npos;
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0x0F];
        }
    }
    return out;
}

std::string formEncode(std::string_view bytes)
{
    std::string out = percentEncodeKeeping(bytes, "-._~ ");
    for (char &c : out) {
        if (c == ' ')
            c = '+';
    }
    return out;
}

std::string percentEncode(std::string_view value) { return percentEncodeKeeping(value, "-._~@:/"); }

} // namespace vantor
