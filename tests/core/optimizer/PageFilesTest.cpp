#include "optimizer/PageFiles.h"

#include "platform/Files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace vantor {
namespace {

class PageFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static std::atomic<int> counter{0};
        m_dir = (std::filesystem::temp_directory_path() /
                 ("vantor-pagefiles-" + std::to_string(::getpid()) + "-" + std::to_string(counter++)))
                    .string();
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string put(const std::string &name, const std::string &content)
    {
        const std::string path = files::join(m_dir, name);
        EXPECT_TRUE(files::write(path, content));
        return path;
    }

    std::string m_dir;
};

TEST_F(PageFiles, ReadMarkedBlockFindsTheIndexedPair)
{
    const std::string path = put("page.htm", "<td> eins</td>\r\n<td>\r\nzwei</td><td>  drei\n</td>");
    std::string block;
    EXPECT_TRUE(readMarkedBlock("<td>", "</td>", path, 1, block));
    EXPECT_EQ(block, "eins");
    EXPECT_TRUE(readMarkedBlock("<td>", "</td>", path, 2, block));
    EXPECT_EQ(block, "zwei"); // line breaks go before the blank is looked at
    EXPECT_TRUE(readMarkedBlock("<td>", "</td>", path, 3, block));
    EXPECT_EQ(block, " drei");

    block = "unchanged";
    EXPECT_FALSE(readMarkedBlock("<td>", "</td>", path, 4, block));
    EXPECT_FALSE(readMarkedBlock("<th>", "</td>", path, 1, block));
    EXPECT_FALSE(readMarkedBlock("<td>", "</th>", path, 1, block));
    EXPECT_FALSE(readMarkedBlock("<td>", "</td>", files::join(m_dir, "missing.htm"), 1, block));
    EXPECT_EQ(block, "unchanged");
}

TEST_F(PageFiles, DeleteDirectoryRemovesAFlatDirectory)
{
    const std::string dir = files::join(m_dir, "!haus");
    ASSERT_TRUE(files::createDirectory(dir));
    put("!haus/index.htm", "x");
    put("!haus/vantor.gif", "y");
    EXPECT_TRUE(deleteDirectory(dir));
    EXPECT_FALSE(files::exists(dir));
    EXPECT_FALSE(deleteDirectory(dir));
}

TEST_F(PageFiles, DeleteDirectoryStopsAtASubdirectory)
{
    const std::string dir = files::join(m_dir, "!garten");
    ASSERT_TRUE(files::createDirectory(dir));
    put("!garten/a.htm", "x");
    ASSERT_TRUE(files::createDirectory(files::join(dir, "m")));
    put("!garten/z.htm", "y");
    EXPECT_FALSE(deleteDirectory(dir));
    EXPECT_TRUE(files::isDirectory(dir));
    EXPECT_FALSE(files::exists(files::join(dir, "a.htm")));
    EXPECT_TRUE(files::exists(files::join(dir, "z.htm")));
    EXPECT_TRUE(files::isDirectory(files::join(dir, "m")));
}

} // namespace
} // namespace vantor
