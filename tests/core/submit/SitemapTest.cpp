#include "submit/Sitemap.h"

#include "platform/Text.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vantor {
namespace {

constexpr const char *kNamespace = "http://www.sitemaps.org/schemas/sitemap/0.9";

// A sitemap or sitemap index as an XML parser sees it.
struct ParsedSitemap {
    bool wellFormed = false;
    std::string encoding;
    std::string root;
    std::string rootNamespace;
    // loc and lastmod of every url (or sitemap) element; entries whose
    // children are not in the namespace do not count.
    std::vector<std::pair<std::string, std::string>> entries;
};

std::string textOf(xmlNode *node)
{
    xmlChar *content = xmlNodeGetContent(node);
    std::string text = content != nullptr ? reinterpret_cast<const char *>(content) : "";
    xmlFree(content);
    return text;
}

bool inNamespace(const xmlNode *node)
{
    return node->ns != nullptr && std::string(reinterpret_cast<const char *>(node->ns->href)) == kNamespace;
}

ParsedSitemap parseSitemap(const std::string &content)
{
    ParsedSitemap parsed;
    xmlDoc *doc = xmlReadMemory(content.data(), static_cast<int>(content.size()), "sitemap.xml", nullptr,
                                XML_PARSE_NONET | XML_PARSE_HUGE);
    if (doc == nullptr)
        return parsed;
    parsed.wellFormed = true;
    parsed.encoding = doc->encoding != nullptr ? reinterpret_cast<const char *>(doc->encoding) : "";
    xmlNode *root = xmlDocGetRootElement(doc);
    parsed.root = reinterpret_cast<const char *>(root->name);
    parsed.rootNamespace = root->ns != nullptr ? reinterpret_cast<const char *>(root->ns->href) : "";
    for (xmlNode *item = root->children; item != nullptr; item = item->next) {
        if (item->type != XML_ELEMENT_NODE || !inNamespace(item))
            continue;
        std::pair<std::string, std::string> entry;
        for (xmlNode *field = item->children; field != nullptr; field = field->next) {
            if (field->type != XML_ELEMENT_NODE || !inNamespace(field))
                continue;
            const std::string name = reinterpret_cast<const char *>(field->name);
            (name == "loc" ? entry.first : entry.second) = textOf(field);
        }
        parsed.entries.push_back(entry);
    }
    xmlFreeDoc(doc);
    return parsed;
}

class SitemapTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_site = fs::temp_directory_path() / ("vantor-sitemap-" + std::to_string(::getpid()));
        fs::remove_all(m_site);
        fs::create_directories(m_site);
        page("index.htm", "<html><head><title>Start</title></head><body></body></html>");
    }
    void TearDown() override { fs::remove_all(m_site); }

    void page(const std::string &relative, const std::string &content)
    {
        const fs::path path = m_site / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }
    std::string read(const std::string &name) const
    {
        std::ifstream in(m_site / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::vector<std::string> locs(const std::string &name) const
    {
        std::vector<std::string> urls;
        for (const auto &entry : parseSitemap(read(name)).entries)
            urls.push_back(entry.first);
        std::sort(urls.begin(), urls.end());
        return urls;
    }
    sitemap::Input input(submitdocs::Mode mode = submitdocs::Mode::Complete) const
    {
        sitemap::Input in;
        in.submissionUrl = "www.beispiel.de";
        in.homepagePath = toCp1252((m_site / "index.htm").string());
        in.mode = mode;
        return in;
    }
    static void setModified(const fs::path &path, std::time_t when)
    {
        const struct timespec times[2] = {{when, 0}, {when, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }

    fs::path m_site;
};

TEST_F(SitemapTest, UrlsetInTheNamespaceWithEncodedEscapedUrlsAndTheFilesTimes)
{
    page("preise & mehr.htm", "<html></html>");
    page("über uns.htm", "<html></html>");
    page("a<b>'c'.htm", "<html></html>");
    page("unter/seite.html", "<html></html>");
    page("bild.png", "png");
    setModified(m_site / "index.htm", 1614834367);  // 2021-03-04 05:06:07 UTC
    setModified(m_site / "über uns.htm", 946684800); // 2000-01-01 00:00:00 UTC

    sitemap::Input in = input();
    in.scheme = "http";
    const sitemap::Result result = sitemap::write(in);
    ASSERT_TRUE(result.ok) << result.problemText;
    EXPECT_EQ(result.urls, 6u);
    EXPECT_EQ(result.written.front(), toCp1252((m_site / "sitemap.xml").string()));

    const std::string xml = read("sitemap.xml");
    const ParsedSitemap parsed = parseSitemap(xml);
    ASSERT_TRUE(parsed.wellFormed) << xml;
    EXPECT_EQ(parsed.encoding, "UTF-8");
    EXPECT_EQ(parsed.root, "urlset");
    EXPECT_EQ(parsed.rootNamespace, kNamespace);
    std::map<std::string, std::string> lastmods(parsed.entries.begin(), parsed.entries.end());
    EXPECT_EQ(lastmods.size(), 6u);
    // The bare address stands for the homepage file and takes its time.
    EXPECT_EQ(lastmods["http://www.beispiel.de/"], "2021-03-04T05:06:07+00:00");
    EXPECT_EQ(lastmods["http://www.beispiel.de/index.htm"], "2021-03-04T05:06:07+00:00");
    // Blank and umlaut percent-encoded as UTF-8; '&' and "'" escaped for XML
    // (the parser gives them back), '<' and '>' percent-encoded.
    EXPECT_EQ(lastmods["http://www.beispiel.de/%C3%BCber%20uns.htm"], "2000-01-01T00:00:00+00:00");
    EXPECT_TRUE(lastmods.count("http://www.beispiel.de/preise%20&%20mehr.htm"));
    EXPECT_TRUE(lastmods.count("http://www.beispiel.de/a%3Cb%3E'c'.htm"));
    EXPECT_TRUE(lastmods.count("http://www.beispiel.de/unter/seite.html"));
    EXPECT_NE(xml.find("preise%20&amp;%20mehr.htm"), std::string::npos);
    EXPECT_NE(xml.find("a%3Cb%3E&apos;c&apos;.htm"), std::string::npos);
}

TEST_F(SitemapTest, EscapesTheFiveMarksOfXml)
{
    EXPECT_EQ(sitemap::xmlEscaped("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
    EXPECT_EQ(sitemap::xmlEscaped("https://x.de/%C3%BC"), "https://x.de/%C3%BC");
    EXPECT_EQ(sitemap::w3cDateTime(0), "1970-01-01T00:00:00+00:00");
}

TEST_F(SitemapTest, TheUrlAsTypedMayCarryASchemeAndASlash)
{
    sitemap::Input in = input(submitdocs::Mode::Optimal);
    in.submissionUrl = "HTTP://www.beispiel.de/shop/";
    ASSERT_TRUE(sitemap::write(in).ok);
    EXPECT_EQ(locs("sitemap.xml"),
              (std::vector<std::string>{"https://www.beispiel.de/shop", "https://www.beispiel.de/shop/index.htm"}));
    EXPECT_NE(read("robots.txt").find("Sitemap: https://www.beispiel.de/shop/sitemap.xml"), std::string::npos);
}

TEST_F(SitemapTest, MoreThanFiftyThousandUrlsGoIntoNumberedFilesWithAnIndex)
{
    // The homepage, the bare address and 49,999 doorway pages: one more than
    // a sitemap may hold.
    fs::create_directories(m_site / "!seiten");
    for (int i = 1; i <= 49999; ++i)
        std::ofstream(m_site / "!seiten" / ("s" + std::to_string(i) + ".htm")) << "<p>";
    const sitemap::Result result = sitemap::write(input(submitdocs::Mode::Optimal));
    ASSERT_TRUE(result.ok) << result.problemText;
    EXPECT_EQ(result.urls, 50001u);

    const ParsedSitemap index = parseSitemap(read("sitemap.xml"));
    ASSERT_TRUE(index.wellFormed);
    EXPECT_EQ(index.root, "sitemapindex");
    EXPECT_EQ(index.rootNamespace, kNamespace);
    ASSERT_EQ(index.entries.size(), 2u);
    EXPECT_EQ(index.entries[0].first, "https://www.beispiel.de/sitemap-1.xml");
    EXPECT_EQ(index.entries[1].first, "https://www.beispiel.de/sitemap-2.xml");
    for (const auto &entry : index.entries)
        EXPECT_EQ(entry.second.size(), std::string("2021-03-04T05:06:07+00:00").size()) << entry.second;

    const ParsedSitemap first = parseSitemap(read("sitemap-1.xml"));
    const ParsedSitemap second = parseSitemap(read("sitemap-2.xml"));
    EXPECT_EQ(first.root, "urlset");
    EXPECT_EQ(second.root, "urlset");
    EXPECT_EQ(first.entries.size(), 50000u);
    EXPECT_EQ(second.entries.size(), 1u);
    std::set<std::string> all;
    for (const ParsedSitemap *part : {&first, &second}) {
        for (const auto &entry : part->entries)
            all.insert(entry.first);
    }
    EXPECT_EQ(all.size(), 50001u);
    EXPECT_TRUE(all.count("https://www.beispiel.de/!seiten/s49999.htm"));
    EXPECT_EQ(result.written.size(), 4u); // three sitemap files and robots.txt

    // Back under the limit: one sitemap again, the numbered files of ours go.
    fs::remove(m_site / "!seiten" / "s1.htm");
    fs::remove(m_site / "!seiten" / "s2.htm");
    const sitemap::Result smaller = sitemap::write(input(submitdocs::Mode::Optimal));
    ASSERT_TRUE(smaller.ok);
    EXPECT_EQ(parseSitemap(read("sitemap.xml")).root, "urlset");
    EXPECT_EQ(parseSitemap(read("sitemap.xml")).entries.size(), 49999u);
    EXPECT_FALSE(fs::exists(m_site / "sitemap-1.xml"));
    EXPECT_FALSE(fs::exists(m_site / "sitemap-2.xml"));
    EXPECT_EQ(smaller.removed.size(), 2u);
}

TEST_F(SitemapTest, SplitsBySizeTooAndRemovesOnlyItsOwnOldFiles)
{
    for (int i = 1; i <= 7; ++i)
        page("seite" + std::to_string(i) + ".htm", "<html></html>");
    sitemap::Input in = input();
    in.maxUrlsPerFile = 3;
    ASSERT_TRUE(sitemap::write(in).ok);
    // Eight pages and the bare address, three a file.
    for (const char *name : {"sitemap-1.xml", "sitemap-2.xml", "sitemap-3.xml"})
        EXPECT_EQ(parseSitemap(read(name)).entries.size(), 3u) << name;
    EXPECT_FALSE(fs::exists(m_site / "sitemap-4.xml"));

    // About two URLs fit into 400 bytes: more files, none over the limit.
    in.maxUrlsPerFile = sitemap::kMaxUrlsPerFile;
    in.maxBytesPerFile = 400;
    page("sitemap-10.xml", "<?xml version=\"1.0\"?><urlset>the user's own</urlset>");
    page("sitemap-11.txt", "not a sitemap at all");
    const sitemap::Result bySize = sitemap::write(in);
    ASSERT_TRUE(bySize.ok);
    std::size_t files = 0;
    std::size_t urls = 0;
    while (fs::exists(m_site / ("sitemap-" + std::to_string(files + 1) + ".xml")) && files < 9) {
        const std::string name = "sitemap-" + std::to_string(++files) + ".xml";
        EXPECT_LE(read(name).size(), 400u) << name;
        urls += parseSitemap(read(name)).entries.size();
    }
    EXPECT_GT(files, 3u);
    EXPECT_EQ(urls, 9u);
    EXPECT_EQ(parseSitemap(read("sitemap.xml")).entries.size(), files);

    // Down to one file: ours go, the user's own sitemap-10.xml stays, and so
    // do a copy of ours under another name and a link to one of ours.
    in.maxBytesPerFile = sitemap::kMaxBytesPerFile;
    fs::copy_file(m_site / "sitemap-1.xml", m_site / "sitemap-01.xml");
    fs::copy_file(m_site / "sitemap-2.xml", m_site / "kopie.xml");
    fs::remove(m_site / "sitemap-2.xml");
    fs::create_symlink(m_site / "kopie.xml", m_site / "sitemap-2.xml");
    const sitemap::Result single = sitemap::write(in);
    ASSERT_TRUE(single.ok);
    EXPECT_EQ(single.removed.size(), files - 1);
    EXPECT_FALSE(fs::exists(m_site / "sitemap-1.xml"));
    EXPECT_FALSE(fs::exists(m_site / "sitemap-3.xml"));
    EXPECT_TRUE(fs::is_symlink(m_site / "sitemap-2.xml"));
    EXPECT_TRUE(fs::exists(m_site / "sitemap-01.xml"));
    EXPECT_EQ(read("sitemap-10.xml"), "<?xml version=\"1.0\"?><urlset>the user's own</urlset>");
    EXPECT_TRUE(fs::exists(m_site / "sitemap-11.txt"));
}

TEST_F(SitemapTest, PagesWithNoindexOrACanonicalElsewhereAreLeftOut)
{
    page("geheim.htm", "<HTML><HEAD>\n<META CONTENT='NOINDEX,FOLLOW' NAME='Robots'>\n</HEAD></HTML>");
    page("nichts.htm", "<html><head><meta name=robots content=none></head></html>");
    page("offen.htm", "<html><head><meta name=\"robots\" content=\"index, follow\">"
                      "<meta name=\"description\" content=\"noindex\"></head></html>");
    page("kopie.htm", "<html><head><link rel=\"canonical\" href=\"index.htm\"></head></html>");
    page("selbst.htm", "<html><head><link href=\"https://WWW.Beispiel.de:443/./selbst.htm#oben\" "
                       "rel=\"Canonical\"></head></html>");
    page("text.htm", "<html><head><!-- <meta name=\"robots\" content=\"noindex\"> --></head>"
                     "<body><meta name=\"robots\" content=\"noindex\"></body></html>");
    page("sitemap-3.xml", "not ours, and no page either");
    sitemap::Input in = input();
    in.extensions = {"htm", "xml"};
    const sitemap::Result result = sitemap::write(in);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.noindex, 2u);
    EXPECT_EQ(result.canonical, 1u);
    EXPECT_EQ(locs("sitemap.xml"),
              (std::vector<std::string>{"https://www.beispiel.de/", "https://www.beispiel.de/index.htm",
                                        "https://www.beispiel.de/offen.htm", "https://www.beispiel.de/selbst.htm",
                                        "https://www.beispiel.de/text.htm"}));

    // A second run does not take its own sitemap for a page.
    ASSERT_TRUE(sitemap::write(in).ok);
    EXPECT_EQ(locs("sitemap.xml").size(), 5u);
}

TEST_F(SitemapTest, CanonicalLinksAreResolvedTheWayBrowsersDo)
{
    using sitemap::LeftOut;
    const std::string url = "https://www.beispiel.de/unter/%C3%BCber%20uns.htm";
    auto head = [](const std::string &link) { return "<html><head>" + link + "</head><body></body></html>"; };
    // The same page, written in the ways pages write it.
    for (const std::string same : {"<link rel=canonical href=\"%C3%BCber uns.htm\">",
                                   "<link rel=\"canonical\" href=\"./über%20uns.htm\">",
                                   "<link rel='alternate canonical' href='/unter/../unter/%c3%bcber%20uns.htm'>",
                                   "<link rel=\"canonical\" href=\"//www.beispiel.de/unter/über uns.htm\">",
                                   "<link rel=\"canonical\" href=\"\">",
                                   "<link rel=\"canonical\" href=\"#anker\">",
                                   "<base href=\"https://www.beispiel.de/unter/\"><link rel=canonical "
                                   "href=\"&#252;ber%20uns.htm\">",
                                   "<link rel=\"canonical\" href=\"javascript:void(0)\">"})
        EXPECT_EQ(sitemap::leftOutBy(head(same), url), LeftOut::No) << same;
    // The umlaut of a cp1252 page is the same umlaut.
    EXPECT_EQ(sitemap::leftOutBy(head("<link rel=\"canonical\" href=\"" + de("über uns.htm") + "\">"), url),
              LeftOut::No);

    for (const std::string other : {"<link rel=\"canonical\" href=\"/\">",
                                    "<link rel=\"canonical\" href=\"ueber%20uns.htm\">",
                                    "<link rel=\"canonical\" href=\"http://www.beispiel.de/unter/%C3%BCber%20uns.htm\">",
                                    "<link rel=\"canonical\" href=\"https://beispiel.de/unter/%C3%BCber%20uns.htm\">",
                                    "<link rel=\"canonical\" href=\"%C3%BCber%20uns.htm?seite=2\">",
                                    "<base href=\"/\"><link rel=\"canonical\" href=\"%C3%BCber%20uns.htm\">",
                                    "<LINK HREF=../index.htm REL=CANONICAL>"})
        EXPECT_EQ(sitemap::leftOutBy(head(other), url), LeftOut::Canonical) << other;

    // Only the head counts, and text that merely looks like markup does not.
    EXPECT_EQ(sitemap::leftOutBy("<head><script>var s = '<link rel=\"canonical\" href=\"/\">';</script></head>", url),
              LeftOut::No);
    EXPECT_EQ(sitemap::leftOutBy("<head><title><meta name=robots content=noindex></title></head>", url), LeftOut::No);
    EXPECT_EQ(sitemap::leftOutBy("<head></head><link rel=\"canonical\" href=\"/\">", url), LeftOut::No);
    // noindex wins over a canonical link to the page itself.
    EXPECT_EQ(sitemap::leftOutBy(head("<link rel=canonical href=\"\"><meta content=\"follow noindex\" name=robots>"),
                                 url),
              LeftOut::Noindex);
    // A page saved as UTF-16 says it just as well.
    const std::string utf8Page = head("<meta name=\"robots\" content=\"noindex\">");
    std::string utf16 = "\xFF\xFE";
    for (const char c : utf8Page) {
        utf16 += c;
        utf16 += '\0';
    }
    EXPECT_EQ(sitemap::leftOutBy(utf16, url), LeftOut::Noindex);
}

TEST_F(SitemapTest, NormalisedUrlsCompareTwoSpellingsOfOneAddress)
{
    EXPECT_EQ(sitemap::normalizedUrl("HTTPS://WWW.X.DE:443"), "https://www.x.de/");
    EXPECT_EQ(sitemap::normalizedUrl("http://x.de:8080/a/./b/../c%2d.htm#f"), "http://x.de:8080/a/c-.htm");
    EXPECT_EQ(sitemap::resolvedUrl("https://x.de/a/b.htm?q=1", "?p=2"), "https://x.de/a/b.htm?p=2");
    EXPECT_EQ(sitemap::resolvedUrl("https://x.de/a/b.htm", "../../c.htm"), "https://x.de/a/../../c.htm");
    EXPECT_EQ(sitemap::normalizedUrl(sitemap::resolvedUrl("https://x.de/a/b.htm", "../../c.htm")),
              "https://x.de/c.htm");
}

TEST_F(SitemapTest, NoSitemapWhenEveryPageIsLeftOutOrTheHomepageIsMissing)
{
    page("index.htm", "<head><meta name=robots content=noindex></head>");
    const sitemap::Result result = sitemap::write(input(submitdocs::Mode::Optimal));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.noindex, 2u);
    EXPECT_EQ(result.problemTitle, de("Keine Seiten für die Sitemap"));
    EXPECT_FALSE(fs::exists(m_site / "sitemap.xml"));
    EXPECT_FALSE(fs::exists(m_site / "robots.txt"));

    sitemap::Input missing = input();
    missing.homepagePath = toCp1252((m_site / "fehlt.htm").string());
    EXPECT_FALSE(sitemap::write(missing).ok);
    EXPECT_FALSE(fs::exists(m_site / "sitemap.xml"));
}

TEST_F(SitemapTest, AnOutputDirectoryLeavesTheSiteAsItIs)
{
    page("robots.txt", "User-agent: *\nDisallow: /intern/\n");
    const fs::path out = m_site.string() + "-upload";
    fs::remove_all(out);
    fs::create_directories(out);
    sitemap::Input in = input();
    in.outDirectory = toCp1252(out.string());
    const sitemap::Result result = sitemap::write(in);
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(fs::exists(out / "sitemap.xml"));
    EXPECT_FALSE(fs::exists(m_site / "sitemap.xml"));
    EXPECT_EQ(read("robots.txt"), "User-agent: *\nDisallow: /intern/\n");
    // The site's rules come along, so the uploaded file loses none of them.
    std::ifstream in2(out / "robots.txt", std::ios::binary);
    const std::string robots((std::istreambuf_iterator<char>(in2)), std::istreambuf_iterator<char>());
    EXPECT_EQ(robots, "User-agent: *\nDisallow: /intern/\nSitemap: https://www.beispiel.de/sitemap.xml\n");
    EXPECT_EQ(result.written.back(), toCp1252((out / "robots.txt").string()));
    fs::remove_all(out);
}

TEST_F(SitemapTest, ARobotsTxtThatCannotBeReadStaysAndIsReported)
{
    fs::create_directories(m_site / "robots.txt");
    const sitemap::Result result = sitemap::write(input());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.problemTitle, "robots.txt nicht geschrieben");
    EXPECT_TRUE(fs::is_directory(m_site / "robots.txt"));
    // The sitemap itself is there.
    EXPECT_TRUE(fs::exists(m_site / "sitemap.xml"));
}

} // namespace
} // namespace vantor
