#include "Cli.h"

#include <iostream>

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    vantor::Cli cli(std::cout, std::cerr);
    return cli.run(args);
}
