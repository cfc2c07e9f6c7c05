#include "ExportOracle.h"
#include "ExportTable.h"
#include "InvestigationWalk.h"
#include "SamplingData.h"
#include "TempDir.h"
#include "TransferFileCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

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
    };
}

TEST(ExportWalk, TablesReadBackExactlyWhateverTheChunks)
{
    for (const TWalkCase& c : WalkCases()) {
        SCOPED_TRACE(c.Name);
        TSamplingData data;
        CheckTransferBytes(c.Bytes, data);
        ASSERT_EQ(data.MessageCount, 0) << data.MessageText;
        const auto exams = ExportOracle::Examinations(c.Bytes);
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

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ExportJsonLines, TheBinaryWritesWhatTheStrictReaderGivesBack)
{
    TTempDir dir;
    std::string many;
    for (int e = 0; e < 100000; ++e)
        many += Block(e % 1000 == 0 ? 2 : 0, "v" + std::to_string(e % 97), "\r\n");
    const std::vector<std::string> files = {
        dir.Write("ABCD_070312_143001.DAT", WalkCases()[5].Bytes),
        dir.Write("ABCD_070312_143002.DAT", many),
        std::string(MORVASK_EXAMPLES_DIR) + "/WVMO_261015_093000.DAT",
    };
    std::string command = std::string("timeout 120 ") + MORVASK_EXPORT_BINARY + " --format jsonl";
    for (const std::string& f : files)
        command += " " + f;
    const std::string out = dir.Path() + "/out.jsonl";
    const int raw = std::system((command + " >" + out).c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0);

    const std::string text = Slurp(out);
    std::size_t pos = 0;
    for (const std::string& f : files) {
        SCOPED_TRACE(f);
        const auto exams = ExportOracle::Examinations(Slurp(f));
        std::size_t end = pos;
        for (std::size_t e = 0; e < exams.size() && end != std::string::npos; ++e)
            end = text.find('\n', end) + 1;
        ASSERT_NE(end, 0u);
        EXPECT_EQ(ExportOracle::CompareJsonLines(std::string_view(text).substr(pos, end - pos), f, exams), "");
        pos = end;
    }
    EXPECT_EQ(pos, text.size());
}

} // namespace
