#include "DefinitionText.h"

#include "net/DataFile.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

// vantor-pack-data TEXT DATAFILE: the readable definitions of the demo
// server's engines, packed as the program reads them. Run by the build.
int main(int argc, char **argv)
{
    if (argc != 3) {
        std::cerr << "Aufruf / Usage: vantor-pack-data TEXT.txt DATEI.dat\n";
        return 2;
    }
    const std::filesystem::path from = argv[1];
    const std::filesystem::path to = argv[2];
    std::ifstream in(from, std::ios::binary);
    const std::string readable((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        std::cerr << from.string() << ": nicht lesbar / unreadable\n";
        return 1;
    }
    std::string text;
    vantor::demo::DefinitionText::Problem problem;
    if (!vantor::demo::DefinitionText::toDataText(readable, text, problem)) {
        std::cerr << from.string() << ":" << problem.line << ": " << problem.what << "\n";
        return 1;
    }
    std::string stored;
    if (!vantor::DataFile::pack(text, stored)) {
        std::cerr << from.string() << ": nicht packbar / cannot be packed\n";
        return 1;
    }
    // The program reads no more than this of a download and would find the
    // rest cut off.
    if (stored.size() > vantor::DataFile::kMaxDownload) {
        std::cerr << from.string() << ": gepackt zu groß für den Download / too large to be downloaded\n";
        return 1;
    }
    // Written aside and moved into place, so that a build cut short never
    // leaves half a file that looks up to date.
    const std::filesystem::path part = to.string() + ".part";
    std::error_code error;
    std::filesystem::create_directories(to.parent_path(), error);
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out.write(stored.data(), static_cast<std::streamsize>(stored.size()));
        out.close();
        if (!out) {
            std::cerr << part.string() << ": nicht schreibbar / cannot be written\n";
            return 1;
        }
    }
    std::filesystem::rename(part, to, error);
    if (error) {
        std::cerr << to.string() << ": " << error.message() << "\n";
        std::filesystem::remove(part, error);
        return 1;
    }
    return 0;
}
