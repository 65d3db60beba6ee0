// Turns one markdown page of doc/man into the man page the package ships.
// Run by the build:
//
//   vantor-make-man-page --source "Vantor!! 4.01" PAGE.md PAGE.1.gz [PAGE.1]
//
// The optional last file gets the plain roff, for reading it or checking it
// with "man --warnings".

#include "ManPage.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace {

bool readFile(const std::string &path, std::string &content)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Through a temporary file, so an interrupted build never leaves a page
// that looks finished.
bool writeFile(const std::string &path, const std::string &content)
{
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out.write(content.data(), static_cast<std::streamsize>(content.size())) || !out.flush())
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string usage =
        "Aufruf: vantor-make-man-page --source TEXT SEITE.md SEITE.1.gz [SEITE.1]\n";
    if (argc < 5 || argc > 6 || std::string(argv[1]) != "--source") {
        std::cerr << usage;
        return 2;
    }
    const std::string source = argv[2];
    const std::string input = argv[3];
    std::string markdown;
    if (!readFile(input, markdown)) {
        std::cerr << "vantor-make-man-page: " << input << " nicht lesbar\n";
        return 1;
    }
    std::string roff;
    try {
        roff = vantor::manpage::toRoff(markdown, source);
    } catch (const vantor::manpage::Error &e) {
        // The form compilers use, so editors jump to the line.
        std::cerr << input << ":" << e.line() << ": " << e.what() << '\n';
        return 1;
    }
    if (!writeFile(argv[4], vantor::manpage::gzip(roff))) {
        std::cerr << "vantor-make-man-page: " << argv[4] << " nicht geschrieben\n";
        return 1;
    }
    if (argc == 6 && !writeFile(argv[5], roff)) {
        std::cerr << "vantor-make-man-page: " << argv[5] << " nicht geschrieben\n";
        return 1;
    }
    return 0;
}
