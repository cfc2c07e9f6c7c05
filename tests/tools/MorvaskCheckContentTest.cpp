#include "ContentCases.h"
#include "Cp1252.h"
#include "JsonTestSupport.h"
#include "Process.h"
#include "TempDir.h"

#include <gtest/gtest.h>

// morvask-check --inhalt as a script meets it: the table of content cases
// through its JSON, and its text, note and exit status.

namespace {

TProcessResult RunChecker(const TTempDir& scratch, const std::vector<std::string>& args)
{
    return RunProgram(MORVASK_CHECK_BINARY, args, scratch.Path());
}

} // namespace

TEST(MorvaskCheckContent, TableOfCasesAsJson)
{
    TTempDir scratch;
    for (const ContentCases::TCase& c : ContentCases::Cases()) {
        SCOPED_TRACE(c.Name);
        TTempDir dir, lists;
        const std::string file = dir.Write(ContentCases::FileName(c), ContentCases::FileText(c));
        if (c.List != nullptr)
            lists.Write("Feld" + std::to_string(ContentCases::ListOf(c)) + ".txt", ContentCases::ListText(c));
        const TProcessResult run = RunChecker(scratch, {"--inhalt", "--json", "--kodelisten", lists.Path(), file});
        EXPECT_EQ(run.ExitCode, c.Code < 0 ? 0 : 1);
        const TJsonValue record = ParseJson(run.Output);
        const std::vector<TJsonValue>& messages = At(record, "messages").Items();
        if (c.Code < 0) {
            EXPECT_TRUE(messages.empty()) << run.Output;
            continue;
        }
        ASSERT_EQ(messages.size(), 1u) << run.Output;
        EXPECT_EQ(At(messages[0], "code").Integer(), c.Code);
        EXPECT_EQ(At(messages[0], "line").Integer(), c.Line);
        EXPECT_TRUE(At(messages[0], "content").Boolean());
        EXPECT_EQ(At(messages[0], "text").Text(), "       Zeile   " + std::to_string(c.Line) + ": " + Cp1252ToUtf8(ContentCases::ExpectedBody(c)));
    }
}

// The text form, the note on lists that are missing, the structure first,
// and what stays as it was without --inhalt.
TEST(MorvaskCheckContent, TextNoteAndExitStatus)
{
    TTempDir dir, lists, scratch;
    const ContentCases::TCase& postcode = ContentCases::Cases()[6];
    ASSERT_EQ(std::string(postcode.Name), "postcode of four digits");
    const std::string file = dir.Write(ContentCases::FileName(postcode), ContentCases::FileText(postcode));
    lists.Write("Feld24.txt", "b1f24\nb2f24\n");
    const std::string missing = "Feld25.txt, Feld27.txt, Feld28.txt, Feld29.txt, Feld31.txt, Feld35.txt, Feld39.txt, "
                                "Feld44.txt, Feld48.txt, Feld49.txt, Feld51.txt, Feld52.txt und Feld53.txt";
    const TProcessResult run = RunChecker(scratch, {"--inhalt", "--kodelisten=" + lists.Path(), file});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Output, file + ":5: Die PLZ '6479' in Feld 18 fehlt oder ist ung\xC3\xBCltig.\n");
    EXPECT_EQ(run.Errors, "morvask-check: Hinweis: Im Ordner " + lists.Path() + " fehlen " + missing +
                              "; ohne Kodeliste nicht gepr\xC3\xBC"
                              "ft: Felder 25, 27, 28, 29, 31, 35, 39, 44, 48, 49, 51, 52 und 53.\n");

    // Without --inhalt nothing changes.
    const TProcessResult plain = RunChecker(scratch, {"--json", file});
    EXPECT_EQ(plain.ExitCode, 0);
    EXPECT_EQ(plain.Output.find("content"), std::string::npos);

    // A file with structure findings gets those alone, marked as no content.
    const std::string broken = dir.Write("ABCD_070312_143006.DAT", ContentCases::FileText(postcode) + "x\r\nx\r\n");
    const TProcessResult structure = RunChecker(scratch, {"--inhalt", "--json", "--kodelisten", lists.Path(), broken});
    EXPECT_EQ(structure.ExitCode, 1);
    const TJsonValue structureRecord = ParseJson(structure.Output);
    for (const TJsonValue& m : At(structureRecord, "messages").Items())
        EXPECT_FALSE(At(m, "content").Boolean()) << structure.Output;

    // A list at fault stops the run before any file: exit 2 and where.
    lists.Write("Feld39.txt", "1\n|2\n");
    const TProcessResult badList = RunChecker(scratch, {"--inhalt", "--kodelisten", lists.Path(), file});
    EXPECT_EQ(badList.ExitCode, 2);
    EXPECT_EQ(badList.Output, "");
    EXPECT_EQ(badList.Errors, "morvask-check: Kodeliste " + lists.Path() + "/Feld39.txt, Zeile 2: die erste Spalte ist leer.\n");

    const TProcessResult withoutContent = RunChecker(scratch, {"--kodelisten", lists.Path(), file});
    EXPECT_EQ(withoutContent.ExitCode, 2);
    EXPECT_EQ(withoutContent.Errors.substr(0, 50), "morvask-check: --kodelisten nur mit --inhalt\nWeite");
}

// The bundled examples without structure findings pass under the bundled lists.
TEST(MorvaskCheckContent, ExamplesPassUnderTheExampleLists)
{
    TTempDir scratch;
    const std::string examples = MORVASK_EXAMPLES_DIR;
    const std::string good[] = {examples + "/WVMO_261015_093000.DAT", examples + "/WVMO_261016_081500.DAT"};
    const TProcessResult run = RunChecker(scratch, {"--inhalt", "--kodelisten", examples + "/kodelisten", good[0], good[1]});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output, good[0] + ": OK\n" + good[1] + ": OK\n");
    EXPECT_EQ(run.Errors, "");
}
