#include "TestEnvironment.h"

#include "optimizer/SpaceEstimate.h"
#include "platform/Text.h"
#include "project/ProjectRecord.h"

#include <filesystem>

using namespace vantor;

namespace {

using SpaceEstimateTest = vantor::testing::CoreTest;

TEST_F(SpaceEstimateTest, EmptyProjectShowsTheLowerLimits)
{
    const SpaceEstimate raw = estimateSpace(projectRecord(), 8000, 5000);
    EXPECT_EQ(raw.maximum, 0);
    const SpaceEstimate limited = raw.withLowerLimits();
    EXPECT_EQ(spaceDisplay(limited, 2).kilobytes, 20);
    EXPECT_EQ(spaceDisplay(limited, 1).kilobytes, 20);
    EXPECT_EQ(spaceDisplay(limited, 0).kilobytes, 10);
    EXPECT_EQ(spaceDisplay(limited, 2).bar, 100);
    EXPECT_EQ(spaceDisplay(limited, 0).bar, 50);
    // No copies: the three-line note.
    EXPECT_EQ(spaceDisplay(limited, 1).label,
              de("Hinweis: Mittlerer und Maximaler Speicherplatzbedarf sind\ngleich, da keine Kopien angegeben "
                 "wurden!\nGröße aller durch Vantor!! erzeugten Dokumente beträgt etwa:"));
}

TEST_F(SpaceEstimateTest, FormulaCountsSetSlotsAndCopies)
{
    ProjectRecord &r = projectRecord();
    r.homepageKeywords[0] = "a";
    r.homepageKeywords[5] = "b";
    r.copyKeywords[0][0] = "c"; // copy 1 counts
    r.copyKeywords[1][3] = "d"; // a term, but copy 2 has no first term
    r.doorwayKeywords[149] = "e";
    const SpaceEstimate e = estimateSpace(r, 10000, 4000);
    EXPECT_EQ(e.copies, 1);
    // K = 5, A = 20000, B = 10000
    EXPECT_EQ(e.maximum, static_cast<int>((2.2 * 20000 + 3.6 * 10000) / 1024));
    EXPECT_EQ(e.middle, static_cast<int>((2.2 * 20000 + 1.2 * 10000) / 1024));
    EXPECT_EQ(e.minimum, static_cast<int>((1.1 * 20000 + 1.2 * 10000) / 1024));
    const SpaceEstimate limited = e.withLowerLimits();
    EXPECT_EQ(limited.maximum, 78);
    const SpaceDisplay middle = spaceDisplay(limited, 1);
    EXPECT_EQ(middle.kilobytes, 50); // 54 rounded down to tens
    EXPECT_EQ(middle.bar, 54 * 100 / 78);
    EXPECT_EQ(middle.label, de("\n\nGröße aller durch Vantor!! erzeugten Dokumente beträgt etwa:"));
    // An unknown kind is the middle way.
    EXPECT_EQ(spaceDisplay(limited, 7).kilobytes, middle.kilobytes);
}

TEST_F(SpaceEstimateTest, MissingFilesCountWithTheirStandardSizes)
{
    ProjectRecord &r = projectRecord();
    r.path = root() + "/fehlt.htm";
    r.deriveHomepageFields();
    for (int i = 0; i < 10; ++i)
        r.copyKeywords[static_cast<std::size_t>(i % 9)][0] = "x";
    const SpaceEstimate e = estimateSpace(r);
    EXPECT_EQ(e, estimateSpace(r, 8000, 5000));
}

} // namespace
