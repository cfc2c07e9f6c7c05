#include "ExportCases.h"
#include "ExportTarget.h"
#include "OutputFile.h"
#include "Progress.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

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

} // namespace
