#include "optimizer/PageFiles.h"

#include "platform/Files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

TEST_F(PageFiles, ReadMarkedBlockWantsTheEndAfterTheStart)
{
    std::string block = "unchanged";
    EXPECT_FALSE(readMarkedBlock("<td>", "</td>", put("first.htm", "</td>x<td>y</td>"), 1, block));
    // The same once the first pair is cut away.
    EXPECT_FALSE(readMarkedBlock("<td>", "</td>", put("second.htm", "<td>a</td></td>x<td>y</td>"), 2, block));
    EXPECT_EQ(block, "unchanged");

    // An end that overlaps the start is no end before it.
    EXPECT_TRUE(readMarkedBlock("<!--", "-->", put("comment.htm", "<!-->x-->"), 1, block));
    EXPECT_EQ(block, ">x");
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

TEST_F(PageFiles, DeleteDirectoryRemovesEveryKindOfEntryWithoutFollowingLinks)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(m_dir) / "!haus";
    const fs::path outside = fs::path(m_dir) / "outside";
    fs::create_directories(dir);
    fs::create_directories(outside / "inner");
    put("outside/keep.htm", "x");
    put("!haus/index.htm", "x");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);

    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (dir / "socket").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
    ::close(sock);

    fs::create_symlink(outside / "keep.htm", dir / "a-link");
    fs::create_directory_symlink(outside, dir / "b-link");
    fs::create_symlink(dir / "nowhere", dir / "c-dangling");

    EXPECT_TRUE(deleteDirectory(dir.string()));
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir)));
    // What the links pointed to is untouched.
    EXPECT_TRUE(fs::is_regular_file(outside / "keep.htm"));
    EXPECT_TRUE(fs::is_directory(outside / "inner"));
}

TEST_F(PageFiles, DeleteDirectoryTakesALinkToADirectoryForNoSubdirectory)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(m_dir) / "!garten";
    fs::create_directories(dir / "m");
    fs::create_directories(fs::path(m_dir) / "outside");
    put("outside/keep.htm", "x");
    fs::create_directory_symlink(fs::path(m_dir) / "outside", dir / "b-link");
    put("!garten/z.htm", "y");

    EXPECT_FALSE(deleteDirectory(dir.string()));
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "b-link")));
    EXPECT_TRUE(fs::is_directory(dir / "m"));
    EXPECT_TRUE(fs::exists(dir / "z.htm"));
    EXPECT_TRUE(fs::exists(fs::path(m_dir) / "outside" / "keep.htm"));
}

} // namespace
} // namespace vantor
