#include "platform/Profile.h"

#include "../TestEnvironment.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using ProfileTest = testing::CoreTest;

TEST_F(ProfileTest, LookupIgnoresCaseTrimsAndKeepsQuotes)
{
    ProfileFile p;
    p.setText("; comment\n[Homepage]\r\n  Path  =  C:\\web\\index.htm  \r\n"
              "title1=\"a b\"\r\ntitle2=''x''\r\ntitle3=\"\r\nkeyonly\r\n"
              "dup=first\r\ndup=second\r\n[other]\r\npath=wrong\r\n");
    EXPECT_EQ(p.value("HOMEPAGE", "path"), "C:\\web\\index.htm");
    EXPECT_EQ(p.value("homepage", "PATH"), "C:\\web\\index.htm");
    EXPECT_EQ(p.value("homepage", "title1"), "\"a b\"");
    EXPECT_EQ(p.value("homepage", "title2"), "''x''");
    EXPECT_EQ(p.value("homepage", "title3"), "\"");
    EXPECT_EQ(p.value("homepage", "keyonly"), "");
    EXPECT_EQ(p.value("homepage", "dup"), "first");
    EXPECT_EQ(p.value("homepage", "missing"), std::nullopt);
    EXPECT_EQ(p.value("nosection", "path"), std::nullopt);
    EXPECT_EQ(p.read("homepage", "missing", "fallback"), "fallback");
    EXPECT_EQ(p.read("homepage", "path", "", 6), "C:\\web");
    EXPECT_EQ(p.keys("homepage"), (std::vector<std::string>{"Path", "title1", "title2", "title3", "keyonly", "dup", "dup"}));
    EXPECT_TRUE(p.hasSection("OTHER"));
    EXPECT_EQ(p.sectionValues("homepage").at("path"), "C:\\web\\index.htm");
    EXPECT_EQ(p.sectionValues("homepage").at("dup"), "first");
}

TEST_F(ProfileTest, WritesReplaceInPlaceAppendToSectionAndCreateSections)
{
    ProfileFile p;
    p.setText("[a]\nx=1\ny=2\n\n[b]\nz=3\n");
    p.write("A", "X", "10");   // in place, keeps its position
    p.write("a", "new", "n");  // end of [a], before the blank separator
    p.write("c", "k", "v");    // new section at the end
    p.writeKeyOnly("b", "flag");
    EXPECT_EQ(p.text(), "[a]\r\nX=10\r\ny=2\r\nnew=n\r\n\r\n[b]\r\nz=3\r\nflag\r\n[c]\r\nk=v\r\n");

    // A line break in a value would end the line early and could start a
    // bogus section.
    p.write("c", "k", "one\r\n[a]\nx=evil");
    EXPECT_EQ(p.value("c", "k"), "one  [a] x=evil");
    EXPECT_EQ(p.value("a", "x"), "10");

    p.deleteKey("a", "y");
    p.clearSection("b");
    EXPECT_EQ(p.text(), "[a]\r\nX=10\r\nnew=n\r\n\r\n[b]\r\n[c]\r\nk=one  [a] x=evil\r\n");
    p.deleteSection("a");
    EXPECT_FALSE(p.hasSection("a"));
    EXPECT_TRUE(p.hasSection("b"));
}

TEST_F(ProfileTest, SingleCallFunctionsCreateChangeAndKeepTheFile)
{
    const std::string file = root() + "/sub.ini";
    EXPECT_EQ(profile::readString(file, "s", "k", "dflt"), "dflt");
    EXPECT_EQ(profile::readInt(file, "s", "k", 7), 7);

    EXPECT_TRUE(profile::writeString(file, "s", "k", " 42abc"));
    EXPECT_TRUE(profile::writeKeyOnly(file, "s", "bare"));
    EXPECT_TRUE(profile::writeString(file, "t", "u", "v"));
    EXPECT_EQ(readFile(file), "[s]\r\nk= 42abc\r\nbare\r\n[t]\r\nu=v\r\n");
    EXPECT_EQ(profile::readInt(file, "S", "K", 7), 42);
    EXPECT_EQ(profile::readString(file, "s", "k", "", 3), "42a");

    EXPECT_TRUE(profile::deleteKey(file, "s", "k"));
    EXPECT_TRUE(profile::clearSection(file, "t"));
    EXPECT_EQ(readFile(file), "[s]\r\nbare\r\n[t]\r\n");

    // Deleting in a file that is not there changes nothing.
    EXPECT_FALSE(profile::deleteKey(root() + "/none.ini", "s", "k"));
    EXPECT_FALSE(profile::clearSection(root() + "/none.ini", "s"));
    // A path that exists but is no readable file is never replaced.
    EXPECT_FALSE(profile::writeString(projectsDir(), "s", "k", "v"));
    EXPECT_FALSE(profile::writeString(root() + "/no/such/dir.ini", "s", "k", "v"));
}

} // namespace
} // namespace vantor
