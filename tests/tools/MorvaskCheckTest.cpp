#include "JsonTestSupport.h"
#include "Process.h"
#include "SystemErrorText.h"
#include "TempDir.h"
#include "TransferText.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

// Runs the real morvask-check binary on files the tests write.

namespace {

const std::string H1 = TransferText::Header1(1);
const std::string H2 = TransferText::Header2(1);
const std::string P = TransferText::Parameter(1, 0);
const std::string Good = H1 + "\r\n" + H2 + "\r\n" + P + "\r\n" + P + "\r\n3|2\r\n";
const std::string Faulty = H1 + "\r\n" + H2 + "\r\n" + P + "\r\n" + P.substr(0, P.size() - 1) + "\r\n3|2\r\n";

TProcessResult RunChecker(const TTempDir& scratch, const std::vector<std::string>& args)
{
    return RunProgram(MORVASK_CHECK_BINARY, args, scratch.Path());
}

TEST(MorvaskCheckText, OutputAndExitStatus)
{
    TTempDir dir, scratch;
    const std::string good = dir.Write("ABCD_070312_143005.DAT", Good);
    const std::string faulty = dir.Write("ABCD_070229_120000.DAT", Faulty);
    const std::string odd = dir.Write("data.dat", "3|0");
    const std::string missing = dir.Path() + "/missing.dat";
#ifndef _WIN32
    const std::string fifo = dir.Path() + "/ABCD_070312_143006.DAT";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
#endif

    struct Case {
        std::vector<std::string> Args;
        int Status;
        std::string Out;
        std::string Err;
    };
    const std::string cannotOpen = " kann nicht ge\xC3\xB6"
                                   "ffnet werden. Grund: ";
    const std::string notFound = "Datei oder Ordner nicht vorhanden.\n";
    const std::string notAFile = "keine gew\xC3\xB6hnliche Datei (ein Ger\xC3\xA4t, eine Pipe oder ein Socket).\n";
    // A lone line behind the last examination is never examined: a note, the verdict stays.
    const std::string cutShort = dir.Write("ABCD_070312_143007.DAT", Good + "1|E|abgebrochen\r\n");
    const std::string blankBehind = dir.Write("ABCD_070312_143008.DAT", Good + " \t\r\n");
    const std::string faultyOut = faulty + ": Die Datumsangabe '29.02.07' im Dateinamen ist ung\xC3\xBCltig.\n" + faulty + ":4: Die Zeile muss genau 11 Felder (Felder 43-53) enthalten.\n" + faulty + ":5: Die Anzahl der \xC3\xBC"
                                                                                                                                                                                                       "bermittelten Parameter stimmt nicht.\n";
    const Case cases[] = {
        {{good}, 0, good + ": OK\n", ""},
        {{odd}, 0, odd + ": OK\n", ""},
        {{good, odd}, 0, good + ": OK\n" + odd + ": OK\n", ""},
        {{faulty}, 1, faultyOut, ""},
        {{good, faulty}, 1, good + ": OK\n" + faultyOut, ""},
        {{missing, good}, 2, good + ": OK\n", "morvask-check: Datei " + missing + cannotOpen + notFound},
        {{good, dir.Path()}, 2, good + ": OK\n", "morvask-check: Datei " + dir.Path() + cannotOpen + "es ist ein Ordner.\n"},
        {{cutShort, blankBehind}, 0, cutShort + ": OK\n" + blankBehind + ": OK\n", cutShort + ":6: Hinweis: Zeile 6 wurde nicht gepr\xC3\xBC"
                                                                                              "ft, denn sie steht allein hinter der letzten Untersuchung; die \xC3\x9C"
                                                                                              "bermittlung ist wom\xC3\xB6"
                                                                                              "glich unvollst\xC3\xA4ndig.\n"},
#ifdef _WIN32
        {{"NUL"}, 2, "", "morvask-check: Datei NUL" + cannotOpen + notAFile},
#else
        {{fifo, faulty}, 2, faultyOut, "morvask-check: Datei " + fifo + cannotOpen + notAFile},
        {{"/dev/null"}, 2, "", "morvask-check: Datei /dev/null" + cannotOpen + notAFile},
#endif
    };
    for (const Case& c : cases) {
        const TProcessResult run = RunChecker(scratch, c.Args);
        SCOPED_TRACE(c.Args.front());
        EXPECT_EQ(run.ExitCode, c.Status);
        EXPECT_EQ(run.Output, c.Out);
        EXPECT_EQ(run.Errors, c.Err);
    }
}

#ifndef _WIN32
// Output that cannot be written is a failure that says why.
TEST(MorvaskCheckText, LostOutputIsReported)
{
    if (!std::filesystem::is_character_file("/dev/full"))
        GTEST_SKIP() << "/dev/full, a device that is always full, is missing";
    TTempDir dir, scratch;
    const std::string good = dir.Write("ABCD_070312_143005.DAT", Good);
    for (const std::vector<std::string>& args : {std::vector<std::string>{good}, {"--json", good}, {"--help"}}) {
        const TProcessResult run = FinishProgram(StartProgram(MORVASK_CHECK_BINARY, args, scratch.Path(), "/dev/full"), scratch.Path());
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_EQ(run.Errors, "morvask-check: Die Ausgabe kann nicht geschrieben werden. Grund: kein Platz mehr auf dem Datentr\xC3\xA4ger.\n");
    }
    // A note that cannot reach standard error is lost as well; the verdict still arrives.
    const std::string cutShort = dir.Write("ABCD_070312_143007.DAT", Good + "1|E|abgebrochen\r\n");
    const TProcessResult lostNote = RunProgram("/bin/sh", {"-c", "\"$0\" \"$1\" 2>/dev/full", MORVASK_CHECK_BINARY, cutShort}, scratch.Path());
    EXPECT_EQ(lostNote.ExitCode, 2);
    EXPECT_EQ(lostNote.Output, cutShort + ": OK\n");
}
#endif

// The same condition reads the same on both systems, whichever error value reports it.
TEST(MorvaskReasons, ErrnoAndWindowsValuesSayTheSame)
{
    const std::pair<int, long> same[] = {{ENOENT, 2}, {ENOENT, 3}, {EACCES, 5}, {ENOSPC, 112}, {ENOSPC, 39}, {ENAMETOOLONG, 206}, {EMLINK, 1142}, {EBUSY, 32}, {EIO, 23}, {EPIPE, 109}};
    for (const auto& [errnoValue, windowsValue] : same) {
        SCOPED_TRACE(errnoValue);
        const TReason posix = ReasonOf(TSystemError::FromErrno(errnoValue));
        const TReason windows = ReasonOf({TSystemError::EOrigin::Windows, windowsValue});
        EXPECT_NE(posix.Code, "other");
        EXPECT_EQ(posix.Code, windows.Code);
        EXPECT_EQ(posix.Text, windows.Text);
    }
    EXPECT_EQ(ReasonOf({TSystemError::EOrigin::Windows, 19}).Code, ReasonOf(TSystemError::FromErrno(EROFS)).Code);
    EXPECT_EQ(WithReason("Satz.", TSystemError::FromErrno(99999)), "Satz. Grund: Systemfehler 99999.");
    EXPECT_EQ(WithReason("Satz.", {TSystemError::EOrigin::Windows, 99999}), "Satz. Grund: Windows-Fehler 99999.");
    EXPECT_EQ(WithReason("Satz.", {}), "Satz.");
    EXPECT_EQ(ReasonOf({}).Code, "unknown");
}

TEST(MorvaskCheckText, RelativePathsAndOptionEnd)
{
    TTempDir dir, scratch;
    dir.Write("-x.dat", "3|0");
    const TProcessResult run = RunProgram(MORVASK_CHECK_BINARY, {"--", "-x.dat"}, scratch.Path(), dir.Path());
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output, "-x.dat: OK\n");
}

TEST(MorvaskCheckArguments, HelpVersionAndMistakes)
{
    TTempDir dir, scratch;
    const std::string good = dir.Write("ABCD_070312_143005.DAT", Good);
    struct Case {
        std::vector<std::string> Args;
        int Status;
        bool OutputExpected;
        bool ErrorExpected;
    };
    const Case cases[] = {
        {{"--help"}, 0, true, false},
        {{"-h"}, 0, true, false},
        {{"--version"}, 0, true, false},
        {{}, 2, false, true},
        {{"--json"}, 2, false, true},
        {{"--bogus", good}, 2, false, true},
        {{"--"}, 2, false, true},
    };
    for (const Case& c : cases) {
        const TProcessResult run = RunChecker(scratch, c.Args);
        SCOPED_TRACE(c.Args.empty() ? "(none)" : c.Args.front());
        EXPECT_EQ(run.ExitCode, c.Status);
        EXPECT_EQ(!run.Output.empty(), c.OutputExpected) << run.Output;
        EXPECT_EQ(!run.Errors.empty(), c.ErrorExpected) << run.Errors;
    }
    EXPECT_EQ(RunChecker(scratch, {"--version"}).Output, "morvask-check 1.0\n");
    EXPECT_NE(RunChecker(scratch, {"--help"}).Output.find("--json"), std::string::npos);
}

TEST(MorvaskCheckJson, OneValidObjectPerFileWithExactlyTheKeys)
{
    TTempDir dir, scratch;
    const std::string good = dir.Write("ABCD_EFGH_071231_235959.DAT", Good);
    const std::string faulty = dir.Write("ABCD_070229_120000.DAT", Faulty);
    const std::string missing = dir.Path() + "/missing.dat";
    const TProcessResult run = RunChecker(scratch, {"--json", good, faulty, missing, dir.Write("cut.dat", Good + "1|E\r\n")});
    EXPECT_EQ(run.ExitCode, 2);
    const std::vector<std::string> lines = OutputLines(run.Output);
    ASSERT_EQ(lines.size(), 4u) << run.Output;
    const std::vector<std::string> keys = {"path", "fileName", "interfaceKind", "investigationCount", "parameterCount",
                                           "lineCount", "messageCount", "messageText", "messages", "unexaminedLine"};
    EXPECT_EQ(At(ParseJson(lines[3]), "unexaminedLine").Integer(), 6);

    // A file that cannot be read has its record too, with the reason.
    const TJsonValue failed = ParseJson(lines[2]);
    EXPECT_EQ(Keys(failed), (std::vector<std::string>{"path", "error"}));
    EXPECT_EQ(At(failed, "path").Text(), missing);
    EXPECT_EQ(Keys(At(failed, "error")), (std::vector<std::string>{"code", "text"}));
    EXPECT_EQ(At(At(failed, "error"), "code").Text(), "not-found");
    EXPECT_EQ("morvask-check: " + At(At(failed, "error"), "text").Text(), OutputLines(run.Errors).at(0));

    const TJsonValue first = ParseJson(lines[0]);
    EXPECT_EQ(Keys(first), keys);
    EXPECT_EQ(At(first, "path").Text(), good);
    EXPECT_EQ(At(first, "fileName").Text(), "ABCD_EFGH_071231_235959.DAT");
    EXPECT_EQ(At(first, "interfaceKind").Integer(), 2);
    EXPECT_EQ(At(first, "investigationCount").Integer(), 1);
    EXPECT_EQ(At(first, "parameterCount").Integer(), 2);
    EXPECT_EQ(At(first, "lineCount").Integer(), 5);
    EXPECT_EQ(At(first, "messageCount").Integer(), 0);
    EXPECT_EQ(At(first, "messageText").Text(), "OK");
    EXPECT_TRUE(At(first, "messages").Items().empty());
    EXPECT_EQ(At(first, "unexaminedLine").Integer(), 0);

    const TJsonValue second = ParseJson(lines[1]);
    EXPECT_EQ(Keys(second), keys);
    EXPECT_EQ(At(second, "interfaceKind").Integer(), 1);
    EXPECT_EQ(At(second, "parameterCount").Integer(), 1);
    EXPECT_EQ(At(second, "messageCount").Integer(), 3);
    const std::string m43 = "Die Datumsangabe '29.02.07' im Dateinamen ist ung\xC3\xBCltig.";
    const std::string m22 = "       Zeile   4: Die Zeile muss genau 11 Felder (Felder 43-53) enthalten.";
    const std::string m36 = "       Zeile   5: Die Anzahl der \xC3\xBC"
                            "bermittelten Parameter stimmt nicht.";
    EXPECT_EQ(At(second, "messageText").Text(), m43 + "\r\n" + m22 + "\r\n" + m36 + "\r\n");
    const std::vector<TJsonValue>& messages = At(second, "messages").Items();
    ASSERT_EQ(messages.size(), 3u);
    struct Expected {
        int Line;
        int Code;
        std::string Text;
    };
    const Expected expected[] = {{0, 43, m43}, {4, 22, m22}, {5, 36, m36}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(Keys(messages[i]), (std::vector<std::string>{"line", "code", "text"}));
        EXPECT_EQ(At(messages[i], "line").Integer(), expected[i].Line);
        EXPECT_EQ(At(messages[i], "code").Integer(), expected[i].Code);
        EXPECT_EQ(At(messages[i], "text").Text(), expected[i].Text);
    }
}

TEST(MorvaskCheckJson, AwkwardPathsStayValidUtf8)
{
    TTempDir dir, scratch;
    struct Case {
        std::string Name;
        std::string PathInJson; // the name part as the JSON gives it back
        std::string FileNameInJson;
    };
    const Case cases[] = {
#ifdef _WIN32
        // Names outside the ANSI code page, and ones whose ANSI bytes would be valid UTF-8.
        {"Łódź_070312_143005.DAT", "Łódź_070312_143005.DAT", "ŁóDź_070312_143005.DAT"},
        {"ÄÖÜ€_070312_143005.DAT", "ÄÖÜ€_070312_143005.DAT", "ÄÖÜ€_070312_143005.DAT"},
        {"Ã¤ quote'd.dat", "Ã¤ quote'd.dat", "Ã¤ QUOTE'D.DAT"},
#else
        {"quote\"back\\slash.dat", "quote\"back\\slash.dat", "QUOTE\"BACK\\SLASH.DAT"},
        {"tab\tcr\rnl\nesc\x1B.dat", "tab\tcr\rnl\nesc\x1B.dat", "TAB\tCR\rNL\nESC\x1B.DAT"},
        {"\xC4"
         "BCD_070312_143005.DAT",
         "\xC3\x84"
         "BCD_070312_143005.DAT",
         "\xC3\x84"
         "BCD_070312_143005.DAT"},
        {"ab\x81.dat", "ab\xC2\x81.dat", "AB\xC2\x81.DAT"},
#endif
        {"ÄBCD_070312_143005.DAT", "ÄBCD_070312_143005.DAT", "ÄBCD_070312_143005.DAT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir.Write(c.Name, Good);
        const TProcessResult run = RunChecker(scratch, {"--json", path});
        EXPECT_EQ(run.ExitCode, 0);
        const std::vector<std::string> lines = OutputLines(run.Output);
        ASSERT_EQ(lines.size(), 1u) << run.Output;
        TJsonValue json;
        ASSERT_NO_THROW(json = ParseJson(lines[0])) << lines[0];
        EXPECT_EQ(At(json, "path").Text(), dir.Path() + "/" + c.PathInJson);
        EXPECT_EQ(At(json, "fileName").Text(), c.FileNameInJson);
    }
}

TEST(MorvaskCheckExamples, BundledFilesGiveTheirVerdicts)
{
    TTempDir scratch;
    const std::string examples = MORVASK_EXAMPLES_DIR;
    const TProcessResult good = RunChecker(scratch, {examples + "/WVMO_261015_093000.DAT"});
    EXPECT_EQ(good.ExitCode, 0);
    EXPECT_EQ(good.Output, examples + "/WVMO_261015_093000.DAT: OK\n");

    const std::string faultyPath = examples + "/GAMO_LGA1_261016_141500.DAT";
    const TProcessResult faulty = RunChecker(scratch, {"--json", faultyPath});
    EXPECT_EQ(faulty.ExitCode, 1);
    const TJsonValue json = ParseJson(OutputLines(faulty.Output).at(0));
    EXPECT_EQ(At(json, "interfaceKind").Integer(), 2);
    std::vector<std::pair<int, int>> findings;
    for (const TJsonValue& m : At(json, "messages").Items())
        findings.emplace_back(static_cast<int>(At(m, "line").Integer()), static_cast<int>(At(m, "code").Integer()));
    EXPECT_EQ(findings, (std::vector<std::pair<int, int>>{{4, 22}, {9, 36}, {10, 11}, {31, 36}, {39, 37}}));
}

#ifdef _WIN32

std::string Backslashed(std::string path)
{
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

// The name is cut at "\\", "/" and ":" whatever the path form: only the bare
// name of 22 characters draws the date message.
TEST(MorvaskCheckWindows, PathFormsAndTheBareName)
{
    TTempDir dir, scratch;
    const std::string name = "ÄöCD_070229_120000.DAT";
    const std::string slashed = dir.Write(name, Good);
    const std::string backslashed = Backslashed(slashed);
    const std::string drive = backslashed.substr(0, 2);
    const std::string message = ": Die Datumsangabe '29.02.07' im Dateinamen ist ung\xC3\xBCltig.\n";
    struct Case {
        std::string Path;
        std::string WorkDir;
    };
    const Case cases[] = {
        {slashed, ""},
        {backslashed, ""},
        {name, dir.Path()},
        {".\\" + name, dir.Path()},
        {drive + name, dir.Path()},
        {drive + backslashed.substr(2), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path);
        const TProcessResult run = RunProgram(MORVASK_CHECK_BINARY, {c.Path}, scratch.Path(), c.WorkDir);
        EXPECT_EQ(run.ExitCode, 1);
        EXPECT_EQ(run.Output, c.Path + message);
        EXPECT_EQ(run.Errors, "");
    }
}

TEST(MorvaskCheckWindows, AFileBeingWrittenCannotBeChecked)
{
    TTempDir dir, scratch;
    const std::string path = dir.Write("Łódź.dat", Good);
    const HANDLE writer = CreateFileW(PathFromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    const TProcessResult held = RunChecker(scratch, {path});
    CloseHandle(writer);
    EXPECT_EQ(held.ExitCode, 2);
    EXPECT_EQ(held.Errors, "morvask-check: Datei " + path + " kann nicht ge\xC3\xB6"
                                                            "ffnet werden. Grund: die Datei wird von einem anderen Programm benutzt.\n");
    EXPECT_EQ(RunChecker(scratch, {path}).Output, path + ": OK\n");
}

// In a console the text arrives as characters, whatever the console's code page.
TEST(MorvaskCheckWindows, ConsoleShowsUmlauts)
{
    TTempDir dir, scratch;
    const std::string path = dir.Write("ÄÖÜ€_070229_120000.DAT", Good);
    const TConsoleRun console = RunProgramOnConsole(MORVASK_CHECK_BINARY, {path}, scratch.Path());
    if (!console.Available) {
        // The Wine run provides a console and says so; elsewhere there may be none.
        ASSERT_EQ(std::getenv("MORVASK_CONSOLE_REQUIRED"), nullptr) << "no console";
        GTEST_SKIP() << "no console available";
    }
    EXPECT_EQ(console.Run.ExitCode, 1);
    const std::wstring expected = PathFromUtf8(path + ": Die Datumsangabe '29.02.07' im Dateinamen ist ungültig.").wstring();
    EXPECT_EQ(console.Shown.substr(0, expected.size()), expected);
}

#endif

} // namespace
