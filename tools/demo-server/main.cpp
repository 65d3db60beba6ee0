#include "DemoServer.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

// The installed server's own files lie under the prefix it was installed to;
// from the source tree they are in data/demo-server.
std::filesystem::path installedRoot()
{
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    const std::filesystem::path root = exe.parent_path().parent_path() / "share" / "vantor-demo-server";
    return std::filesystem::is_regular_file(root / "version.txt", error) ? root : std::filesystem::path();
}

// Where the installed server keeps its support log: the user's state
// directory, as nothing under the prefix may be written.
std::filesystem::path stateDirectory()
{
    const char *state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/')
        return std::filesystem::path(state) / "vantor-demo-server";
    const char *home = std::getenv("HOME");
    if (home && *home == '/')
        return std::filesystem::path(home) / ".local" / "state" / "vantor-demo-server";
    return std::filesystem::temp_directory_path() / "vantor-demo-server";
}

} // namespace

// vantor-demo-server [--port N] [--root DIR] [--site DIR] [--wordlist FILE] [--thesaurus PREFIX]
int main(int argc, char **argv)
{
    int port = 8080;
    std::string root;
    vantor::demo::DemoServer::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--port" && i + 1 < argc) {
            port = std::atoi(argv[++i]);
        } else if (a == "--root" && i + 1 < argc) {
            root = argv[++i];
        } else if (a == "--site" && i + 1 < argc) {
            options.site = argv[++i];
        } else if (a == "--wordlist" && i + 1 < argc) {
            options.research.wordList = argv[++i];
        } else if (a == "--thesaurus" && i + 1 < argc) {
            options.research.thesaurus = argv[++i];
        } else if (a == "--help" || a == "-h") {
            std::cout << "Aufruf / Usage: vantor-demo-server [--port N] [--root DIR] [--site DIR] [--wordlist DATEI] "
                         "[--thesaurus PRÄFIX]\nHandbuch: man vantor-demo-server\n";
            return 0;
        } else {
            std::cerr << "Aufruf / Usage: vantor-demo-server [--port N] [--root DIR] [--site DIR] [--wordlist DATEI] "
                         "[--thesaurus PRÄFIX]\n";
            return 2;
        }
    }
    if (!options.site.empty() && !std::filesystem::is_directory(options.site)) {
        std::cerr << "vantor-demo-server: " << options.site.string() << " ist kein Verzeichnis / is no directory\n";
        return 2;
    }
    if (root.empty()) {
        if (const std::filesystem::path installed = installedRoot(); !installed.empty()) {
            root = installed.string();
            options.logDirectory = stateDirectory();
        } else {
            root = "data/demo-server";
        }
    }
    vantor::demo::DemoServer server(root, options);
    const int bound = server.bind(port);
    if (bound < 0) {
        std::cerr << "vantor-demo-server: Port " << port << " ist nicht frei / not free\n";
        return 1;
    }
    std::cout << "vantor-demo-server: http://127.0.0.1:" << bound << "/ (" << root << ")" << std::endl;
    if (!options.site.empty())
        std::cout << "vantor-demo-server: Website / site " << options.site.string() << std::endl;
    std::cout << "vantor-demo-server: Suchmaschinen / engines http://127.0.0.1:" << bound << "/engine/" << std::endl;
    std::cout << "vantor-demo-server: Recherche / research http://127.0.0.1:" << bound
              << "/research/keywords?q=urlaub, keywords2, thesaurus, thesaurus2/1 bis / to 3" << std::endl;
    std::cout << "vantor-demo-server: Positionen / positions http://127.0.0.1:" << bound
              << "/serp/ (Suchfix, Findling, Spürnase)" << std::endl;
    if (!options.logDirectory.empty())
        std::cout << "vantor-demo-server: Support-Log / support log " << (options.logDirectory / "support.log").string()
                  << std::endl;
    std::cout << "vantor-demo-server: Wörter / words " << options.research.wordList.string() << ", Thesaurus "
              << options.research.thesaurus.string() << ".idx/.dat" << std::endl;
    return server.listen() ? 0 : 1;
}
