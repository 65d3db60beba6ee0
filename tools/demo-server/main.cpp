#include "DemoServer.h"

#include <cstdlib>
#include <iostream>
#include <string>

// vantor-demo-server [--port N] [--root DIR]
int main(int argc, char **argv)
{
    int port = 8080;
    std::string root = "data/demo-server";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--port" && i + 1 < argc) {
            port = std::atoi(argv[++i]);
        } else if (a == "--root" && i + 1 < argc) {
            root = argv[++i];
        } else {
            std::cerr << "Aufruf / Usage: vantor-demo-server [--port N] [--root DIR]\n";
            return 2;
        }
    }
    vantor::demo::DemoServer server(root);
    const int bound = server.bind(port);
    if (bound < 0) {
        std::cerr << "vantor-demo-server: Port " << port << " ist nicht frei / not free\n";
        return 1;
    }
    std::cout << "vantor-demo-server: http://127.0.0.1:" << bound << "/ (" << root << ")" << std::endl;
    return server.listen() ? 0 : 1;
}
