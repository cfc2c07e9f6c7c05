#include "ExportCases.h"
#include "ExportOracle.h"
#include "OutputFile.h"
#include "Process.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/wait.h>
#endif

namespace {

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
    std::string unknownLine = Block(1, "f", "\n");
    unknownLine[0] = '7'; // a line that no block knows
    const std::string faulty = dir.Write("ABCD_070312_143006.DAT", unknownLine);
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
