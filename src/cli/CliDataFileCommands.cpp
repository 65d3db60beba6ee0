#include "Cli.h"

#include "net/DataFile.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <ostream>

namespace vantor {

namespace {

// What went wrong with a data file, in the words the user reads.
std::string loadProblem(DataFile::Load result, const std::string &path)
{
    switch (result) {
    case DataFile::Load::Missing:
        return de("Die Datei '") + path + de("' wurde nicht gefunden.");
    case DataFile::Load::TooLarge:
        return de("Die Datei '") + path + de("' ist zu groß für eine Datendatei.");
    case DataFile::Load::Damaged:
        return de("Die Datei '") + path + de("' ist keine gültige Datendatei oder beschädigt.");
    case DataFile::Load::Unreadable:
    case DataFile::Load::Ok:
        break;
    }
    return de("Die Datei '") + path + de("' konnte nicht gelesen werden.");
}

} // namespace

int Cli::dataFileCommand(const std::vector<std::string> &args)
{
    const std::string verb = args.size() > 1 ? args[1] : std::string();
    const std::size_t expected = verb == "pack" ? 4 : verb == "unpack" ? 3 : verb == "get" ? 5 : 0;
    if (expected == 0)
        return usageError("datafile: pack, unpack oder get erwartet / expected pack, unpack or get");
    if (args.size() != expected)
        return usageError("datafile " + verb + ": falsche Anzahl von Argumenten / wrong number of arguments");
    for (std::size_t i = 2; i < args.size(); ++i)
        if (!fitsCp1252(args[i]))
            return usageError("Ungültiges Argument / invalid argument: " + args[i]);
    const std::string first = toCp1252(args[2]);
    if (verb == "pack")
        return dataFilePack(first, toCp1252(args[3]));
    if (verb == "unpack")
        return dataFileUnpack(first);
    return dataFileGet(first, toCp1252(args[3]), toCp1252(args[4]));
}

int Cli::dataFilePack(const std::string &textPath, const std::string &dataPath)
{
    std::string text;
    if (!files::isFile(textPath) || !files::read(textPath, text))
        return fail(de("Fehler beim Lesen"), de("Die Datei '") + textPath + de("' konnte nicht gelesen werden."));
    std::string stored;
    if (!DataFile::pack(text, stored))
        return fail(de("Fehler beim Packen"),
                    de("Der Text der Datei '") + textPath +
                        de("' lässt sich nicht als Datendatei speichern: gepackt wäre er zu groß, oder er "
                           "wäre mehr als zehnmal so groß wie gepackt und ließe sich nicht mehr lesen."));
    if (!files::writeAtomic(dataPath, stored))
        return fail(de("Fehler beim Schreiben"),
                    de("Die Datei '") + dataPath + de("' konnte nicht geschrieben werden."));
    return 0;
}

int Cli::dataFileUnpack(const std::string &dataPath)
{
    std::string text;
    const DataFile::Load result = DataFile::loadFile(dataPath, text);
    if (result != DataFile::Load::Ok)
        return fail(de("Fehler beim Lesen"), loadProblem(result, dataPath));
    // The text byte for byte, CR LF and cp1252 as they are, so that pack
    // makes the same file of it again.
    m_out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return 0;
}

int Cli::dataFileGet(const std::string &dataPath, const std::string &section, const std::string &key)
{
    std::string text;
    const DataFile::Load result = DataFile::loadFile(dataPath, text);
    if (result != DataFile::Load::Ok)
        return fail(de("Fehler beim Lesen"), loadProblem(result, dataPath));
    std::string value;
    if (!DataFile::value(text, section, key, value))
        return fail(de("Eintrag nicht gefunden"), de("Der Eintrag '") + section + "." + key +
                                                      de("' steht nicht in der Datei '") + dataPath + "'.");
    m_out << toUtf8(value) << '\n';
    return 0;
}

} // namespace vantor
