#include "submit/RobotsTxt.h"

#include "platform/Text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vantor {
namespace {

const std::string kUrl = "https://www.beispiel.de/sitemap.xml";
const std::string kLine = "Sitemap: https://www.beispiel.de/sitemap.xml";

std::size_t countOf(const std::string &text, const std::string &part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(RobotsTxtTest, AddsTheLineAndKeepsEveryOtherByte)
{
    using robotstxt::withSitemap;
    EXPECT_EQ(withSitemap("", kUrl), kLine + "\n");
    EXPECT_EQ(withSitemap("User-agent: *\nDisallow: /intern/\n", kUrl),
              "User-agent: *\nDisallow: /intern/\n" + kLine + "\n");
    // The file's own line end; a file without a final one stays so.
    EXPECT_EQ(withSitemap("User-agent: *\r\nDisallow:\r\n", kUrl), "User-agent: *\r\nDisallow:\r\n" + kLine + "\r\n");
    EXPECT_EQ(withSitemap("User-agent: *\r\nDisallow: /a", kUrl), "User-agent: *\r\nDisallow: /a\r\n" + kLine);
    EXPECT_EQ(withSitemap("User-agent: *\rDisallow: /a\r", kUrl), "User-agent: *\rDisallow: /a\r" + kLine + "\r");
    // The byte-order mark stays in front.
    EXPECT_EQ(withSitemap("\xEF\xBB\xBF", kUrl), "\xEF\xBB\xBF" + kLine + "\n");
    EXPECT_EQ(withSitemap("\xEF\xBB\xBFSitemap: https://www.beispiel.de/sitemap.xml\n", kUrl),
              "\xEF\xBB\xBF" + kLine + "\n");
    // Whatever else is in it, NUL bytes and stray bytes included.
    const char raw[] = "User-agent: *\n\0\xFF\xFE\x01 Disallow:\r\n\x80\x81";
    const std::string binary(raw, sizeof raw - 1);
    const std::string result = withSitemap(binary, kUrl);
    EXPECT_EQ(result.substr(0, binary.size()), binary);
    EXPECT_EQ(result.substr(binary.size()), "\n" + kLine);
}

TEST(RobotsTxtTest, OneLineOfOursOtherSitemapsStay)
{
    using robotstxt::withSitemap;
    const std::string content = "User-agent: *\n"
                                "sitemap:http://WWW.beispiel.de/sitemap.xml # alt\n"
                                "Sitemap: https://www.beispiel.de/shop/sitemap.xml\n"
                                "Disallow: /tmp/\n"
                                "  SITEMAP : https://www.beispiel.de/sitemap.xml\n"
                                "Sitemap: https://www.beispiel.de/sitemap.xml.gz\n";
    EXPECT_EQ(withSitemap(content, kUrl), "User-agent: *\n" + kLine + "\n"
                                          "Sitemap: https://www.beispiel.de/shop/sitemap.xml\n"
                                          "Disallow: /tmp/\n"
                                          "Sitemap: https://www.beispiel.de/sitemap.xml.gz\n");
    // The line already right: nothing changes at all.
    const std::string right = "User-agent: *\r\n" + kLine + "\r\nDisallow:";
    EXPECT_EQ(withSitemap(right, kUrl), right);
    // A second line of ours at the very end goes without leaving a line end.
    EXPECT_EQ(withSitemap(kLine + "\r\nDisallow:\r\n" + kLine, kUrl), kLine + "\r\nDisallow:");

    EXPECT_TRUE(robotstxt::namesSitemap("Sitemap: http://www.beispiel.de/sitemap.xml", kUrl));
    EXPECT_FALSE(robotstxt::namesSitemap("Sitemap: https://www.beispiel.de/Sitemap.xml", kUrl));
    EXPECT_FALSE(robotstxt::namesSitemap("# Sitemap: https://www.beispiel.de/sitemap.xml", kUrl));
    EXPECT_FALSE(robotstxt::namesSitemap("Sitemaps: https://www.beispiel.de/sitemap.xml", kUrl));
    EXPECT_FALSE(robotstxt::namesSitemap("Sitemap: ftp://www.beispiel.de/sitemap.xml", kUrl));
}

class RobotsTxtFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("vantor-robots-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string path(const std::string &name = "robots.txt") const { return toCp1252((m_dir / name).string()); }
    void write(const std::string &content, const std::string &name = "robots.txt") const
    {
        std::ofstream(m_dir / name, std::ios::binary) << content;
    }
    std::string read(const std::string &name = "robots.txt") const
    {
        std::ifstream in(m_dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path m_dir;
};

TEST_F(RobotsTxtFileTest, CreatedThenKeptWithOneLineAfterTwoRuns)
{
    EXPECT_EQ(robotstxt::update(path(), path(), kUrl), robotstxt::Outcome::Created);
    EXPECT_EQ(read(), kLine + "\n");

    const std::string rules = "User-agent: *\r\nDisallow: /intern/\r\n\r\nUser-agent: Bot\r\nDisallow: /";
    write(rules);
    EXPECT_EQ(robotstxt::update(path(), path(), kUrl), robotstxt::Outcome::Updated);
    struct stat first {};
    ASSERT_EQ(::stat((m_dir / "robots.txt").c_str(), &first), 0);
    EXPECT_EQ(robotstxt::update(path(), path(), kUrl), robotstxt::Outcome::Unchanged);
    struct stat second {};
    ASSERT_EQ(::stat((m_dir / "robots.txt").c_str(), &second), 0);
    EXPECT_EQ(first.st_ino, second.st_ino);
    EXPECT_EQ(read(), rules + "\r\n" + kLine);
    EXPECT_EQ(countOf(read(), "Sitemap:"), 1u);
}

TEST_F(RobotsTxtFileTest, AFileThatCannotBeReadIsNeverReplaced)
{
    fs::create_directories(m_dir / "robots.txt");
    EXPECT_EQ(robotstxt::update(path(), path(), kUrl), robotstxt::Outcome::Unreadable);
    EXPECT_TRUE(fs::is_directory(m_dir / "robots.txt"));
}

TEST_F(RobotsTxtFileTest, AnotherTargetTakesTheSourceAsItsModel)
{
    write("User-agent: *\nDisallow: /x/\n", "site.txt");
    EXPECT_EQ(robotstxt::update(path("site.txt"), path(), kUrl), robotstxt::Outcome::Created);
    EXPECT_EQ(read(), "User-agent: *\nDisallow: /x/\n" + kLine + "\n");
    EXPECT_EQ(read("site.txt"), "User-agent: *\nDisallow: /x/\n");
    EXPECT_EQ(robotstxt::update(path("site.txt"), path(), kUrl), robotstxt::Outcome::Unchanged);
}

} // namespace
} // namespace vantor
