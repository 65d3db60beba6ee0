#include "platform/OsVersion.h"

#include <sys/utsname.h>

namespace vantor {

OsVersion OsVersion::fromRelease(const std::string &release)
{
    OsVersion v;
    int *const parts[] = {&v.major, &v.minor, &v.build};
    std::size_t at = 0;
    for (int *part : parts) {
        if (at >= release.size() || release[at] < '0' || release[at] > '9')
            break;
        long value = 0;
        while (at < release.size() && release[at] >= '0' && release[at] <= '9') {
            // A silly release text must not overflow the number.
            if (value < 100000000)
                value = value * 10 + (release[at] - '0');
            ++at;
        }
        *part = static_cast<int>(value);
        if (at >= release.size() || release[at] != '.')
            break;
        ++at;
    }
    return v;
}

OsVersion OsVersion::current()
{
    utsname name{};
    if (::uname(&name) != 0)
        return {};
    return fromRelease(name.release);
}

} // namespace vantor
