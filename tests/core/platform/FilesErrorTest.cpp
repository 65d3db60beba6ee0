#include "platform/Files.h"

#include "../TestEnvironment.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <thread>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace vantor {
namespace {

using FilesErrorTest = testing::CoreTest;

TEST_F(FilesErrorTest, EveryFailingOperationSaysWhy)
{
    const std::string missing = root() + "/none";
    std::string content;

    EXPECT_FALSE(files::read(missing + "/a.txt", content));
    EXPECT_EQ(files::lastError(), ENOENT);

    ASSERT_TRUE(files::createDirectory(root() + "/d"));
    EXPECT_FALSE(files::createDirectory(root() + "/d"));
    EXPECT_EQ(files::lastError(), EEXIST);

    // A directory where a file is expected.
    EXPECT_FALSE(files::writeAtomic(root() + "/d", "x"));
    EXPECT_EQ(files::lastError(), EISDIR);

    EXPECT_FALSE(files::write(missing + "/a.txt", "x"));
    EXPECT_EQ(files::lastError(), ENOENT);
    EXPECT_FALSE(files::writeAtomic(missing + "/a.txt", "x"));
    EXPECT_EQ(files::lastError(), ENOENT);
    EXPECT_FALSE(files::writeAtomicOsPath(missing + "/a.txt", "x"));
    EXPECT_EQ(files::lastError(), ENOENT);

    EXPECT_FALSE(files::remove(missing));
    EXPECT_EQ(files::lastError(), ENOENT);

    EXPECT_FALSE(files::copy(missing, root() + "/copy.txt"));
    EXPECT_EQ(files::lastError(), ENOENT);
    ASSERT_TRUE(files::write(root() + "/a.txt", "a"));
    ASSERT_TRUE(files::write(root() + "/b.txt", "b"));
    EXPECT_FALSE(files::copy(root() + "/a.txt", root() + "/b.txt", false));
    EXPECT_EQ(files::lastError(), EEXIST);

    ASSERT_TRUE(files::write(root() + "/plain", "x"));
    EXPECT_FALSE(files::createDirectories(root() + "/plain/sub"));
    EXPECT_EQ(files::lastError(), ENOTDIR);

    // A full disk: the device that is always full.
    if (fs::exists("/dev/full")) {
        EXPECT_FALSE(files::write("/dev/full", std::string(100000, 'x')));
        EXPECT_EQ(files::lastError(), ENOSPC);
    }
}

TEST_F(FilesErrorTest, AFileTheUserMadeReadOnlyIsNeverReplaced)
{
    const std::string dir = root() + "/site";
    ASSERT_TRUE(files::createDirectory(dir));
    const std::string page = dir + "/index.htm";
    writeFile(page, "<html>mine</html>");
    ASSERT_EQ(::chmod(page.c_str(), 0444), 0);
    writeFile(dir + "/other.htm", "other");

    EXPECT_FALSE(files::writeAtomic(page, "<html>optimized</html>"));
    EXPECT_EQ(files::lastError(), EACCES);
    EXPECT_FALSE(files::writeAtomicOsPath(page, "x"));
    EXPECT_EQ(files::lastError(), EACCES);
    EXPECT_FALSE(files::write(page, "x"));
    EXPECT_EQ(files::lastError(), EACCES);
    EXPECT_FALSE(files::copy(dir + "/other.htm", page));
    EXPECT_EQ(files::lastError(), EACCES);
    EXPECT_EQ(readFile(page), "<html>mine</html>");
    struct stat st {};
    ASSERT_EQ(::stat(page.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);

    // Through a link it is the file the link points to that counts.
    fs::create_symlink(page, dir + "/link.htm");
    EXPECT_FALSE(files::writeAtomic(dir + "/link.htm", "x"));
    EXPECT_EQ(readFile(page), "<html>mine</html>");

    // A file only others may not write stays ours to replace.
    ASSERT_EQ(::chmod(page.c_str(), 0644), 0);
    EXPECT_TRUE(files::writeAtomic(page, "<html>optimized</html>"));
    EXPECT_EQ(readFile(page), "<html>optimized</html>");
    for (auto it = fs::directory_iterator(dir); it != fs::directory_iterator(); ++it)
        EXPECT_FALSE(files::isAtomicTempName(it->path().filename().string())) << it->path();
}

TEST_F(FilesErrorTest, TheReasonBelongsToTheThreadThatFailed)
{
    std::string content;
    EXPECT_FALSE(files::read(root() + "/none", content));
    ASSERT_EQ(files::lastError(), ENOENT);
    std::thread other([&] {
        ASSERT_TRUE(files::createDirectory(root() + "/d"));
        EXPECT_FALSE(files::createDirectory(root() + "/d"));
        EXPECT_EQ(files::lastError(), EEXIST);
    });
    other.join();
    EXPECT_EQ(files::lastError(), ENOENT);
}

} // namespace
} // namespace vantor
