// The load beside the check, on its own thread (run under ThreadSanitizer
// by `make sanitize-threads`).
#include "LoadBesideCheck.h"
#include "InvestigationList.h"
#include "TempDir.h"
#include "TransferFileCheck.h"
#include "TransferText.h"

#include <gtest/gtest.h>

using namespace TransferText;

TEST(LoadBesideCheck, GivesTheCheckAndTheLoadOfAFileThatPasses)
{
    TTempDir dir;
    TLines lines;
    for (int block = 1; block <= 300; ++block)
        lines += Block(block, block % 5);
    const std::string path = dir.Write("WVMO_261015_093000.DAT", Join(lines));
    TInvestigationList alone;
    alone.Load(path);

    TLoadBesideCheck load(path, {});
    TSamplingData result;
    load.Check(result);
    EXPECT_EQ(result.MessageText, "OK");
    const TInvestigationList list = load.Take();
    ASSERT_EQ(list.Count(), 300);
    for (const int i : {0, 150, 299}) {
        EXPECT_EQ(list.FieldCount(i), alone.FieldCount(i));
        EXPECT_EQ(list.Field(i, list.FieldCount(i) - 1), alone.Field(i, alone.FieldCount(i) - 1));
    }
}

// A finding early in a large file stops the load; whatever the load got to,
// the check's findings are those of the check alone.
TEST(LoadBesideCheck, AFindingStopsTheLoad)
{
    TTempDir dir;
    TLines lines = TLines{Header1(0), "2|kaputt|", EndLine(0)};
    for (int block = 1; block <= 20000; ++block)
        lines += Block(block, 3);
    const std::string path = dir.Write("WVMO_261015_093000.DAT", Join(lines));
    TSamplingData alone;
    CheckTransferFile(path, alone);

    TLoadBesideCheck load(path, {});
    TSamplingData result;
    load.Check(result);
    EXPECT_EQ(result.MessageText, alone.MessageText);
    EXPECT_GT(result.MessageCount, 0);
    const int count = load.Take().Count();
    EXPECT_TRUE(count == 0 || count == 20001) << count;
}

TEST(LoadBesideCheck, AFileThatCannotBeReadThrowsAtTake)
{
    TTempDir dir;
    TLoadBesideCheck load(dir.File("fehlt.DAT"), {});
    TSamplingData result;
    EXPECT_ANY_THROW(load.Check(result));
    EXPECT_ANY_THROW(load.Take());
}
