#include "DemoServer.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

// vantor-demo-server [--port N] [--root DIR] [--site DIR] [--wordlist FILE] [--thesaurus PREFIX]
int main(int argc, char **argv)
{
    int port = 8080;
    std::string root = "data/demo-server";
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
    std::cout << "vantor-demo-server: Wörter / words " << options.research.wordList.string() << ", Thesaurus "
              << options.research.thesaurus.string() << ".idx/.dat" << std::endl;
    return server.listen() ? 0 : 1;
}
