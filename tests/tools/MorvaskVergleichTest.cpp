// Runs the real morvask-vergleich on the table of comparisons and on the examples.
#include "ComparisonCases.h"
#include "JsonTestSupport.h"
#include "Process.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TProcessResult RunComparison(const TTempDir& scratch, const std::vector<std::string>& args)
{
    return RunProgram(MORVASK_VERGLEICH_BINARY, args, scratch.Path());
}

std::string DescribeKey(const TJsonValue* key)
{
    std::string text;
    if (key != nullptr)
        for (const auto& [field, value] : key->Members())
            text += (text.empty() ? "" : " ") + field + "=" + value.Text();
    return text;
}

// A JSON Lines record as the table writes a difference.
std::string Describe(const TJsonValue& d)
{
    const std::string key = DescribeKey(&At(d, "key"));
    const auto line = [&](const char* name) {
        const TJsonValue& v = At(d, name);
        return v.Kind() == TJsonValue::TKind::Null ? 0 : v.Integer();
    };
    const auto text = [&](const char* name) { return d.Member(name) ? d.Member(name)->Text() : std::string(); };
    const int field = d.Member("field") ? static_cast<int>(d.Member("field")->Integer()) : 0;
    return ComparisonCases::Describe(At(d, "kind").Text(), key, field, line("oldLine"), line("newLine"), text("old"),
                                     text("new"), text("parameterId"));
}

TEST(MorvaskVergleich, TableOfCasesAsJsonLines)
{
    using ComparisonCases::EOutcome;
    for (const ComparisonCases::TCase& c : ComparisonCases::Cases()) {
        SCOPED_TRACE(c.Name);
        TTempDir dir, scratch;
        const std::string oldPath = dir.Write("alt.dat", c.Old);
        const std::string newPath = c.Outcome == EOutcome::Missing ? dir.File("fehlt.dat") : dir.Write("neu.dat", c.New);
        const TProcessResult run = RunComparison(scratch, {"--format", "jsonl", oldPath, newPath});
        switch (c.Outcome) {
        case EOutcome::Missing:
            EXPECT_EQ(run.ExitCode, 2);
            EXPECT_NE(run.Errors.find("fehlt.dat kann nicht geöffnet werden. Grund: "), std::string::npos) << run.Errors;
            EXPECT_EQ(run.Output, "");
            continue;
        case EOutcome::Findings:
            // The messages as morvask-check prints them, the old file's note-free.
            EXPECT_EQ(run.ExitCode, 2);
            EXPECT_NE(run.Errors.find(newPath + ":3: Die Zeile muss genau 11 Felder"), std::string::npos) << run.Errors;
            EXPECT_EQ(run.Errors.find(oldPath), std::string::npos) << run.Errors;
            EXPECT_EQ(run.Output, "");
            continue;
        case EOutcome::Same:
        case EOutcome::Differences:
            break;
        }
        EXPECT_EQ(run.ExitCode, c.Outcome == EOutcome::Same ? 0 : 1) << run.Errors;
        std::vector<std::string> found;
        for (const std::string& line : OutputLines(run.Output)) {
            const TJsonValue d = ParseJson(line);
            found.push_back(Describe(d));
            EXPECT_EQ(DescribeKey(d.Member("oldKey")), c.OldKey) << line;
        }
        EXPECT_EQ(found, c.Differences);
    }
}

TEST(MorvaskVergleich, TextAndCsvOfTheExamples)
{
    TTempDir scratch;
    const std::string before = std::string(MORVASK_EXAMPLES_DIR) + "/WVMO_261015_093000.DAT";
    const std::string after = std::string(MORVASK_EXAMPLES_DIR) + "/WVMO_261016_081500.DAT";
    const TProcessResult text = RunComparison(scratch, {before, after});
    EXPECT_EQ(text.ExitCode, 1) << text.Errors;
    const std::vector<std::string> lines = OutputLines(text.Output);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "1 Untersuchung neu, 1 entfallen, 3 geändert, 3 gleich");
    EXPECT_NE(text.Output.find("\n  Probe-Daten Probenahme am (22): „13.10.2026 08:25“ → „13.10.2026 08:45“ (Zeile 92 alt, Zeile 81 neu)\n"),
              std::string::npos)
        << text.Output;

    const TProcessResult csv = RunComparison(scratch, {"--format=csv", before, after});
    EXPECT_EQ(csv.ExitCode, 1);
    const std::vector<std::string> rows = OutputLines(csv.Output);
    ASSERT_EQ(rows.size(), 7u) << csv.Output;
    EXPECT_EQ(rows[0], "Art,Schlüssel,Zeile alt,Zeile neu,Feld,Name,Alt,Neu,Param.-ID,Param.-Text");
    // The kind in words; a key holds a comma: quoted; a value with a comma stays whole.
    EXPECT_EQ(rows[1],
              "Feld geändert,\"31=„L0815“, 3=„L-2026-04711“\",3,18,48,Analyse-Daten U-Wert (48),\"0,53\",\"0,35\",4009,Fluorid");
    EXPECT_EQ(csv.Output.find('\r'), std::string::npos);

    // The later file given first: compared as given, with a note.
    EXPECT_EQ(text.Errors, "");
    const TProcessResult reversed = RunComparison(scratch, {after, before});
    EXPECT_EQ(reversed.ExitCode, 1);
    EXPECT_NE(reversed.Errors.find("Hinweis: " + before + " ist nach Datum und Uhrzeit in den Dateinamen älter als " + after),
              std::string::npos)
        << reversed.Errors;
    EXPECT_EQ(OutputLines(reversed.Output)[0], "1 Untersuchung neu, 1 entfallen, 3 geändert, 3 gleich");

    // The same file twice: nothing to say, status 0.
    const TProcessResult same = RunComparison(scratch, {before, before});
    EXPECT_EQ(same.ExitCode, 0);
    EXPECT_EQ(same.Output, "0 Untersuchungen neu, 0 entfallen, 0 geändert, 7 gleich\n");
}

TEST(MorvaskVergleich, WrongArguments)
{
    struct TCase {
        std::vector<std::string> Args;
        std::string Says;
    };
    TTempDir scratch;
    for (const TCase& c : std::vector<TCase>{
             {{"a.dat"}, "zwei Dateien"},
             {{"a.dat", "b.dat", "c.dat"}, "mehr als zwei Dateien"},
             {{"--schluessel", "0", "a.dat", "b.dat"}, "ungültige Schlüsselfelder 0 (Feldnummern 1 bis 42"},
             {{"--schluessel=3,", "a.dat", "b.dat"}, "ungültige Schlüsselfelder 3,"},
             {{"--schluessel", "3,3", "a.dat", "b.dat"}, "ungültige Schlüsselfelder 3,3"},
             {{"--schluessel", "43", "a.dat", "b.dat"}, "ungültige Schlüsselfelder 43"},
             {{"--format", "xml", "a.dat", "b.dat"}, "morvask-vergleich: unbekanntes Format xml (text, jsonl oder csv)\n"},
             {{"a.dat", "b.dat", "--format"}, "morvask-vergleich: --format ohne Wert\n"},
             {{"--format=", "a.dat", "b.dat"}, "morvask-vergleich: --format ohne Wert\n"},
             {{"--xlsx=", "a.dat", "b.dat"}, "morvask-vergleich: --xlsx ohne Ausgabedatei\n"},
             {{"--verbose", "a.dat", "b.dat"}, "unbekannte Option --verbose"}}) {
        const TProcessResult run = RunComparison(scratch, c.Args);
        EXPECT_EQ(run.ExitCode, 2) << c.Args.front();
        EXPECT_NE(run.Errors.find(c.Says), std::string::npos) << run.Errors;
        EXPECT_NE(run.Errors.find("Weitere Informationen mit »morvask-vergleich --help«."), std::string::npos) << run.Errors;
        EXPECT_EQ(run.Output, "");
    }
}

} // namespace
