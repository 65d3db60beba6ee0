#include "TestEnvironment.h"

#include "optimizer/OptimizationRun.h"
#include "optimizer/TermText.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"

#include <cctype>
#include <filesystem>
#include <set>
#include <vector>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

// What a browser does with an address in a page, as far as a relative
// address to a file goes: read the address, cut off the fragment and the
// query, resolve it against the page's own address and percent-decode it.

bool isHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// Whether every byte may stand in a URL as it is: no blank, no byte outside
// ASCII, no quote, and every '%' starting an escape.
bool isValidReference(const std::string &ref)
{
    static const std::string allowed = "-._~!$&'()*+,;=:@/?#";
    for (std::size_t i = 0; i < ref.size(); ++i) {
        const auto c = static_cast<unsigned char>(ref[i]);
        if (c == '%') {
            if (i + 2 >= ref.size() || !isHex(ref[i + 1]) || !isHex(ref[i + 2]))
                return false;
            continue;
        }
        if (std::isalnum(c) == 0 && allowed.find(static_cast<char>(c)) == std::string::npos)
            return false;
    }
    return true;
}

std::string percentDecode(const std::string &text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && isHex(text[i + 1]) && isHex(text[i + 2])) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The address of a file on the disk as a browser's address bar shows it.
std::string fileUrlPath(const fs::path &path)
{
    std::string out;
    static const char hex[] = "0123456789ABCDEF";
    for (const char c : path.generic_string()) {
        const auto b = static_cast<unsigned char>(c);
        if (std::isalnum(b) != 0 || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0x0F];
        }
    }
    return out;
}

// The file a relative address in the page at base leads to, as a path on
// the disk; empty when it leads to no file of this disk at all (another
// scheme, or the page itself through a fragment).
std::string resolve(const std::string &baseUrlPath, const std::string &ref)
{
    // A scheme: letters, digits, '+', '-' or '.' up to the first ':'.
    const std::size_t colon = ref.find(':');
    if (colon != std::string::npos && colon > 0 && std::isalpha(static_cast<unsigned char>(ref[0])) != 0 &&
        ref.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+.-") == colon)
        return {};
    std::string path = ref.substr(0, ref.find_first_of("?#"));
    if (path.empty())
        return {};
    if (path[0] != '/')
        path = baseUrlPath.substr(0, baseUrlPath.rfind('/') + 1) + path;
    std::vector<std::string> segments;
    std::size_t from = 1;
    for (;;) {
        const std::size_t slash = path.find('/', from);
        const std::string segment = path.substr(from, slash == std::string::npos ? std::string::npos : slash - from);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (segment != ".") {
            segments.push_back(segment);
        }
        if (slash == std::string::npos)
            break;
        from = slash + 1;
    }
    std::string resolved;
    for (const std::string &segment : segments)
        resolved += "/" + segment;
    return percentDecode(resolved);
}

struct Link {
    std::string page; // the page it stands in, on the disk
    std::string ref; // as written
};

std::vector<std::string> references(const std::string &text)
{
    // href=... and src=..., quoted or not, as the run writes them.
    std::vector<std::string> found;
    for (const std::string name : {"href=", "HREF=", "src=", "SRC="}) {
        for (std::size_t pos = text.find(name); pos != std::string::npos; pos = text.find(name, pos + 1)) {
            std::size_t from = pos + name.size();
            std::size_t to = 0;
            if (from < text.size() && text[from] == '"') {
                ++from;
                to = text.find('"', from);
            } else {
                to = text.find_first_of(" \t\r\n\">", from);
            }
            found.push_back(text.substr(from, to == std::string::npos ? std::string::npos : to - from));
        }
    }
    return found;
}

const char *const kUserLink = "<a href=\"mein ordner/seite.htm\">Seite</a>";

class GeneratedLinksTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        m_site = makeSite();
        writeFile(m_site + "/index.htm",
            std::string("<html>\n<head>\n<title>Alt</title>\n</head>\n<body>\n<h2>Willkommen</h2>\n<p>Text "
                        "&nbsp; <strong>fett</strong><br>")
                + kUserLink + "</p>\n<blockquote>Zitat</blockquote>\n</body>\n</html>\n");
        writeFile(m_site + "/vantor!!/index.htm", "<html><head></head><body><h1>%Suchbegriff%</h1></body></html>");

        ProjectRecord &record = projectRecord();
        record.scope = 2;
        record.makedirs = 1;
        record.doorlikehp = 0;
        record.startpage = de("Übersicht Seite.htm");
        // Terms whose names keep bytes a URL reads otherwise; the third
        // file of every copy starts with '#'.
        record.copyKeywords[0][0] = de("Señora");
        record.copyKeywords[0][1] = "100% Urlaub";
        record.copyKeywords[0][2] = "Was?";
        record.copyKeywords[1][0] = de("Garçon");
        record.copyKeywords[1][1] = "Ferien";
        record.copyKeywords[1][2] = "Strandkoerbe";
        record.homepageKeywords[0] = "Haus";
        ProjectOptions &options = projectOptions();
        options.vlin = options.vcop = options.link = options.altt = 3;
    }

    void run()
    {
        ASSERT_TRUE(SaveProjectData("p"));
        ASSERT_TRUE(SaveProjectOptions("p"));
        OptimizationRun run(ui, "p");
        run.begin();
        run.run(false, false);
        EXPECT_EQ(run.log().errors(), 0);
    }

    // Every address in every document of the site, the template's aside.
    std::vector<Link> generatedLinks() const
    {
        std::vector<Link> links;
        for (const auto &entry : fs::recursive_directory_iterator(m_site)) {
            const std::string path = entry.path().string();
            if (!entry.is_regular_file() || entry.path().extension() != ".htm"
                || path.find("/vantor!!/") != std::string::npos || entry.path().filename() == "~report.htm")
                continue;
            for (const std::string &ref : references(readFile(path)))
                links.push_back({ path, ref });
        }
        return links;
    }

    std::string m_site;
};

TEST_F(GeneratedLinksTest, EveryLinkOfTheRunReachesTheFileItNames)
{
    run();
    // The names on the disk keep their signs, umlauts and blanks.
    for (const char *name : { "#was?.htm", "-100%urlaub.htm", "!señora.htm", "#strandkoerbe.htm",
             "!señora/übersicht seite.htm", "!was?/was?.htm", "!100%urlaub/100%urlaub.gif" })
        EXPECT_TRUE(fs::is_regular_file(m_site + "/" + name)) << name;

    const std::vector<Link> links = generatedLinks();
    std::set<std::string> reached;
    for (const Link &link : links) {
        if (link.ref == "mein ordner/seite.htm")
            continue;
        EXPECT_TRUE(isValidReference(link.ref)) << link.ref << " in " << link.page;
        const std::string target = resolve(fileUrlPath(link.page), link.ref);
        EXPECT_TRUE(fs::is_regular_file(target)) << link.ref << " in " << link.page << " leads to " << target;
        reached.insert(fs::path(target).lexically_relative(m_site).generic_string());
    }
    // The links of every kind were there to be checked: hidden links and
    // next links of the copies, links into and between the doorway
    // directories, their pictures and the tracking image.
    for (const char *name : { "#was?.htm", "-100%urlaub.htm", "!señora.htm", "!garçon.htm", "#strandkoerbe.htm",
             "!señora/übersicht seite.htm", "!was?/übersicht seite.htm", "!was?/was?.htm", "!100%urlaub/100%urlaub.gif",
             "vantor.gif" })
        EXPECT_EQ(reached.count(name), 1u) << name;

    // The user's own link is his: not one byte of it changes.
    EXPECT_NE(readFile(m_site + "/index.htm").find(kUserLink), std::string::npos);
}

TEST_F(GeneratedLinksTest, TheReportFindsItsBackgroundInAnyProgramDirectory)
{
    const std::string programDirectory = root() + "/Vantor Programm ä #1";
    fs::create_directories(programDirectory + "/projects");
    fs::copy_file(projectPath("p"), programDirectory + "/projects/p.qx!");
    writeFile(programDirectory + "/back.gif", "GIF89a");
    programSettings().programDirectory = de(programDirectory);
    run();

    const std::string report = readFile(m_site + "/~report.htm");
    const std::string attribute = "background=\"file://";
    const std::size_t start = report.find(attribute);
    ASSERT_NE(start, std::string::npos) << report;
    const std::size_t from = start + attribute.size();
    const std::string address = report.substr(from, report.find('"', from) - from);
    EXPECT_TRUE(isValidReference(address)) << address;
    EXPECT_TRUE(fs::is_regular_file(percentDecode(address))) << address;
}

TEST(LinkForm, EscapesWhatAUrlReadsOtherwiseAndSpellsOtherLettersInUtf8)
{
    EXPECT_EQ(linkForm("#strandkoerbe.htm"), "%23strandkoerbe.htm");
    EXPECT_EQ(linkForm("was?.htm"), "was%3F.htm");
    EXPECT_EQ(linkForm("100%urlaub.htm"), "100%25urlaub.htm");
    EXPECT_EQ(linkForm(de("!strandkörbe/übersicht seite.htm")), "!strandk%C3%B6rbe/%C3%BCbersicht%20seite.htm");
    EXPECT_EQ(linkForm(de("../€uro/x.gif")), "../%E2%82%ACuro/x.gif");
    // The signs and what a name usually holds stay readable.
    EXPECT_EQ(linkForm("!haus.htm"), "!haus.htm");
    EXPECT_EQ(linkForm("-ferien_2.htm"), "-ferien_2.htm");
    EXPECT_EQ(linkForm("+a=b~c.htm"), "+a=b~c.htm");
    // Nothing that ends an attribute or names a scheme.
    EXPECT_EQ(linkForm("a\"b<c>d&e:f\\g.htm"), "a%22b%3Cc%3Ed%26e%3Af%5Cg.htm");
}

} // namespace
