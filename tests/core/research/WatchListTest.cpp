#include "TestEnvironment.h"

#include "platform/Profile.h"
#include "project/ProjectFile.h"
#include "research/WatchList.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace vantor;

namespace {

using Entries = std::vector<WatchList::Entry>;

class WatchListTest : public vantor::testing::CoreTest
{
protected:
    std::string file() const { return projectPath("reise"); }
};

} // namespace

TEST_F(WatchListTest, SavedLayoutOfAFreshFile)
{
    writeProject("reise", "");
    WatchList list;
    EXPECT_TRUE(list.load("reise"));
    EXPECT_TRUE(list.empty());
    list.add("unterkunft", WatchList::Variant);
    list.add("hotel rom", WatchList::EngineInput);
    list.add("hotel italien", WatchList::EngineInput);
    ASSERT_TRUE(list.save("reise"));
    EXPECT_EQ(readFile(file()), "[researchs]\r\n1=hotel italien\r\n2=hotel rom\r\n3=\r\n"
                                "[researchv]\r\n1=unterkunft\r\n2=\r\n"
                                "[research]\r\n1=\r\n");
}

TEST_F(WatchListTest, LoadOrderReversalAndLimits)
{
    std::string text = "[research]\r\n1=alt\r\n[researchv]\r\n1=v1\r\n2=v2\r\n3=\r\n4=hinter der Lücke\r\n"
                       "[researchs]\r\n1=s1\r\n2=" +
                       std::string(200, 'x') + "\r\n";
    writeProject("reise", text);
    WatchList list;
    EXPECT_FALSE(list.load("reise"));
    // Each entry went to the top, the last section read first.
    EXPECT_EQ(list.entries(), (Entries{{std::string(149, 'x'), 1}, {"s1", 1}, {"v2", 2}, {"v1", 2}, {"alt", 0}}));
    ASSERT_TRUE(list.save("reise"));
    // Saving unchanged turns each section round; numbers beyond the new end go.
    EXPECT_EQ(profile::readString(file(), "researchs", "1", "?"), std::string(149, 'x'));
    EXPECT_EQ(profile::readString(file(), "researchv", "1", "?"), "v2");
    EXPECT_EQ(profile::readString(file(), "researchv", "3", "?"), "");
    EXPECT_EQ(profile::readString(file(), "researchv", "4", "?"), "?");

    text = "[researchs]\r\n";
    for (int i = 1; i <= 2100; ++i)
        text += std::to_string(i) + "=t" + std::to_string(i) + "\r\n";
    writeProject("reise", text);
    list.load("reise");
    EXPECT_EQ(list.entries().size(), 2000u);
    EXPECT_EQ(list.entries().front().text, "t2000");
}

TEST_F(WatchListTest, AddingDeletingAndSorting)
{
    writeProject("reise", "[researchs]\r\n1=Berlin\r\n2=aachen\r\n3=\r\n");
    WatchList list;
    list.load("reise");
    EXPECT_FALSE(list.add("Berlin", WatchList::Variant)); // any kind counts
    EXPECT_FALSE(list.add("", WatchList::Variant));
    EXPECT_TRUE(list.add("berlin", WatchList::Variant));  // case counts
    EXPECT_EQ(list.entries().front().text, "berlin");

    list.setSorting(WatchList::Sorting::Descending);
    list.load("reise");
    EXPECT_EQ(list.entries(), (Entries{{"Berlin", 1}, {"aachen", 1}}));
    list.add("Celle", WatchList::Variant);
    list.add("bonn", WatchList::Variant);
    EXPECT_EQ(list.entries(), (Entries{{"Celle", 2}, {"bonn", 2}, {"Berlin", 1}, {"aachen", 1}}));

    list.remove({0, 3, 3, 17});
    EXPECT_EQ(list.entries(), (Entries{{"bonn", 2}, {"Berlin", 1}}));
    list.remove({0, 1});
    ASSERT_TRUE(list.save("reise"));
    for (const char *section : {"research", "researchs", "researchv"})
        EXPECT_EQ(profile::readString(file(), section, "1", "?"), "") << section;
    EXPECT_TRUE(list.load("reise"));
}

TEST_F(WatchListTest, ASaveKeepsWhatAnotherProgramChangedSinceTheLoad)
{
    writeProject("reise", "[homepage]\r\npath=/site/index.htm\r\n[research]\r\n1=rom\r\n2=mailand\r\n3=\r\n");
    WatchList shown; // the window's list, held while the user works
    shown.load("reise");
    WatchList other; // the command line's, at the same time
    ASSERT_TRUE(other.update("reise", [](WatchList &l) {
        l.remove({0}); // mailand
        return l.add("neapel", WatchList::Variant);
    }));

    ASSERT_TRUE(shown.add("turin", WatchList::Kept));
    shown.remove({2}); // rom
    const Entries rows = shown.entries();
    ASSERT_TRUE(shown.save("reise"));
    EXPECT_EQ(shown.entries(), rows); // the window's rows stay in step with it

    WatchList reread;
    reread.load("reise");
    EXPECT_EQ(reread.entries(), (Entries{{"neapel", 2}, {"turin", 0}}));
    EXPECT_NE(readFile(file()).find("path=/site/index.htm"), std::string::npos);

    // Saved again, what the window never showed is still not taken for a
    // removal of its own.
    shown.remove({0}); // turin
    ASSERT_TRUE(shown.save("reise"));
    reread.load("reise");
    EXPECT_EQ(reread.entries(), (Entries{{"neapel", 2}}));

    // A file that is there but cannot be read is not replaced (root reads
    // whatever the mode says).
    if (::geteuid() != 0) {
        const std::string before = readFile(file());
        ASSERT_EQ(::chmod(file().c_str(), 0200), 0);
        EXPECT_FALSE(shown.save("reise"));
        ::chmod(file().c_str(), 0600);
        EXPECT_EQ(readFile(file()), before);
    }
}
