#include "submit/SubmitSettings.h"

#include "../TestEnvironment.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

class SubmitSettingsTest : public testing::CoreTest
{
protected:
    std::string file() const { return projectPath("p"); }
};

TEST_F(SubmitSettingsTest, EntriesRoundTripAndAStrangeModeIsOptimal)
{
    writeProject("p", "[homepage]\r\npath=/site/index.htm\r\n[project]\r\nsubmittype=abc\r\n");
    EXPECT_EQ(submitsettings::readEntries(file()).mode, submitdocs::Mode::Optimal);
    ASSERT_TRUE(submitsettings::saveEntries(file(), {"www.site.de", "info@site.de", submitdocs::Mode::Complete}));
    const submitsettings::Entries read = submitsettings::readEntries(file());
    EXPECT_EQ(read.url, "www.site.de");
    EXPECT_EQ(read.email, "info@site.de");
    EXPECT_EQ(read.mode, submitdocs::Mode::Complete);
    // The rest of the project stays.
    EXPECT_NE(readFile(file()).find("path=/site/index.htm"), std::string::npos);
}

TEST_F(SubmitSettingsTest, ListsStopAtTheirFirstGap)
{
    writeProject("p", "[submitfilelist]\r\n1=www.a.de\r\n2=www.a.de/b.htm\r\n4=www.a.de/d.htm\r\n"
                      "[Extensions]\r\n1=htm\r\n2=\r\n3=php\r\n");
    EXPECT_EQ(submitsettings::readFileList(file()), (std::vector<std::string>{"www.a.de", "www.a.de/b.htm"}));
    // An empty extension ends the list as a missing one does.
    EXPECT_EQ(submitsettings::readExtensions(file()), std::vector<std::string>{"htm"});

    std::vector<std::string> many;
    for (int i = 0; i < 1200; ++i)
        many.push_back("www.a.de/s" + std::to_string(i) + ".htm");
    ASSERT_TRUE(submitsettings::saveFileList(file(), many));
    const std::vector<std::string> back = submitsettings::readFileList(file());
    ASSERT_EQ(back.size(), submitdocs::kMaxDocuments);
    EXPECT_EQ(back.front(), many.front());
    // Saving empties the section first: no key of the old list survives.
    ASSERT_TRUE(submitsettings::saveFileList(file(), {"www.b.de"}));
    EXPECT_EQ(submitsettings::readFileList(file()), std::vector<std::string>{"www.b.de"});

    ASSERT_TRUE(submitsettings::saveExtensions(file(), {"htm", "php"}));
    EXPECT_EQ(submitsettings::readExtensions(file()), (std::vector<std::string>{"htm", "php"}));
}

} // namespace
} // namespace vantor
