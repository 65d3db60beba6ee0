#include "platform/Profile.h"

#include "../AllocationWatch.h"
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

TEST_F(ProfileTest, WrittenNamesAndValuesStayOnOneLine)
{
    // The profile functions take C strings: a NUL ends them. A line break in
    // a section name or in a key alone must not start a section either.
    ProfileFile p;
    p.setText("[s]\r\nk=old\r\n");
    p.writeKeyOnly("s", "flag\n[evil]");
    p.write("s\r\n[evil]", "k", "v");
    p.write("s", "k", std::string("new\0[evil]", 10));
    p.write(std::string("t\0u", 3), std::string("a\0b", 3), "c");
    const std::string file = root() + "/one.ini";
    ASSERT_TRUE(p.saveAs(file));
    EXPECT_EQ(readFile(file).find('\0'), std::string::npos);
    ProfileFile reloaded;
    ASSERT_TRUE(reloaded.load(file));
    EXPECT_FALSE(reloaded.hasSection("evil"));
    EXPECT_EQ(reloaded.value("s", "k"), "new");
    EXPECT_EQ(reloaded.value("s", "flag [evil]"), "");
    EXPECT_EQ(reloaded.value("s  [evil", "k"), "v");
    EXPECT_EQ(reloaded.value("t", "a"), "c");
}

TEST_F(ProfileTest, CollectedWritesGiveTheTextOfWritesOneByOne)
{
    // Writes wait for the next read or save; what they make must not depend
    // on when that comes, also for keys and sections that are found oddly or
    // not at all.
    const std::string start = "; c\n[a]\nx=1\n\n  \n[b]\r\nz=3\r\n[A]\nx=second\n[c";
    const auto run = [&](bool readEachTime) {
        ProfileFile p;
        p.setText(start);
        const auto step = [&] {
            if (readEachTime)
                (void)p.text();
        };
        const std::pair<const char *, const char *> writes[] = {
            {"a", "x"}, {"a", "y"}, {"n", "k"}, {"a", "X"}, {"b", " z "}, {"b", "z=3"}, {"a", "[b]"},
            {"b", "q"}, {"n", "k2"}, {" n ", "k"}, {"a]x", "k"}, {"a", ";c"}, {"a", "z"}, {"c", "k"},
            {"n", "k"}, {"", "e"}, {"", ""}, {"b", "z"}};
        int n = 0;
        for (const auto &[section, key] : writes) {
            p.write(section, key, std::to_string(++n));
            step();
            if (n % 3 == 0) {
                p.writeKeyOnly(section, key);
                step();
            }
        }
        p.writeKeyOnly("a", "");
        step();
        p.write("a", "after", "empty key");
        return p.text();
    };
    const std::string oneByOne = run(true);
    EXPECT_EQ(run(false), oneByOne);
    // What writing one key after the other has always given.
    EXPECT_EQ(oneByOne, "; c\r\n[a]\r\nX=4\r\ny=2\r\n;c=12\r\n;c\r\nz=13\r\nafter=empty key\r\n\r\n[b]=7\r\nq=8\r\nz\r\n\r\n"
                          "  \r\n[b]\r\nz=3\r\n z =5\r\nz=3=6\r\nz=3\r\n[A]\r\nx=second\r\n[c\r\n[n]\r\nk\r\nk2\r\n[ n ]\r\n"
                          "k=10\r\n[a]x]\r\nk=11\r\n[c]\r\nk=14\r\n[]\r\ne=16\r\n=17\r\n");
}

TEST_F(ProfileTest, AFileOfEmptyLinesTakesAboutItsOwnSize)
{
    const std::string file = root() + "/lines.ini";
    std::string text = "[a]\r\nk=v\r\n" + std::string(4u << 20, '\n') + "[b]\r\nk=w\r\n";
    const std::size_t size = text.size();
    writeFile(file, text);
    text.clear();
    text.shrink_to_fit();
    testing::AllocationPeak peak;
    ProfileFile p;
    ASSERT_TRUE(p.load(file));
    EXPECT_EQ(p.value("b", "k"), "w");
    EXPECT_EQ(p.keys("a"), (std::vector<std::string>{"k"}));
    p.write("b", "n", "1");
    EXPECT_EQ(p.value("b", "n"), "1");
    // The file, and the new text with CR LF line ends throughout.
    EXPECT_LT(peak.peak(), 3 * size + size / 2);
}

} // namespace
} // namespace vantor
