// The comparison against the table of comparisons.
#include "Comparison.h"
#include "ComparisonCases.h"
#include "Cp1252.h"
#include "DifferenceReport.h"
#include "FileOpenError.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

std::string Describe(const TInvestigationKey& k)
{
    std::string key;
    for (const TKeyField& field : k)
        key += (key.empty() ? "" : " ") + std::to_string(field.Field) + "=" + Cp1252ToUtf8(field.Value);
    return key;
}

std::string Describe(const TDifference& d)
{
    return ComparisonCases::Describe(KindId(d.Kind), Describe(d.Key), d.Field, d.OldLine, d.NewLine, Cp1252ToUtf8(d.Old),
                                     Cp1252ToUtf8(d.New), Cp1252ToUtf8(d.ParameterId));
}

TEST(Comparison, TableOfCases)
{
    using ComparisonCases::EOutcome;
    for (const ComparisonCases::TCase& c : ComparisonCases::Cases()) {
        SCOPED_TRACE(c.Name);
        TTempDir dir;
        const std::string oldPath = dir.Write("alt.dat", c.Old);
        const std::string newPath = c.Outcome == EOutcome::Missing ? dir.File("fehlt.dat") : dir.Write("neu.dat", c.New);
        if (c.Outcome == EOutcome::Missing) {
            EXPECT_THROW(CompareTransferFiles(oldPath, newPath), EFileOpenError);
            continue;
        }
        const TComparison result = CompareTransferFiles(oldPath, newPath);
        if (c.Outcome == EOutcome::Findings) {
            EXPECT_FALSE(result.Compared);
            EXPECT_EQ(result.OldCheck.MessageCount, 0);
            EXPECT_GT(result.NewCheck.MessageCount, 0);
            continue;
        }
        ASSERT_TRUE(result.Compared);
        std::vector<std::string> found;
        for (const TDifference& d : result.Differences) {
            found.push_back(Describe(d));
            EXPECT_EQ(Describe(d.OldKey), c.OldKey);
            // Named as a person names it, beside the key: fields 16 and 22 of its block.
            EXPECT_TRUE(std::string_view(d.SamplingPoint).ends_with("f16")) << d.SamplingPoint;
            EXPECT_TRUE(std::string_view(d.SamplingTime).ends_with("f22")) << d.SamplingTime;
        }
        EXPECT_EQ(found, c.Differences);
        if (!c.OldKey.empty()) {
            EXPECT_NE(ComparisonText(result).find(" (vorher "), std::string::npos) << ComparisonText(result);
        }
        EXPECT_EQ(SummaryText(result), c.Summary);
        EXPECT_EQ(result.HasDifferences(), c.Outcome == EOutcome::Differences);
        EXPECT_EQ(result.RepeatedKey.has_value(), c.RepeatedKey);
    }
}

TEST(Comparison, KeyOfChosenFields)
{
    // By field 3 alone, two examinations of different laboratories are one.
    using namespace TransferText;
    TTempDir dir;
    const std::string other = ComparisonCases::WithField(Header1(1), 1, 31, "L9");
    const std::string oldPath = dir.Write("alt.dat", Join(Block(1, 0)));
    const std::string newPath = dir.Write("neu.dat", Join({other, Header2(1), EndLine(0)}));
    EXPECT_EQ(CompareTransferFiles(oldPath, newPath).Added, 1);
    const TComparison byField3 = CompareTransferFiles(oldPath, newPath, {{3}});
    ASSERT_EQ(byField3.Differences.size(), 1u);
    EXPECT_EQ(Describe(byField3.Differences[0]), ComparisonCases::Describe("fieldChanged", "3=b1f3", 31, 1, 1, "b1f31", "L9", ""));
}

TEST(Comparison, FieldsKeptForTheWorkbook)
{
    // Per examination that differs: its fields, whether only its parameters
    // changed, and its old key where that changed.
    const auto run = [](const char* name) {
        for (const ComparisonCases::TCase& c : ComparisonCases::Cases()) {
            if (std::string_view(c.Name) != name)
                continue;
            TTempDir dir;
            TCompareOptions keep;
            keep.KeepFields = true;
            return CompareTransferFiles(dir.Write("alt.dat", c.Old), dir.Write("neu.dat", c.New), keep).Investigations;
        }
        return std::vector<TInvestigationFields>();
    };
    const std::vector<TInvestigationFields> parameters = run("a parameter added and one removed");
    ASSERT_EQ(parameters.size(), 1u);
    EXPECT_TRUE(parameters[0].ParametersOnly);
    EXPECT_TRUE(parameters[0].OldKey.empty());
    const std::vector<TInvestigationFields> filled = run("a key filled in");
    ASSERT_EQ(filled.size(), 1u);
    EXPECT_FALSE(filled[0].ParametersOnly);
    EXPECT_EQ(Describe(filled[0].OldKey), "31=b1f31 5=b1f5");
    EXPECT_EQ(filled[0].Old[2], "");
    EXPECT_EQ(filled[0].New[2], "b1f3");
}

TEST(Comparison, KeyTooOftenPairedInOrder)
{
    // More examinations of one key than are paired by their differences:
    // those not the same go in order, and the report says so.
    using namespace TransferText;
    TLines before, after;
    for (int b = 1; b <= PairingBound + 2; ++b) {
        TLines block = Block(b, 1);
        block[0] = ComparisonCases::WithField(ComparisonCases::WithField(block[0], 1, 3, "P1"), 1, 31, "L1");
        before += block;
        block[0] = ComparisonCases::WithField(block[0], 1, 14, "neu");
        after += block;
    }
    TTempDir dir;
    const TComparison result = CompareTransferFiles(dir.Write("alt.dat", Join(before)), dir.Write("neu.dat", Join(after)));
    EXPECT_EQ(result.Changed, PairingBound + 2);
    ASSERT_EQ(result.Differences.size(), static_cast<std::size_t>(PairingBound + 2));
    for (const TDifference& d : result.Differences)
        EXPECT_EQ(d.OldLine, d.NewLine);
    ASSERT_TRUE(result.BoundedKey.has_value());
    EXPECT_NE(ComparisonText(result).find("Hinweis: Mehr als 64 ungleiche Untersuchungen eines Schlüssels oder Parameter einer Param.-ID, zuerst bei "
                                          "31=„L1“, 3=„P1“, sind in der Reihenfolge ihres Auftretens zugeordnet"),
              std::string::npos);
}

} // namespace
