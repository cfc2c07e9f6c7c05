// The command-line checker on bad input of every kind: it finishes, reports
// through its exit status, and its two output forms agree with each other.
#include "CheckMessages.h"
#include "Cp1252.h"
#include "JsonValue.h"
#include "Process.h"
#include "RobustFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

namespace {

const std::string CheckProgram = MORVASK_CHECK_PROGRAM;
// A conforming name, so that only the content decides.
constexpr const char* FileName = "ROBU_261207_120000.DAT";

struct TBadInput {
    const char* Name;
    std::function<std::string()> Content;
    int ExitCode; // 0 passed, 1 findings
    // Left out where random bytes make the count unpredictable.
    std::optional<int64_t> LineCount;
    std::optional<int64_t> MessageCount;
};

std::string Repeat(std::string_view piece, std::size_t times)
{
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

int64_t CountLines(const std::string& text)
{
    int64_t lines = 0;
    for (const char c : text)
        lines += c == '\n';
    return lines;
}

const TBadInput BadInputs[] = {
    {"binary", [] { return RandomBytes(1, 4 << 20); }, 1, std::nullopt, std::nullopt},
    {"million empty lines", [] { return Repeat("\r\n", 1000000); }, 1, 1000000, 1000001},
    {"lone CRs", [] { return Repeat("\r", 100000); }, 1, 100000, 100001},
    {"NUL hides the rest",
     [] { return RealisticTransferText(2, 40) + std::string(1, '\0') + RandomBytes(3, 100000); }, 0, std::nullopt, 0},
    {"NUL first", [] { return std::string(1, '\0') + RealisticTransferText(2, 5); }, 1, 0, 1},
    {"bytes 0x80 to 0xFF in every field", [] { return HighBytesText(5, 50, 3); }, 0, 50 * 6, 0},
    {"8 MB of separators on one line", [] { return Repeat("|", 8 << 20); }, 1, 1, 2},
    {"end line count of 10 MB of digits", [] { return "3|" + Repeat("9", 10 << 20); }, 1, 1, 1},
    {"control characters everywhere", [] { return Repeat("\x01\x02\x7f|\t\x0b\x0c|", 200000); }, 1, 1, 2},
};

class TRobustCheck : public ::testing::TestWithParam<TBadInput> {
protected:
    TTempDir FDir;
};

TEST_P(TRobustCheck, TextAndJsonAgree)
{
    const TBadInput& input = GetParam();
    const std::string path = FDir.Write(FileName, input.Content());

    const TProcessResult text = RunProgram(CheckProgram, {path}, FDir.Path());
    ASSERT_EQ(text.ExitCode, input.ExitCode) << text.Errors;
    EXPECT_EQ(text.Errors, "");
    const TProcessResult json = RunProgram(CheckProgram, {"--json", path}, FDir.Path());
    ASSERT_EQ(json.ExitCode, input.ExitCode) << json.Errors;

    ASSERT_FALSE(json.Output.empty());
    ASSERT_EQ(json.Output.back(), '\n');
    TJsonValue root;
    std::string error;
    ASSERT_TRUE(TJsonValue::Parse(std::string_view(json.Output).substr(0, json.Output.size() - 1), root, error))
        << error;
    const int64_t messages = root.Member("messageCount")->Integer();
    if (input.MessageCount) {
        EXPECT_EQ(messages, *input.MessageCount);
    }
    if (input.LineCount) {
        EXPECT_EQ(root.Member("lineCount")->Integer(), *input.LineCount);
    }
    EXPECT_EQ(static_cast<int64_t>(root.Member("messages")->Items().size()), messages);

    if (messages == 0) {
        EXPECT_EQ(text.Output, path + ": OK\n");
    } else {
        // One line per message, each naming the file first.
        EXPECT_EQ(CountLines(text.Output), messages);
        std::size_t start = 0;
        for (int checked = 0; checked < 1000 && start < text.Output.size(); ++checked) {
            ASSERT_EQ(text.Output.compare(start, path.size() + 1, path + ":"), 0) << text.Output.substr(start, 200);
            start = text.Output.find('\n', start) + 1;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BadInput, TRobustCheck, ::testing::ValuesIn(BadInputs),
                         [](const ::testing::TestParamInfo<TBadInput>& testInfo) {
                             std::string name;
                             for (const char c : std::string(testInfo.param.Name))
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

// A single line of a whole gigabyte: read as it streams by, reported as one
// parameter line with the wrong field count and a missing end line.
TEST(RobustCheckGigabyte, SingleLineOfOneGigabyte)
{
    TTempDir dir;
    const std::uintmax_t size = std::uintmax_t(1) << 30;
    const std::uintmax_t available = std::filesystem::space(dir.Path()).available;
    if (available < size + (64u << 20))
        GTEST_SKIP() << "needs 1 GiB and a little more free in " << dir.Path() << ", has " << (available >> 20) << " MiB";
    const std::string path = dir.File(FileName);
    {
        std::ofstream out(path, std::ios::binary);
        const std::string chunk = Repeat("ab|", (8 << 20) / 3 + 1).substr(0, 8 << 20);
        for (std::uintmax_t written = 0; written < size && out; written += chunk.size())
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        ASSERT_TRUE(out.flush()) << "cannot write " << path;
    }
    const TProcessResult result = RunProgram(CheckProgram, {path}, dir.Path());
    ASSERT_EQ(result.ExitCode, 1) << result.Errors;
    EXPECT_EQ(result.Output, path + ":1: " + Cp1252ToUtf8(CheckMessages[22]) + "\n" + path + ":2: " +
                                 Cp1252ToUtf8(CheckMessages[37]) + "\n");
}

} // namespace
