#include "CodeLists.h"
#include "ContentCases.h"
#include "ContentFileCheck.h"
#include "ContentLine.h"
#include "TempDir.h"
#include "TransferText.h"

#include <gtest/gtest.h>

namespace {

TCodeLists ListsOf(const ContentCases::TCase& c)
{
    TCodeLists lists;
    if (c.List != nullptr) {
        const int field = ContentCases::ListOf(c);
        lists.Set(field, TCodeList::Parse(ContentCases::ListText(c), ListFileName(field), ListCheckOf(field)->Kind));
    }
    return lists;
}

std::vector<TContentFinding> Check(const std::string& text, const TCodeLists& lists, std::int32_t interfaceKind,
                                   TSamplingData& data, std::size_t chunk = 1 << 20)
{
    std::vector<TContentFinding> findings;
    CheckTransferBytesContent(text, data, lists, interfaceKind, findings, chunk);
    return findings;
}

} // namespace

// Every case of the table, fed whole and byte by byte.
TEST(ContentCheck, TableOfCases)
{
    for (const ContentCases::TCase& c : ContentCases::Cases()) {
        SCOPED_TRACE(c.Name);
        const TCodeLists lists = ListsOf(c);
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{1} << 20}) {
            TSamplingData data;
            const std::vector<TContentFinding> findings = Check(ContentCases::FileText(c), lists, c.Interface, data, chunk);
            ASSERT_EQ(data.MessageCount, 0);
            if (c.Code < 0) {
                EXPECT_TRUE(findings.empty()) << findings.front().Text();
                continue;
            }
            ASSERT_EQ(findings.size(), 1u);
            const TContentFinding& f = findings.front();
            EXPECT_EQ(static_cast<int>(f.Code), c.Code);
            EXPECT_EQ(f.Line, c.Line);
            EXPECT_EQ(f.Text(), ContentCases::ExpectedBody(c));
            // Enough for a window to find the examination and the parameter row.
            EXPECT_EQ(f.Investigation, 2);
            EXPECT_EQ(f.InvestigationLine, 5);
            EXPECT_EQ(f.Parameter, c.Line == 8 ? 1 : -1);
        }
    }
}

// Findings in file order: a line's by field, field 25 in its place although
// it waits for field 35 of the next line.
TEST(ContentCheck, FileOrderAndStructureFirst)
{
    using namespace TransferText;
    TLines lines = Block(1, 1);
    lines[0] = ContentCases::WithField(lines[0], 21, "31.02.2026");
    lines[0] = ContentCases::WithField(lines[0], 17, "6479");
    lines[1] = ContentCases::WithField(lines[1], 5, "");
    lines[2] = ContentCases::WithField(lines[2], 1, "");
    lines[2] = ContentCases::WithField(lines[2], 2, "");
    TCodeLists lists;
    lists.Set(25, TCodeList::Parse("VG-1|06433000\n", "Feld25.txt", ECodeListKind::SupplyAreas));
    lists.Set(27, TCodeList::Parse("0\n", "Feld27.txt", ECodeListKind::Codes));
    TSamplingData data;
    std::vector<std::pair<int, int>> got;
    for (const TContentFinding& f : Check(Join(lines), lists, 1, data))
        got.emplace_back(f.Line, f.Field);
    const std::vector<std::pair<int, int>> expected{{1, 18}, {1, 22}, {1, 25}, {1, 27}, {1, 30}, {2, 38}, {3, 44}};
    EXPECT_EQ(got, expected);

    // The same file with a structure finding gets that alone.
    lines[2].pop_back();
    TSamplingData faulty;
    EXPECT_TRUE(Check(Join(lines), lists, 1, faulty).empty());
    EXPECT_GT(faulty.MessageCount, 0);
}

// A value longer than what a line keeps is judged as unknown and shown cut.
TEST(ContentCheck, OverlongValueIsCutNotHeld)
{
    using namespace TransferText;
    TLines lines = Block(1, 0);
    lines[0] = ContentCases::WithField(lines[0], 17, "64799");
    lines[0] = ContentCases::WithField(lines[0], 21, "1.1.2026");
    lines[0] = ContentCases::WithField(lines[0], 29, "");
    lines[0] = ContentCases::WithField(lines[0], 23, std::string(3 * TContentLine::Cap, 'x'));
    TCodeLists lists;
    lists.Set(24, TCodeList::Parse("x\n", "Feld24.txt", ECodeListKind::Codes));
    TSamplingData data;
    const std::vector<TContentFinding> findings = Check(Join(lines), lists, 1, data, 1000);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].Value, std::string(TContentLine::Cap, 'x') + "\x85");
}

// The findings join the check's messages in its line format.
TEST(ContentCheck, AddedAsMessagesOfTheTable)
{
    TSamplingData data;
    data.MessageText = "OK";
    TContentFinding f;
    f.Line = 7;
    f.Code = ECheckMessage::PostcodeInvalid;
    f.Value = "123";
    EXPECT_EQ(AddContentMessages(data, {f}), 0u);
    EXPECT_EQ(data.MessageCount, 1);
    EXPECT_EQ(data.MessageText, "       Zeile   7: Die PLZ '123' in Feld 18 fehlt oder ist ung\xFCltig.\r\n");
}

// Repeated parameter lines are judged once per combination: a combination that
// failed fails again, and one that passed still has its measured value judged;
// alike for a combination too long to be remembered.
TEST(ContentCheck, RepeatedLinesJudgedAlike)
{
    using namespace TransferText;
    for (const std::string& text : {std::string("Blei"), std::string(300, 'B')}) {
        TLines lines = Block(1, 0);
        lines[0] = ContentCases::WithField(lines[0], 17, "64799");
        lines[0] = ContentCases::WithField(lines[0], 21, "1.1.2026");
        lines[0] = ContentCases::WithField(lines[0], 29, "");
        const std::string good = "2|4003|" + text + "|||0,5|eingehalten|mg/l|DIN 1|L1||";
        const std::string bad = "2|4003|" + text + "|||0,5|gut|mg/l|DIN 1|L1||";
        lines.insert(lines.begin() + 2, {bad, good, bad, good, ContentCases::WithField(good, 5, "viel"), good});
        lines.back() = EndLine(6);
        TCodeLists lists;
        lists.Set(48, TCodeList::Parse("n.n.\n", "Feld48.txt", ECodeListKind::Texts));
        lists.Set(49, TCodeList::Parse("eingehalten\n", "Feld49.txt", ECodeListKind::Texts));
        TSamplingData data;
        std::vector<std::pair<int, int>> got;
        for (const TContentFinding& f : Check(Join(lines), lists, 1, data))
            got.emplace_back(f.Line, static_cast<int>(f.Code));
        const std::vector<std::pair<int, int>> expected{{3, 31}, {5, 31}, {7, 30}};
        EXPECT_EQ(got, expected);
    }
}

// The file's name gives the interface kind to this check alone: the
// process-wide one, which a comparison beside it may be using, stays as it was.
TEST(ContentCheck, FileNameGivesTheInterfaceAndLeavesTheGlobal)
{
    using namespace TransferText;
    TLines lines = Block(1, 1);
    lines[0] = ContentCases::WithField(lines[0], 17, "64799");
    lines[0] = ContentCases::WithField(lines[0], 21, "1.1.2026");
    lines[0] = ContentCases::WithField(lines[0], 29, "");
    lines[0] = ContentCases::WithField(lines[0], 4, "");
    TTempDir dir;
    const TCodeLists lists;
    InterfaceKind = 7;
    for (const auto& [name, kind] : {std::pair{"ABCD_1234_070312_143005.DAT", 2}, {"abcd_070312_143005.dat", 1}}) {
        SCOPED_TRACE(name);
        TSamplingData data;
        std::vector<TContentFinding> findings;
        EXPECT_EQ(CheckTransferFileContent(dir.Write(name, Join(lines)), data, lists, findings), kind);
        EXPECT_EQ(data.MessageCount, 0);
        // Field 5 is required in interface 2 only.
        ASSERT_EQ(findings.size(), kind == 2 ? 1u : 0u);
        if (kind == 2) {
            EXPECT_EQ(findings[0].Code, ECheckMessage::HealthOfficeSampleIdMissing);
        }
    }
    EXPECT_EQ(InterfaceKind, 7);
    InterfaceKind = 0;
}
