#include "ByteSource.h"
#include "ExportCases.h"
#include "ExportCheck.h"
#include "ExportPlan.h"
#include "InvestigationWalk.h"
#include "OutputFile.h"
#include "Process.h"
#include "SamplingData.h"
#include "TempDir.h"
#ifdef MORVASK_HAVE_XLSX
#include "WorkbookExport.h"
#include "XlsxVerify.h"
#include "ZipWriter.h"
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

namespace {

#ifdef MORVASK_HAVE_XLSX
// A sheet holds 1048575 rows under its heading: more are refused before
// anything is written (the parameter sheet has at least as many rows as the other).
TEST(ExportWorkbook, RowsBeyondASheetAreRefusedBeforeWriting)
{
    struct Case {
        std::int64_t Parameters, Investigations;
        const char* Sheet; // nullptr: fits
    };
    const Case cases[] = {{1048575, 1048575, nullptr}, {1048576, 1, "Parameter"}, {1048576, 1048576, "Parameter"}};
    for (const Case& c : cases) {
        TExportPlan plan;
        for (std::int64_t e = 0; e < c.Investigations; ++e) {
            plan.InvestigationBegins(3 * e + 1, static_cast<std::uint64_t>(e));
            plan.InvestigationEnds(e == 0 ? static_cast<std::int32_t>(c.Parameters - c.Investigations + 1) : 1);
        }
        TWorkbookRows rows;
        rows.Add(plan);
        const std::string why = rows.Overflow("t.xlsx");
        EXPECT_EQ(why.empty(), c.Sheet == nullptr) << why;
        if (c.Sheet) {
            EXPECT_NE(why.find(c.Sheet), std::string::npos) << why;
        }
    }

    // The program: one examination of 1048576 parameters stops at once.
    TTempDir dir, scratch;
    std::string bytes = Line("1|E", 31, "f") + "\n" + Line("2|MATW", 9, "f") + "\n";
    const std::string parameter = Line("2", 11, "") + "\n";
    for (int k = 0; k < 1048576; ++k)
        bytes += parameter;
    const std::string path = dir.Write("ABCD_070312_143005.DAT", bytes + "3|1048576\n");
    const std::string target = dir.File("Tabelle.xlsx");
    const TProcessResult run = RunProgram(MORVASK_EXPORT_BINARY, {"--quiet", "--xlsx", target, path}, scratch.Path());
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_NE(run.Errors.find("Blatt \xE2\x80\x9EParameter\xE2\x80\x9C bek\xC3\xA4me 1048576 Zeilen"), std::string::npos) << run.Errors;
    EXPECT_EQ(std::vector<std::filesystem::path>(std::filesystem::directory_iterator(PathFromUtf8(dir.Path())), {}).size(), 1u);
}

// The text size of each part of a workbook, from its directory.
std::map<std::string, std::uint64_t> PartSizes(const std::string& zip)
{
    const std::string bytes = Slurp(zip);
    const auto le = [&](std::size_t at, int n) {
        std::uint64_t v = 0;
        for (int i = n - 1; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
        return v;
    };
    std::map<std::string, std::uint64_t> sizes;
    const std::size_t end = bytes.size() - 22;
    for (std::size_t at = le(end + 16, 4); at < end && le(at, 4) == 0x02014b50;
         at += 46 + le(at + 28, 2) + le(at + 30, 2) + le(at + 32, 2))
        sizes[bytes.substr(at + 46, le(at + 28, 2))] = le(at + 24, 4);
    return sizes;
}

// Before anything is written, each part's size is bounded from above: a limit
// below the bound refuses the workbook, naming the limit and CSV; the parts
// then written stay within the smallest limit that passes, also for text that
// XML makes longest (control characters, markup, Windows-1252 letters).
TEST(ExportWorkbook, PartsThatCouldPassTheirLimitAreRefusedBeforeWriting)
{
    TTempDir dir;
    const std::string files[] = {dir.Write("ABCD_070312_143001.DAT", Block(40, "\x01&<\x80_x0041_", "\r\n")),
                                 dir.Write("ABCD_070312_143002.DAT", Block(0, "f", "\n") + Block(3, std::string(900, 'y'), "\n"))};
    TWorkbookRows rows;
    for (const std::string& path : files) {
        TExportPlan plan;
        TSamplingData data;
        CheckForExport(path, data, plan, 1);
        ASSERT_EQ(data.MessageCount, 0);
        ASSERT_FALSE(rows.Measure(path));
        rows.Add(plan);
    }
    EXPECT_EQ(rows.Overflow("t.xlsx"), "");
    std::uint64_t passes = std::uint64_t{1} << 40, fails = 0;
    while (passes - fails > 1) {
        const std::uint64_t limit = fails + (passes - fails) / 2;
        (rows.Overflow("t.xlsx", limit).empty() ? passes : fails) = limit;
    }
    const std::string why = rows.Overflow("t.xlsx", fails);
    EXPECT_NE(why.find(std::to_string(fails) + " Bytes"), std::string::npos) << why;
    EXPECT_NE(why.find("--format csv"), std::string::npos) << why;

    const std::string target = dir.File("t.xlsx");
    {
        TXlsxTable workbook(target, rows.Widths());
        for (const std::string& path : files) {
            workbook.BeginFile(path);
            TFileSource file(path);
            std::unique_ptr<char[]> buffer;
            WalkInvestigationsPart(file, TFilePart{}, workbook, buffer);
        }
        workbook.Commit();
    }
    const std::map<std::string, std::uint64_t> sizes = PartSizes(target);
    ASSERT_EQ(sizes.size(), 8u);
    for (const auto& [part, size] : sizes)
        EXPECT_LE(size, passes) << part;
}

// A field longer than a cell is found before writing, on its own line, and
// nothing of its file counts.
TEST(ExportWorkbook, AFieldLongerThanACellIsFoundWithItsLine)
{
    TTempDir dir;
    std::string text = Block(1, "f", "\n") + Block(2, "f", "\n");
    const std::size_t field35 = text.find("|f1|", text.find("2|MATW", text.find("3|1\n")));
    text.replace(field35 + 1, 2, std::string(32768, 'z'));
    TWorkbookRows rows;
    const std::optional<TLongField> field = rows.Measure(dir.Write("ABCD_070312_143001.DAT", text));
    ASSERT_TRUE(field);
    EXPECT_EQ(field->Line, 6);
    EXPECT_EQ(field->Field, 35);
    EXPECT_EQ(field->Chars, 32768u);
    EXPECT_TRUE(rows.Widths().Parameters.empty());
    text.replace(field35 + 1, 32768, std::string(32767, 'z'));
    EXPECT_FALSE(rows.Measure(dir.Write("ABCD_070312_143002.DAT", text)));
    EXPECT_EQ(rows.Widths().Parameters.at(3 + 34), 32767u);
}

// The read-back takes only the file as written: rows, length and bytes.
TEST(ExportWorkbook, TheReadBackFindsACutOrChangedFile)
{
    TTempDir dir;
    const std::string path = dir.File("t.xlsx");
    const std::string sheet = "xl/worksheets/sheet1.xml";
    {
        TZipWriter zip(path, "t.xlsx");
        zip.Add("a.xml", "<a/>");
        zip.Begin(sheet);
        zip.Write("<worksheet><sheetData><row r=\"1\"/>");
        zip.Write("<row r=\"2\"/></sheetData></worksheet>");
        zip.End();
        zip.Finish();
    }
    const std::string good = Slurp(path);
    EXPECT_NO_THROW(VerifyWorkbook(path, {{sheet, 2}}));
    std::string changed = good;
    changed[30 + 5 + 20 + 1] ^= 0x10; // in the deflated bytes of a.xml
    struct Case {
        const char* Name;
        std::string Bytes;
        std::uint64_t Rows;
    };
    const Case cases[] = {{"other rows", good, 3}, {"cut", good.substr(0, good.size() - 30), 2}, {"changed", changed, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::ofstream(PathFromUtf8(path), std::ios::binary | std::ios::trunc) << c.Bytes;
        EXPECT_THROW(VerifyWorkbook(path, {{sheet, c.Rows}}), EOutputError);
    }
}
#endif

} // namespace
