#include "platform/Files.h"
#include "platform/Text.h"

#include "../TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vantor {
namespace {

TEST(Text, Cp1252AndUtf8ConvertLosslessly)
{
    EXPECT_EQ(de("äöüÄÖÜß€"), "\xE4\xF6\xFC\xC4\xD6\xDC\xDF\x80");
    EXPECT_EQ(toUtf8("\x80\x84\x93\x9F"), "€„“Ÿ");
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(toCp1252(toUtf8(all)), all);
    // Bytes that are not UTF-8 are taken as they are; characters cp1252 lacks become '?'.
    EXPECT_EQ(toCp1252("a\xE4" "b\xC3"), "a\xE4" "b\xC3");
    EXPECT_EQ(toCp1252("\xE2\x82"), "\xE2\x82");
    EXPECT_EQ(toCp1252("Ωx"), "?x");
    EXPECT_EQ(lowerCp1252(de("ÄÖÜ ABC Š Ÿ ×")), de("äöü abc š ÿ ×"));
}

using FilesTest = testing::CoreTest;

TEST_F(FilesTest, UmlautPathsPathHelpersAndWildcards)
{
    const std::string dir = root() + de("/Bäckerei");
    ASSERT_TRUE(files::createDirectory(dir));
    EXPECT_TRUE(std::filesystem::is_directory(root() + "/Bäckerei")); // UTF-8 on disk
    ASSERT_TRUE(files::write(dir + de("/Größe.HTM"), "x"));
    ASSERT_TRUE(files::writeAtomic(dir + "/b.txt", "yy"));
    ASSERT_TRUE(files::createDirectory(dir + "/sub"));
    EXPECT_EQ(files::listFiles(dir + "/*.htm"), std::vector<std::string>{de("Größe.HTM")});
    EXPECT_EQ(files::listFiles(dir + "/*.*").size(), 2u);
    EXPECT_EQ(files::listDirectories(dir + "/*"), std::vector<std::string>{"sub"});
    EXPECT_EQ(files::size(dir + "/b.txt"), 2u);
    EXPECT_TRUE(files::copy(dir + "/b.txt", dir + de("/Größe.HTM"), true));
    EXPECT_FALSE(files::copy(dir + "/b.txt", dir + de("/Größe.HTM"), false));
    std::string content;
    EXPECT_TRUE(files::read(dir + de("/Größe.HTM"), content));
    EXPECT_EQ(content, "yy");
    EXPECT_FALSE(files::read(dir + "/none", content));
    EXPECT_FALSE(files::removeDirectory(dir)); // not empty

    EXPECT_TRUE(files::wildcardMatch("*.*", "README"));
    EXPECT_TRUE(files::wildcardMatch("ind?x.H*", "index.htm"));
    EXPECT_FALSE(files::wildcardMatch("*.htm", "index.html"));
    EXPECT_FALSE(files::wildcardMatch("a.*", "ab"));
}

} // namespace
} // namespace vantor
