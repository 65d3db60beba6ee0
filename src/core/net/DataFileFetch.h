#pragma once

#include <string>
#include <vector>

namespace vantor {

class Ui;

// Brings the data files up to date from the maker's server before a
// submission or research run reads them. Each file is fetched at most once
// per program run; a failed fetch keeps the file on disk, and the caller then
// loads whatever is there.
class DataFileFetch
{
public:
    // <program directory>/Data/<name>
    static std::string path(const std::string &name);
    // http://<update server>/download/vantor/<name>
    static std::string url(const std::string &name);

    // Fetches every named file that was not fetched yet in this run. Before
    // the first request the dial-up prompt comes when httpinform is on; false
    // when the user said "Abbruch" there, and then nothing was fetched.
    static bool fetch(const std::vector<std::string> &names, Ui &ui);

    // One GET with the maker agent; at most 50,000 bytes of the body replace
    // the file. A failed request, a redirect or an error status (400 and up)
    // keeps the old file. True when something was written.
    static bool download(const std::string &url, const std::string &path, Ui &ui);

    static bool fetched(const std::string &name);
    // Forgets the fetched files, as a new program run would.
    static void reset();
};

} // namespace vantor
