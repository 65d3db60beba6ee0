#include "net/DataFileFetch.h"

#include "net/DataFile.h"
#include "net/HttpGet.h"
#include "net/MakerServer.h"
#include "platform/Files.h"
#include "project/ProgramSettings.h"
#include "ui/Ui.h"

#include <set>

namespace vantor {

namespace {

// Touched only by the user-interface thread, before any worker starts.
std::set<std::string> &fetchedNames()
{
    static std::set<std::string> names;
    return names;
}

} // namespace

std::string DataFileFetch::path(const std::string &name)
{
    return files::join(files::join(programSettings().programDirectory, "Data"), name);
}

std::string DataFileFetch::url(const std::string &name) { return makerserver::url("/download/vantor/" + name); }

bool DataFileFetch::fetched(const std::string &name) { return fetchedNames().count(name) != 0; }

void DataFileFetch::reset() { fetchedNames().clear(); }

bool DataFileFetch::download(const std::string &url, const std::string &path, Ui &ui)
{
    const std::string directory = path.substr(0, path.find_last_of('/'));
    if (!directory.empty() && directory != path)
        files::createDirectories(directory);
    std::string error;
    return httpget::downloadToFile(url, path, error, ui, DataFile::loads);
}

bool DataFileFetch::fetch(const std::vector<std::string> &names, Ui &ui, bool ask)
{
    bool asked = !ask;
    for (const std::string &name : names) {
        if (fetched(name))
            continue;
        if (!asked) {
            asked = true;
            if (programSettings().httpInform && !ui.question(httpget::dialUpTitle(), httpget::dialUpText()))
                return false;
        }
        if (download(url(name), path(name), ui))
            fetchedNames().insert(name);
    }
    return true;
}

} // namespace vantor
