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
    // the first request the dial-up prompt comes when httpinform is on (and
    // the caller has not asked already: ask false); false when the user said
    // "Abbruch" there, and then nothing was fetched.
    static bool fetch(const std::vector<std::string> &names, Ui &ui, bool ask = true);

    // One GET with the maker agent; the body replaces the file only when it
    // loads as a data file (at most 50,000 bytes, so a longer one is cut and
    // refused). A failed request, a redirect, an error status (400 and up),
    // an empty or a broken body keeps the old file byte for byte and gives
    // false, so the next run tries again. True when the new file is there.
    static bool download(const std::string &url, const std::string &path, Ui &ui);

    static bool fetched(const std::string &name);
    // Forgets the fetched files, as a new program run would.
    static void reset();
};

} // namespace vantor
