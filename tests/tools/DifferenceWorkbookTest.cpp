// The comparison's workbook refuses, before anything is written, what a sheet
// cannot hold, with the limit handed in so that no test writes a million rows.
#include "DifferenceWorkbook.h"
#include "ComparisonCases.h"
#include "Output.h"
#include "TempDir.h"
#include "TransferText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string Contents(const std::string& path)
{
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(DifferenceWorkbook, MoreRowsThanASheetHoldsAreRefusedBeforeWriting)
{
    using namespace TransferText;
    TTempDir dir;
    TLines oldLines, newLines;
    for (int n = 1; n <= 12; ++n) {
        oldLines += Block(n, 0);
        newLines += TLines{ComparisonCases::WithField(Header1(n), 1, 14, "neu"), Header2(n), EndLine(0)};
    }
    const std::string oldPath = dir.Write("alt.dat", Join(oldLines));
    const std::string newPath = dir.Write("neu.dat", Join(newLines));
    const std::string target = dir.Write("Vergleich.xlsx", "vorher");
    // Twelve changed fields: "Unterschiede" has four rows above the table and
    // a blank one, the heading, twelve rows and five of legend (23);
    // "Untersuchungen" the heading and two rows for each examination (25).
    struct TCase {
        std::uint64_t Limit;
        const char* Refused;
        int Rows;
    };
    for (const TCase& c : {TCase{22, "Unterschiede", 23}, TCase{24, "Untersuchungen", 25}, TCase{25, nullptr, 0}}) {
        SCOPED_TRACE(c.Limit);
        // The workbook's rows wait in files of their own until it is gone (on
        // Windows those files have names while they are open).
        std::string why;
        {
            TDifferenceWorkbook workbook(target, c.Limit);
            TCompareOptions options;
            options.KeepFields = true;
            const TComparison comparison = CompareTransferFiles(oldPath, newPath, options, workbook);
            ASSERT_EQ(comparison.Changed, 12);
            try {
                workbook.Commit(comparison, oldPath, newPath, {});
            } catch (const EOutputError& e) {
                why = e.what();
            }
        }
        if (!c.Refused) {
            EXPECT_EQ(why, "");
            EXPECT_EQ(Contents(target).substr(0, 2), "PK");
            continue;
        }
        EXPECT_EQ(why, "Die Arbeitsmappe " + target + " wird nicht geschrieben: das Blatt \xE2\x80\x9E" + c.Refused +
                           "\xE2\x80\x9C bek\xC3\xA4me " + std::to_string(c.Rows) +
                           " Zeilen, ein Arbeitsblatt fasst h\xC3\xB6"
                           "chstens " +
                           std::to_string(c.Limit) +
                           ". Mit --format csv gibt es keine Grenze.");
        EXPECT_EQ(Contents(target), "vorher");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(PathFromUtf8(dir.Path())), {}), 3);
    }
}

} // namespace
