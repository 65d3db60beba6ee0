#include "platform/Files.h"

#include "../TestEnvironment.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <thread>

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
