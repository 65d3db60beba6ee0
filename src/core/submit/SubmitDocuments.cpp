#include "submit/SubmitDocuments.h"

#include "net/PercentEncoding.h"
#include "platform/Text.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>
#include <unordered_set>

namespace fs = std::filesystem;

namespace vantor::submitdocs {

namespace {

// The directory's entries in the order the file system gives them, names in
// the engine's cp1252; unreadable directories simply give nothing.
std::vector<fs::directory_entry> entriesOf(const fs::path &directory)
{
    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(*it);
    return entries;
}

std::string nameOf(const fs::directory_entry &entry) { return toCp1252(entry.path().filename().string()); }

bool isFile(const fs::directory_entry &entry)
{
    std::error_code ec;
    return entry.is_regular_file(ec);
}

bool isDirectory(const fs::directory_entry &entry)
{
    std::error_code ec;
    // Links are not followed: what lies outside the site is not submitted.
    return entry.is_directory(ec) && !entry.is_symlink(ec);
}

bool endsWithExtension(const std::string &name, const std::string &extension)
{
    const std::string suffix = "." + lowerCp1252(extension);
    const std::string lower = lowerCp1252(name);
    return lower.size() > suffix.size() && lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) == 0;
}

class ListBuilder
{
public:
    ListBuilder(const std::string &submissionUrl, std::size_t limit)
        : m_base(submissionUrl)
        , m_limit(limit)
    {
    }

    bool full() const { return m_list.size() >= m_limit; }
    void add(const std::string &url, const std::string &relative, bool unique)
    {
        if (full())
            return;
        std::string cut = url.substr(0, kMaxDocumentLength);
        // A set, not a search of the list: a whole site has tens of
        // thousands of files.
        if (!m_seen.insert(cut).second && unique)
            return;
        m_list.push_back({std::move(cut), relative});
    }
    void addBase() { add(m_base, {}, false); }
    void addPath(const std::string &relative, bool unique = false) { add(m_base + "/" + relative, relative, unique); }
    std::vector<Document> take() { return std::move(m_list); }

private:
    std::string m_base;
    std::size_t m_limit;
    std::vector<Document> m_list;
    std::unordered_set<std::string> m_seen;
};

} // namespace

Mode modeFromNumber(const std::string &stored)
{
    int number = 0;
    const auto [end, ec] = std::from_chars(stored.data(), stored.data() + stored.size(), number);
    if (ec == std::errc() && end == stored.data() + stored.size() &&
        (number == 1415 || number == 1416 || number == 1417))
        return static_cast<Mode>(number);
    return Mode::Optimal;
}

const std::vector<std::string> &defaultExtensions()
{
    static const std::vector<std::string> defaults{"htm", "html", "asp", "phtm", "phtml", "shtm", "shtml"};
    return defaults;
}

std::optional<Problem> emailProblem(const std::string &email)
{
    if (email.empty())
        return Problem{"Email-Adresse",
                       de("Bitte geben Sie eine Email-Adresse ein. Sie können auch ein nicht existente Email-Adresse "
                          "eingeben (z.B. info@ihre-domain.de). Bei einigen Suchmaschinen ist die Angabe einer "
                          "Email-Adresse erforderlich. Da nicht sicher ist, zu welchem Zweck diese Email-Adressen "
                          "verwendet werden, können Sie auch eine Fantasie-Adresse angeben.")};
    static const std::string allowed = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789@._-";
    if (email.find_first_not_of(allowed) != std::string::npos)
        return Problem{de("Ungültige Zeichen"), de("Die angegebene Email-Adresse enthält ungültige Zeichen. Bitte "
                                                   "korrigieren Sie die Email-Adresse.")};
    for (const char required : {'@', '.'}) {
        if (email.find(required) == std::string::npos)
            return Problem{"Email-Adresse", de("Bitte geben Sie eine gültige Email-Adresse ein. Die Email-Adresse "
                                               "muss das Zeichen '")
                                                + required
                                                + "' enthalten! Bitte korrigieren Sie die Email-Adresse."};
    }
    return std::nullopt;
}

std::optional<Problem> urlProblem(const std::string &url)
{
    if (url.empty())
        return Problem{"Domain Adresse", de("Bitte geben Sie die Domain-Adresse für die Homepage im Internet ein "
                                            "(z.B. www.ihre-domain.de).")};
    if (url.find('.') == std::string::npos)
        return Problem{"Domain Adresse", de("Bitte geben Sie eine gültige Domain-Adresse ein. Die Domain-Adresse "
                                            "muss das Zeichen '.' enthalten (z.B. www.ihre-domain.de).")};
    return std::nullopt;
}

std::vector<std::string> buildList(Mode mode, const std::string &submissionUrl, const std::string &homepagePath,
                                   const StartSigns &signs, const std::vector<std::string> &extensions)
{
    std::vector<std::string> urls;
    for (Document &document : buildDocuments(mode, submissionUrl, homepagePath, signs, extensions, kMaxDocuments))
        urls.push_back(std::move(document.url));
    return urls;
}

std::vector<Document> buildDocuments(Mode mode, const std::string &submissionUrl, const std::string &homepagePath,
                                     const StartSigns &signs, const std::vector<std::string> &extensions,
                                     std::size_t limit)
{
    ListBuilder list(submissionUrl, limit);
    list.addBase();
    if (mode == Mode::StartPageOnly)
        return list.take();

    const fs::path homepage(toUtf8(homepagePath));
    const fs::path directory = homepage.parent_path();
    const std::vector<fs::directory_entry> entries = entriesOf(directory);

    if (mode == Mode::Optimal) {
        const std::string homepageName = toCp1252(homepage.filename().string());
        const std::string extension = homepageName.rfind('.') == std::string::npos
                                          ? std::string()
                                          : homepageName.substr(homepageName.rfind('.') + 1);
        list.addPath(homepageName);
        const std::string first = signs.copySign(1);
        const std::string doorway = signs.doorwaySign();
        auto startsWith = [](const std::string &name, const std::string &sign) {
            return !sign.empty() && name.rfind(sign, 0) == 0;
        };
        // The copies of the first kind and the doorway directories, with
        // the pages inside them.
        for (const fs::directory_entry &entry : entries) {
            const std::string name = nameOf(entry);
            if (!startsWith(name, first) && !startsWith(name, doorway))
                continue;
            if (isFile(entry)) {
                list.addPath(name);
            } else if (isDirectory(entry)) {
                for (const fs::directory_entry &inner : entriesOf(entry.path())) {
                    if (isFile(inner) && !extension.empty() && endsWithExtension(nameOf(inner), extension))
                        list.addPath(name + "/" + nameOf(inner));
                }
            }
        }
        for (const int file : {2, 3}) {
            const std::string sign = signs.copySign(file);
            for (const fs::directory_entry &entry : entries) {
                if (isFile(entry) && startsWith(nameOf(entry), sign))
                    list.addPath(nameOf(entry));
            }
        }
        return list.take();
    }

    const std::vector<std::string> &taken = extensions.empty() ? defaultExtensions() : extensions;
    auto addMatching = [&](const std::vector<fs::directory_entry> &inDirectory, const std::string &prefix) {
        for (const std::string &extension : taken) {
            for (const fs::directory_entry &entry : inDirectory) {
                if (isFile(entry) && endsWithExtension(nameOf(entry), extension))
                    list.addPath(prefix + nameOf(entry), true);
            }
        }
    };
    addMatching(entries, "");
    // Two levels below the homepage's directory, no deeper.
    for (const fs::directory_entry &sub : entries) {
        if (!isDirectory(sub))
            continue;
        const std::vector<fs::directory_entry> subEntries = entriesOf(sub.path());
        addMatching(subEntries, nameOf(sub) + "/");
        for (const fs::directory_entry &subSub : subEntries) {
            if (isDirectory(subSub))
                addMatching(entriesOf(subSub.path()), nameOf(sub) + "/" + nameOf(subSub) + "/");
        }
    }
    return list.take();
}

std::string absoluteUrl(const std::string &scheme, const std::string &documentUrl)
{
    const std::string utf8 = toUtf8(documentUrl);
    const std::size_t slash = utf8.find('/');
    const std::string host = utf8.substr(0, slash);
    const std::string path = slash == std::string::npos ? "/" : utf8.substr(slash);
    return scheme + "://" + host + percentEncodeKeeping(path, "/-._~!$&'()*+,;=:@");
}

} // namespace vantor::submitdocs
