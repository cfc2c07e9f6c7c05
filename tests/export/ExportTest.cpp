#include "ByteSource.h"
#include "CsvTable.h"
#include "ExportCheck.h"
#include "ExportOracle.h"
#include "ExportPlan.h"
#include "ExportTarget.h"
#include "InvestigationWalk.h"
#include "JsonLinesTable.h"
#include "OutputFile.h"
#include "ParallelExport.h"
#include "Process.h"
#include "Progress.h"
#include "SamplingData.h"
#include "TempDir.h"
#include "TransferFileCheck.h"
#ifdef MORVASK_HAVE_XLSX
#include "WorkbookExport.h"
#include "ZipWriter.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <thread>
#include <tuple>
#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#endif

namespace {

struct TStringOutput : TOutput {
    void Write(std::string_view bytes) override { Text += bytes; }
    std::string Text;
};

std::string Line(std::string first, int count, const std::string& filler)
{
    for (int i = 1; i < count; ++i)
        first += "|" + filler + std::to_string(i);
    return first + "|";
}

// One block: header lines, n parameter lines, end line; br between lines.
std::string Block(int n, const std::string& filler, const std::string& br)
{
    std::string b = Line("1|E", 31, filler) + br + Line("2|MATW", 9, filler) + br;
    for (int k = 0; k < n; ++k)
        b += Line("2", 11, filler) + br;
    return b + "3|" + std::to_string(n) + br;
}

// A block whose parameter fields hold one odd byte at every place in every
// length up to two words and a bit: the writers treat whole words and the
// bytes after the last one apart.
std::string OddBytesEverywhere()
{
    std::vector<std::string> fields;
    for (const char odd : std::string("\",\\\x7f\x01\xfc\x81\xb5"))
        for (std::size_t length = 1; length <= 17; ++length)
            for (std::size_t at = 0; at < length; ++at)
                fields.push_back(std::string(length, 'a').replace(at, 1, 1, odd));
    std::string lines;
    for (std::size_t k = 0; k + 10 < fields.size(); k += 10) {
        lines += "2";
        for (std::size_t i = k; i < k + 10; ++i)
            lines += "|" + fields[i];
        lines += "|\n";
    }
    const std::size_t n = std::count(lines.begin(), lines.end(), '\n');
    return Line("1|E", 31, "f") + "\n" + Line("2|MATW", 9, "f") + "\n" + lines + "3|" + std::to_string(n) + "\n";
}

// Files that pass the check, with every kind of line end, cut and odd byte.
struct TWalkCase {
    const char* Name;
    std::string Bytes;
};

std::vector<TWalkCase> WalkCases()
{
    const std::string odd = " M\xFC"
                            "ller \"&\" \xB5g,l;x \x81 =SUMME(A1) \t";
    return {
        {"crlf", Block(2, "f", "\r\n") + Block(0, "g", "\r\n")},
        {"lf", Block(1, "f", "\n") + Block(3, "g", "\n")},
        {"cr", Block(3, "f", "\r") + Block(1, "g", "\r")},
        {"no final break", Block(1, "f", "\r\n") + "1|E|2|3"},
        {"end line with separator", Block(0, "x", "\n").replace(Block(0, "x", "\n").size() - 4, 3, "3|0|")},
        {"odd bytes", Block(2, odd, "\r\n") + Block(0, "", "\r\n")},
        {"odd bytes everywhere", OddBytesEverywhere()},
        {"lone line behind", Block(2, "f", "\r\n") + "kein Block\r\n"},
        {"NUL ends the text", Block(1, "f", "\n") + std::string(1, '\0') + "Rest|"},
        {"end line as the last line after header line 1", Block(1, "f", "\n") + Line("1|E", 31, "h") + "\n3|0\n"},
    };
}

TEST(ExportWalk, TablesReadBackExactlyWhateverTheChunks)
{
    for (const TWalkCase& c : WalkCases()) {
        SCOPED_TRACE(c.Name);
        TSamplingData data;
        CheckTransferBytes(c.Bytes, data);
        ASSERT_EQ(data.MessageCount, 0) << data.MessageText;
        const auto exams = ExportOracle::Investigations(c.Bytes);
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{64}, c.Bytes.size()}) {
            SCOPED_TRACE(chunk);
            TStringOutput csvOut, jsonOut;
            TCsvTable csv(csvOut);
            TJsonLinesTable json(jsonOut);
            csv.BeginFile("a,\"b\".dat");
            json.BeginFile("a,\"b\".dat");
            struct TBoth : TInvestigationSink {
                TInvestigationSink *A, *B;
                void BeginInvestigation(const TWalkInvestigation& i) override { A->BeginInvestigation(i), B->BeginInvestigation(i); }
                void Parameter(const TWalkInvestigation& i, std::int64_t l, const TParameterFields& f) override
                {
                    A->Parameter(i, l, f), B->Parameter(i, l, f);
                }
                void EndInvestigation(const TWalkInvestigation& i, std::int64_t n) override { A->EndInvestigation(i, n), B->EndInvestigation(i, n); }
            } both;
            both.A = &csv;
            both.B = &json;
            TInvestigationWalk walk(both);
            for (std::size_t pos = 0; pos < c.Bytes.size(); pos += chunk)
                walk.Feed(c.Bytes.data() + pos, std::min(chunk, c.Bytes.size() - pos));
            walk.Finish();
            csv.Flush();
            json.Flush();
            EXPECT_EQ(ExportOracle::CompareCsv(csvOut.Text, "a,\"b\".dat", exams), "");
            EXPECT_EQ(ExportOracle::CompareJsonLines(jsonOut.Text, "a,\"b\".dat", exams), "");
        }
    }
}

TEST(ExportWalk, ALineThatNoLongerMatchesTheCheckStopsTheWalk)
{
    struct TIgnore : TInvestigationSink {
        void BeginInvestigation(const TWalkInvestigation&) override { }
        void Parameter(const TWalkInvestigation&, std::int64_t, const TParameterFields&) override { }
        void EndInvestigation(const TWalkInvestigation&, std::int64_t) override { }
    } ignore;
    const std::string good = Block(1, "f", "\n");
    for (const std::string& changed : {good.substr(0, good.size() - 4), "1|E|x|\n" + good.substr(good.find('\n') + 1),
                                       good.substr(0, good.rfind("2|", good.size() - 5)) + "2|a|\n3|1\n"}) {
        TInvestigationWalk walk(ignore);
        EXPECT_THROW({
            walk.Feed(changed.data(), changed.size());
            walk.Finish();
        },
                     ETransferChanged)
            << changed;
    }
}

// Many blocks of different lengths: enough for every cut and part.
std::string ManyBlocks(const std::string& br)
{
    std::string bytes;
    for (int e = 0; e < 40; ++e)
        bytes += Block(e % 7, std::string("w").append(std::to_string(e)), br);
    return bytes;
}

// What one walk of the whole file writes as CSV and as JSON Lines; the
// tables are left flushed when the walk throws, as the program leaves them.
std::pair<std::string, std::string> OneWalk(std::string_view bytes)
{
    TStringOutput csvOut, jsonOut;
    TCsvTable csv(csvOut);
    TJsonLinesTable json(jsonOut);
    csv.BeginFile("f.dat");
    json.BeginFile("f.dat");
    for (TBufferedTable* table : {static_cast<TBufferedTable*>(&csv), static_cast<TBufferedTable*>(&json)}) {
        TInvestigationWalk walk(*table);
        try {
            walk.Feed(bytes.data(), bytes.size());
            walk.Finish();
        } catch (const ETransferChanged&) {
        }
        table->Flush();
    }
    return {csvOut.Text, jsonOut.Text};
}

// The same, walked in parts on three threads; true when a part threw ETransferChanged.
bool InParts(std::string_view bytes, const std::vector<TFilePart>& parts, std::pair<std::string, std::string>& out)
{
    TStringOutput csvOut, jsonOut;
    TCsvTable csv(csvOut);
    TJsonLinesTable json(jsonOut);
    bool changed = false;
    for (TBufferedTable* table : {static_cast<TBufferedTable*>(&csv), static_cast<TBufferedTable*>(&json)}) {
        table->BeginFile("f.dat");
        table->Flush();
        TMemorySource source(bytes);
        try {
            // A small buffer makes the threads wait for their turn inside a part too.
            ExportParts(source, parts, *table, table == &csv ? static_cast<TOutput&>(csvOut) : jsonOut, 3, 16);
        } catch (const ETransferChanged&) {
            changed = true;
        }
    }
    out = {csvOut.Text, jsonOut.Text};
    return changed;
}

std::vector<std::tuple<std::uint64_t, std::int64_t, std::int64_t, bool, std::uint64_t, std::int64_t>> Fields(const std::vector<TFilePart>& parts)
{
    std::vector<std::tuple<std::uint64_t, std::int64_t, std::int64_t, bool, std::uint64_t, std::int64_t>> fields;
    for (const TFilePart& p : parts)
        fields.emplace_back(p.Offset, p.Number, p.FirstLine, p.Last, p.End, p.NextLine);
    return fields;
}

TEST(ExportParts, PiecesAndPartsSideBySideGiveWhatOneWalkGives)
{
    std::vector<TWalkCase> cases = WalkCases();
    cases.push_back({"many, CR LF", ManyBlocks("\r\n")});
    cases.push_back({"many, CR", ManyBlocks("\r")});
    cases.push_back({"many, lone line behind", ManyBlocks("\n") + "3|x"});
    for (const TWalkCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSamplingData data;
        TExportPlan whole(1);
        CheckTransferBytes(c.Bytes, data, 256 << 10, &whole);
        ASSERT_EQ(data.MessageCount, 0);
        TMemorySource source(c.Bytes);
        TExportPlan pieces(1);
        std::int32_t unexamined = -1;
        const bool split = CheckPassesInPieces(source, pieces, 3, 1, &unexamined);
        if (std::string_view(c.Name).starts_with("many")) {
            EXPECT_TRUE(split);
        }
        if (split) {
            EXPECT_EQ(Fields(pieces.Parts()), Fields(whole.Parts()));
            EXPECT_EQ(unexamined, data.UnexaminedLine);
        }
        // The rows of the workbook's sheets, counted by the check.
        const auto exams = ExportOracle::Investigations(c.Bytes);
        std::int64_t parameterRows = 0;
        for (const auto& exam : exams)
            parameterRows += std::max<std::int64_t>(static_cast<std::int64_t>(exam.Parameters.size()), 1);
        for (const TExportPlan* plan : {&whole, split ? &pieces : &whole}) {
            EXPECT_EQ(plan->Investigations(), static_cast<std::int64_t>(exams.size()));
            EXPECT_EQ(plan->ParameterRows(), parameterRows);
        }
        const auto expected = OneWalk(c.Bytes);
        TExportPlan few(1, 3);
        CheckTransferBytes(c.Bytes, data, 256 << 10, &few);
        EXPECT_LE(few.Parts().size(), 3u);
        for (const TExportPlan* plan : {&whole, &few}) {
            std::pair<std::string, std::string> got;
            EXPECT_FALSE(InParts(c.Bytes, plan->Parts(), got));
            EXPECT_EQ(got, expected);
        }
    }
}

TEST(ExportParts, AFindingInAnyPieceLeavesTheFileToTheWholeCheck)
{
    const std::string good = ManyBlocks("\r\n");
    for (const std::size_t at : {good.size() / 6, good.size() / 2, good.size() - 20}) {
        std::string bad = good;
        bad[bad.find("|w", at)] = 'x'; // one field fewer
        TMemorySource source(bad);
        TExportPlan plan(1);
        EXPECT_FALSE(CheckPassesInPieces(source, plan, 3, 1)) << at;
    }
    // A NUL ends the text in the first piece: what follows is no examination.
    std::string ended = good;
    ended[good.size() / 4] = '\0';
    TMemorySource source(ended);
    TExportPlan plan(1);
    EXPECT_FALSE(CheckPassesInPieces(source, plan, 3, 1));
}

TEST(ExportParts, AFileChangedAfterItsCheckStopsWhereOneWalkStops)
{
    const std::string good = ManyBlocks("\n");
    TSamplingData data;
    TExportPlan plan(1);
    CheckTransferBytes(good, data, 256 << 10, &plan);
    std::string changed = good;
    changed[changed.find("|w3", good.size() / 2)] = 'x';
    std::pair<std::string, std::string> got;
    EXPECT_TRUE(InParts(changed, plan.Parts(), got));
    EXPECT_EQ(got, OneWalk(changed));
    EXPECT_TRUE(InParts(good.substr(0, good.size() / 2), plan.Parts(), got));
}

std::string Slurp(const std::string& path)
{
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ExportJsonLines, TheBinaryWritesWhatTheStrictReaderGivesBack)
{
    TTempDir dir;
    std::string many;
    for (int e = 0; e < 100000; ++e)
        many += Block(e % 1000 == 0 ? 2 : 0, std::string("v").append(std::to_string(e % 97)), "\r\n");
    const std::vector<std::string> files = {
        dir.Write("ABCD_070312_143001.DAT", WalkCases()[5].Bytes),
        dir.Write("ABCD_070312_143002.DAT", many),
        std::string(MORVASK_EXAMPLES_DIR) + "/WVMO_261015_093000.DAT",
    };
    std::vector<std::string> args = {"--format", "jsonl"};
    args.insert(args.end(), files.begin(), files.end());
    const TProcessResult run = RunProgram(MORVASK_EXPORT_BINARY, args, dir.Path());
    EXPECT_EQ(run.ExitCode, 0) << run.Errors;
    const std::string& text = run.Output;
    std::size_t pos = 0;
    for (const std::string& f : files) {
        SCOPED_TRACE(f);
        const auto exams = ExportOracle::Investigations(Slurp(f));
        std::size_t end = pos;
        for (std::size_t e = 0; e < exams.size() && end != std::string::npos; ++e)
            end = text.find('\n', end) + 1;
        ASSERT_NE(end, 0u);
        EXPECT_EQ(ExportOracle::CompareJsonLines(std::string_view(text).substr(pos, end - pos), f, exams), "");
        pos = end;
    }
    EXPECT_EQ(pos, text.size());
}

// Names outside any ANSI code page, in the arguments, the table and the messages.
TEST(ExportRun, UnicodeNamesArgumentsAndStatus)
{
    TTempDir dir, scratch;
    std::filesystem::create_directory(PathFromUtf8(dir.File("Łódź")));
    const std::string good = dir.Write("Łódź/ABCD_070312_143005.DAT", Block(2, "f", "\r\n"));
    const std::string faulty = dir.Write("Łódź/ABCD_070312_143006.DAT",
                                         Line("1|E", 31, "f") + "\r\n" + Line("2|MATW", 9, "f") + "\r\n" + Line("2", 10, "f") + "\r\n3|1\r\n");
    const std::string missing = dir.File("Łódź/fehlt.dat");
    const std::string workbook = dir.File("Łódź/Tabelle €.xlsx");
#ifdef MORVASK_HAVE_XLSX
    const int workbookStatus = 0;
    const std::string workbookError;
#else
    const int workbookStatus = 2;
    const std::string workbookError = "--xlsx ist in dieser Ausgabe nicht enthalten";
#endif
    struct Case {
        std::vector<std::string> Args;
        int Status;
        std::string InOutput;
        std::string InErrors;
    };
    const Case cases[] = {
        {{good}, 0, "\n" + good + ",1,", ""},
        {{"--format=jsonl", good, faulty}, 1, "\"firstLine\"", faulty + ":4: "},
        {{missing, good}, 2, good, "morvask-export: Datei " + missing + " kann nicht ge\xC3\xB6"
                                                                        "ffnet werden. Grund: Datei oder Ordner nicht vorhanden.\n"},
        {{"--xlsx", workbook, good}, workbookStatus, "", workbookError},
        {{"--bogus-€"}, 2, "", "unbekannte Option --bogus-€\n"},
        {{"--format=xml", good}, 2, "", "morvask-export: unbekanntes Format xml (csv oder jsonl)\n"},
        {{"--format=", good}, 2, "", "morvask-export: --format ohne Wert\n"},
        {{good, "--format"}, 2, "", "morvask-export: --format ohne Wert\n"},
        {{"--xlsx=", good}, 2, "", "morvask-export: --xlsx ohne Ausgabedatei\n"},
        {{"--format=csv", "--xlsx", workbook, good}, 2, "", "morvask-export: --format und --xlsx schließen sich aus\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args.front());
        const TProcessResult run = RunProgram(MORVASK_EXPORT_BINARY, c.Args, scratch.Path());
        EXPECT_EQ(run.ExitCode, c.Status);
        EXPECT_NE(run.Output.find(c.InOutput), std::string::npos) << run.Output.substr(0, 2000);
        EXPECT_NE(run.Errors.find(c.InErrors), std::string::npos) << run.Errors;
        EXPECT_EQ(run.Errors.empty(), c.InErrors.empty()) << run.Errors;
    }
    EXPECT_EQ(std::filesystem::exists(PathFromUtf8(workbook)), workbookStatus == 0);
}

// The heading comes with the first file exported: nothing exported, no table.
TEST(ExportRun, TheHeadingComesWithTheFirstFileExported)
{
    TTempDir dir, scratch;
    const std::string faulty = dir.Write("ABCD_070312_143006.DAT", Block(1, "f", "\n").replace(0, 1, "7"));
    const std::string good = dir.Write("ABCD_070312_143007.DAT", Block(1, "g", "\n"));
    const std::string heading = "Datei,Untersuchung Nr.,";
    struct Case {
        std::vector<std::string> Args;
        int Status;
        std::size_t Headings;
    };
    const Case cases[] = {{{faulty}, 1, 0}, {{faulty, dir.File("fehlt.DAT")}, 2, 0}, {{"--format=jsonl", faulty}, 1, 0}, {{faulty, good, good}, 1, 1}};
    for (const Case& c : cases) {
        const TProcessResult run = RunProgram(MORVASK_EXPORT_BINARY, c.Args, scratch.Path());
        EXPECT_EQ(run.ExitCode, c.Status) << run.Errors;
        EXPECT_EQ(run.Output.empty(), c.Headings == 0) << run.Output;
        EXPECT_EQ(run.Output.rfind(heading, 0) == 0, c.Headings == 1) << run.Output;
        EXPECT_EQ(run.Output.find(heading, 1), std::string::npos);
    }
}

// Whatever the target, the export never replaces what is not a workbook or
// is one of its inputs; a link is followed to the file it names.
TEST(ExportTarget, OnlyAWorkbookThatIsNoInputIsReplaced)
{
    TTempDir dir;
    const std::string input = dir.Write("ABCD_070312_143005.DAT", Block(1, "f", "\r\n"));
    const std::string namedLikeABook = dir.Write("Eingabe.xlsx", Block(1, "f", "\r\n"));
    const std::string empty = dir.Write("leer.xlsx", "");
    const std::string book = dir.Write("alt.XLSX", std::string("PK\x03\x04", 4) + "Rest");
    std::filesystem::create_directory(PathFromUtf8(dir.File("Ordner.xlsx")));
    const std::string same = "es ist dieselbe Datei wie die Eingabedatei ";
    struct Case {
        std::string Target;
        std::string Refusal; // empty: accepted
        std::string Place = {}; // where an accepted workbook goes
    };
    std::vector<Case> cases = {
        {dir.File("neu.xlsx"), "", dir.File("neu.xlsx")},
        {empty, "", empty},
        {book, "", book},
        {input, "der Name endet nicht auf .xlsx."}, // "--xlsx *.DAT"
        {namedLikeABook, same + namedLikeABook + "."},
        {dir.Write("Notiz.xlsx", "Hallo"), "die vorhandene Datei ist weder leer noch eine Arbeitsmappe"},
        {dir.File("Ordner.xlsx"), "es ist ein Ordner."},
    };
    std::error_code noHardLinks;
    std::filesystem::create_hard_link(PathFromUtf8(input), PathFromUtf8(dir.File("hart.xlsx")), noHardLinks);
    if (!noHardLinks)
        cases.push_back({dir.File("hart.xlsx"), same + input + "."});
#ifndef _WIN32
    const auto link = [&](const std::string& to, const std::string& name) {
        std::filesystem::create_symlink(to, dir.File(name));
        return dir.File(name);
    };
    ASSERT_EQ(mkfifo(dir.File("Pipe.xlsx").c_str(), 0600), 0);
    cases.insert(cases.end(), {
                                  {link("ABCD_070312_143005.DAT", "Verweis.xlsx"), "(verweist auf " + input + ") wird nicht geschrieben: " + same + input + "."},
                                  {link("alt.XLSX", "Zeiger.xlsx"), "", book},
                                  {link("neu2.xlsx", "Vorgriff.xlsx"), "", dir.File("neu2.xlsx")},
                                  {dir.File("Pipe.xlsx"), "es ist eine Pipe (FIFO), keine gew\xC3\xB6hnliche Datei."},
                                  {link("Kreis.xlsx", "Kreis.xlsx"), "kann nicht aufgel\xC3\xB6st werden. Grund: zu viele symbolische Verkn\xC3\xBCpfungen."},
                              });
    const bool haveDevice = std::filesystem::is_character_file("/dev/full");
    if (haveDevice)
        cases.push_back({link("/dev/full", "voll.xlsx"), "es ist ein Ger\xC3\xA4t, keine gew\xC3\xB6hnliche Datei."});
#endif
    const std::vector<std::string> inputs = {dir.File("fehlt.DAT"), input, namedLikeABook};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Target);
        try {
            EXPECT_EQ(CheckWorkbookTarget(c.Target, inputs), c.Place);
            EXPECT_EQ(c.Refusal, "");
        } catch (const EOutputError& e) {
            const std::string text = e.what();
            EXPECT_EQ(text.rfind("Die Arbeitsmappe " + c.Target + " ", 0), 0u) << text;
            EXPECT_NE(c.Refusal, "");
            EXPECT_NE(text.find(c.Refusal), std::string::npos) << text;
        }
    }
#ifndef _WIN32
    if (!haveDevice)
        GTEST_SKIP() << "/dev/full is missing: the device case was left out";
#endif
}

#ifdef MORVASK_HAVE_XLSX
std::vector<std::string> Listing(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(folder)))
        names.push_back(Utf8FromPath(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

// A refused target stops the export before any input is read: one message, nothing written.
TEST(ExportRun, ARefusedTargetStopsBeforeAnyInputIsRead)
{
    TTempDir dir, scratch;
    const std::string a = dir.Write("ABCD_070312_143005.DAT", Block(1, "f", "\r\n"));
    const std::string b = dir.Write("ABCD_070312_143006.DAT", Block(2, "g", "\r\n"));
    std::vector<std::vector<std::string>> cases = {{"--xlsx", a, b}};
#ifndef _WIN32
    std::filesystem::create_symlink(a, dir.File("a.xlsx"));
    cases.push_back({"--xlsx", dir.File("a.xlsx"), b, a});
    const bool haveDevice = std::filesystem::is_character_file("/dev/full");
    if (haveDevice)
        cases.push_back({"--xlsx", "/dev/full", a});
#endif
    const std::vector<std::string> before = Listing(dir.Path());
    for (std::vector<std::string> args : cases) {
        SCOPED_TRACE(args[1]);
        args.push_back(dir.File("fehlt.DAT"));
        const TProcessResult run = RunProgram(MORVASK_EXPORT_BINARY, args, scratch.Path());
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_EQ(run.Output, "");
        EXPECT_EQ(run.Errors.rfind("morvask-export: Die Arbeitsmappe " + args[1], 0), 0u) << run.Errors;
        EXPECT_EQ(std::count(run.Errors.begin(), run.Errors.end(), '\n'), 1) << run.Errors;
        EXPECT_EQ(Listing(dir.Path()), before);
        EXPECT_EQ(Slurp(a), Block(1, "f", "\r\n"));
    }
#ifndef _WIN32
    if (!haveDevice)
        GTEST_SKIP() << "/dev/full is missing: the device case was left out";
#endif
}
#endif

#if defined(MORVASK_HAVE_XLSX) && !defined(_WIN32)
// Ctrl+C or a termination signal while the workbook is written: the program
// ends by that signal and its temporary file is gone.
TEST(ExportRun, AnInterruptedWorkbookLeavesNoTemporary)
{
    TTempDir dir, scratch;
    std::string many;
    for (int e = 0; e < 20000; ++e)
        many += Block(5, "v", "\r\n");
    const std::string input = dir.Write("ABCD_070312_143005.DAT", many);
    const std::vector<std::string> before = Listing(dir.Path());
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const int pid = StartProgram(MORVASK_EXPORT_BINARY, {"--xlsx", dir.File("Tabelle.xlsx"), input}, scratch.Path());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        // Writing has begun: the temporary file is there and, where /proc shows it, the input is being read.
        const auto writing = [&] {
            const std::vector<std::string> now = Listing(dir.Path());
            if (!std::any_of(now.begin(), now.end(), [](const std::string& n) { return n.starts_with(".Tabelle.xlsx."); }))
                return false;
            // The same file, whatever path leads to it (a temporary folder behind a symbolic link).
            std::error_code noProc;
            for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", noProc)) {
                std::error_code gone;
                if (std::filesystem::equivalent(fd.path(), input, gone))
                    return true;
            }
            return !!noProc;
        };
        // Looked at while stopped, the program cannot finish between the look
        // and the signal; the signal is delivered as it continues.
        bool seen = false;
        while (!seen && std::chrono::steady_clock::now() < deadline) {
            kill(pid, SIGSTOP);
            int status = 0;
            ASSERT_EQ(waitpid(pid, &status, WUNTRACED), pid);
            ASSERT_TRUE(WIFSTOPPED(status)) << "the export ended before it could be interrupted";
            seen = writing();
            if (seen)
                kill(pid, signal);
            kill(pid, SIGCONT);
            std::this_thread::yield();
        }
        const TProcessResult run = FinishProgram(pid, scratch.Path());
        ASSERT_TRUE(seen);
        EXPECT_EQ(run.Signal, signal) << run.ExitCode << run.Errors;
        EXPECT_EQ(Listing(dir.Path()), before);
    }
}
#endif

// The workbook's temporary file lies beside the target and takes its place.
TEST(ExportOutputFile, ATemporaryFileBesideReplacesTheTarget)
{
    TTempDir dir, work;
    std::filesystem::create_directory(PathFromUtf8(dir.File("Łódź")));
    const std::string target = dir.Write("Łódź/Tabelle €.xlsx", "alt");
    struct Case {
        std::string Target;
        std::string Folder;
    };
    std::vector<Case> cases = {{target, dir.File("Łódź")}, {"Tabelle.xlsx", "."}};
#ifdef _WIN32
    for (char& c : cases[0].Folder)
        c = c == '/' ? '\\' : c;
    cases[0].Target = cases[0].Folder + "\\Tabelle €.xlsx";
    const std::string drive = target.substr(0, 2);
    cases.push_back({drive + "Tabelle.xlsx", drive});
#endif
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(PathFromUtf8(work.Path()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Target);
        EXPECT_EQ(FolderOf(c.Target), c.Folder);
        const std::string temporary = CreateFileBeside(c.Target);
        EXPECT_EQ(FolderOf(temporary), c.Folder);
        std::ofstream(PathFromUtf8(temporary), std::ios::binary) << "neu";
        EXPECT_TRUE(SyncFile(temporary));
        EXPECT_TRUE(MoveIntoPlace(temporary, c.Target));
        EXPECT_EQ(Slurp(c.Target), "neu");
        EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(temporary)));
        RemoveFile(c.Target);
        EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(c.Target)));
    }
    std::filesystem::current_path(before);
}

// Progress by a clock that the test moves: nothing unless shown and the run
// outlasts the first interval, then at most one line per interval, rising,
// and the line cleared at the end.
TEST(ExportProgress, ThrottledByBytesAndClock)
{
    using namespace std::chrono;
    struct Case {
        const char* Name;
        bool Shown;
        milliseconds PerStep;
        std::uint64_t StepBytes;
        int MinLines, MaxLines;
    };
    const std::uint64_t mb = TProgress::ClockBytes;
    const Case cases[] = {
        {"not a terminal", false, milliseconds(1000), mb, 0, 0},
        {"a short run", true, milliseconds(1), mb, 0, 0},
        {"a long run", true, milliseconds(100), mb, 3, 4}, // 1 s: one line per 250 ms
        {"small reads look at the clock by the megabyte", true, milliseconds(100), mb / 4, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        steady_clock::time_point now{};
        int clockReads = 0;
        std::vector<std::string> written;
        {
            TProgress progress(
                10 * c.StepBytes, c.Shown, [&](std::string_view text) { written.emplace_back(text); }, [&] {
                ++clockReads;
                return now; });
            for (int step = 0; step < 10; ++step) {
                now += c.PerStep;
                progress.Advance(c.StepBytes);
            }
        }
        const int lines = static_cast<int>(written.size()) - (written.empty() ? 0 : 1);
        EXPECT_GE(lines, c.MinLines);
        EXPECT_LE(lines, c.MaxLines);
        EXPECT_LE(clockReads, static_cast<int>(10 * c.StepBytes / mb) + 1);
        int last = -1;
        for (int i = 0; i < lines; ++i) {
            const int percent = std::atoi(written[static_cast<std::size_t>(i)].c_str() + std::string("\rmorvask-export: ").size());
            EXPECT_GT(percent, last);
            EXPECT_LE(percent, 100);
            last = percent;
        }
        if (!written.empty()) {
            EXPECT_EQ(written.back().find_first_not_of("\r "), std::string::npos);
        }
    }
}

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

#ifdef _WIN32
// In a console the table arrives as characters, whatever the console's code page.
TEST(ExportRunWindows, ConsoleShowsTheTable)
{
    TTempDir dir, scratch;
    const std::string path = dir.Write("Łódź_070312_143005.DAT", Block(1, "M\xFCller", "\r\n"));
    const TConsoleRun console = RunProgramOnConsole(MORVASK_EXPORT_BINARY, {path}, scratch.Path());
    if (!console.Available) {
        // The Wine run provides a console and says so; elsewhere there may be none.
        ASSERT_EQ(std::getenv("MORVASK_CONSOLE_REQUIRED"), nullptr) << "no console";
        GTEST_SKIP() << "no console available";
    }
    EXPECT_EQ(console.Run.ExitCode, 0) << console.Run.Errors;
    EXPECT_NE(console.Shown.find(PathFromUtf8(path + ",1,").wstring()), std::wstring::npos);
    EXPECT_NE(console.Shown.find(L"M\u00fcller1"), std::wstring::npos);
}
#endif

} // namespace
