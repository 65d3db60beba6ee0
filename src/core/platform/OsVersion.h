#pragma once

#include <string>

namespace vantor {

// What the feedback tells us about the user's system. On Linux the kernel
// release stands in for the Windows version numbers: "6.1.0-18-amd64" gives
// 6, 1 and build 0. There is no service pack, so that text stays empty.
struct OsVersion {
    int major = 0;
    int minor = 0;
    int build = 0;
    std::string servicePack;

    static OsVersion current();
    // The numbers at the start of a release text; missing ones stay 0.
    static OsVersion fromRelease(const std::string &release);
};

} // namespace vantor
