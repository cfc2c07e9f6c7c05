// Reading and checking a transfer file, and loading its examinations: nothing
// may crash or read out of bounds, and where the check passes a file, the
// loader must build the examinations the check counted.
#include "ContentFuzzChecks.h"
#include "FieldLayout.h"
#include "Fields.h"
#include "FileOpenError.h"
#include "FuzzSupport.h"
#include "InvestigationList.h"
#include "LineListCheck.h"
#include "Lines.h"
#include "TransferFileCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using FieldLayout::HeaderEntries;
using FieldLayout::ParameterEntries;

std::string Counts(const TSamplingData& data, const TInvestigationList& loaded)
{
    return "check: " + std::to_string(data.InvestigationCount) + " examinations, " +
           std::to_string(data.ParameterCount) + " parameters, " + std::to_string(data.LineCount) +
           " lines; loader: " + std::to_string(loaded.Count()) + " examinations";
}

// The loader finds an end line by its first character only, while the check
// trims the first field: an end line behind a blank or control character is
// read differently, on purpose. Such files are left out of the comparison.
bool HasEndLineNotAtLineStart(std::string_view text)
{
    bool found = false;
    ForEachLine(text, [&](std::string_view line) {
        bool first = true;
        ForEachField(line, [&](std::string_view field) {
            if (first && field == FieldLayout::EndKind && line.front() != FieldLayout::EndKind.front())
                found = true;
            first = false;
        });
    });
    return found;
}

// Every field access stays inside the examination and gives a trimmed view.
void CheckFieldAccess(const TInvestigationList& loaded)
{
    FUZZ_ASSERT(loaded.Field(-1, 0).empty() && loaded.Field(loaded.Count(), 0).empty(), "");
    for (int i = 0; i < loaded.Count(); ++i) {
        const int count = loaded.FieldCount(i);
        FUZZ_ASSERT(count >= 0 && loaded.ParameterCount(i) >= 0, std::to_string(i));
        FUZZ_ASSERT(loaded.Field(i, -1).empty() && loaded.Field(i, count).empty(), std::to_string(i));
        for (int entry = 0; entry < count; ++entry) {
            const std::string_view field = loaded.Field(i, entry);
            FUZZ_ASSERT(TrimField(field) == field, std::to_string(entry));
            FUZZ_ASSERT(field.find('|') == std::string_view::npos, std::to_string(entry));
        }
    }
}

// For a passed file without the quirk above whose blocks are all complete:
// the examinations hold, in file order, exactly the fields of every line but
// the end lines and a single unexamined line behind the last block.
void CheckAgreement(std::string_view text, const TSamplingData& data, const TInvestigationList& loaded)
{
    const std::string counts = Counts(data, loaded);
    FUZZ_ASSERT(loaded.Count() == data.InvestigationCount, counts);

    int64_t parameters = 0;
    for (int i = 0; i < loaded.Count(); ++i) {
        if (loaded.FieldCount(i) < HeaderEntries)
            return; // a block without header line 2 ("3|0" alone or behind header line 1)
        FUZZ_ASSERT((loaded.FieldCount(i) - HeaderEntries) % ParameterEntries == 0, counts);
        parameters += loaded.ParameterCount(i);
    }
    FUZZ_ASSERT(parameters == data.ParameterCount, counts);

    const int64_t blockLines = 3 * int64_t{data.InvestigationCount} + data.ParameterCount;
    FUZZ_ASSERT(data.LineCount == blockLines || data.LineCount == blockLines + 1, counts);

    std::vector<std::string_view> expected;
    std::vector<int64_t> firstLines;
    int64_t index = 0;
    bool blockStart = true;
    ForEachLine(text, [&](std::string_view line) {
        if (index < blockLines) {
            if (blockStart)
                firstLines.push_back(index);
            blockStart = !line.empty() && line.front() == FieldLayout::EndKind.front();
            if (!blockStart)
                ForEachField(line, [&](std::string_view field) { expected.push_back(field); });
        }
        ++index;
    });
    FUZZ_ASSERT(static_cast<int>(firstLines.size()) == loaded.Count(), counts);

    std::size_t next = 0;
    for (int i = 0; i < loaded.Count(); ++i) {
        FUZZ_ASSERT(loaded.FirstLineIndex(i) == firstLines[static_cast<std::size_t>(i)], std::to_string(i));
        for (int entry = 0; entry < loaded.FieldCount(i); ++entry, ++next) {
            FUZZ_ASSERT(next < expected.size(), counts);
            FUZZ_ASSERT(loaded.Field(i, entry) == expected[next],
                        "examination " + std::to_string(i) + " entry " + std::to_string(entry));
        }
    }
    FUZZ_ASSERT(next == expected.size(), counts);
}

bool SameResult(const TSamplingData& a, const TSamplingData& b)
{
    return a.InvestigationCount == b.InvestigationCount && a.ParameterCount == b.ParameterCount &&
           a.LineCount == b.LineCount && a.MessageCount == b.MessageCount && a.MessageText == b.MessageText &&
           a.Messages.size() == b.Messages.size();
}

// The streaming check must say exactly what the plain walk over a line list
// says, however the bytes arrive.
void CheckStreamingAgrees(std::string_view text, const TSamplingData& fromFile)
{
    TLineList lines;
    SplitTextIntoLines(text, lines);
    TSamplingData fromLines;
    CheckLines(lines, fromLines);
    FUZZ_ASSERT(SameResult(fromFile, fromLines), fromFile.MessageText + "---line list---\n" + fromLines.MessageText);

    for (const std::size_t chunk : {std::size_t{1}, std::size_t{3}, std::size_t{64}}) {
        if (chunk == 1 && text.size() > 1024)
            continue; // byte by byte costs too many runs on long inputs
        TSamplingData fromChunks;
        CheckTransferBytes(text, fromChunks, chunk);
        FUZZ_ASSERT(SameResult(fromFile, fromChunks),
                    "chunk " + std::to_string(chunk) + "\n" + fromFile.MessageText + "---chunks---\n" +
                        fromChunks.MessageText);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static TFuzzFile file;
    file.Write(data, size);
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    TSamplingData result;
    try {
        CheckTransferFile(file.Path(), result);
    } catch (const EFileOpenError& error) {
        FuzzFailure("a regular file can be checked", error.what());
    }
    FUZZ_ASSERT(result.InvestigationCount >= 1 && result.ParameterCount >= 0 && result.LineCount >= 0, "");
    FUZZ_ASSERT((result.MessageCount == 0) == (result.MessageText == "OK"), result.MessageText);
    FUZZ_ASSERT(result.Messages.size() == static_cast<std::size_t>(result.MessageCount), result.MessageText);
    CheckStreamingAgrees(text, result);
    CheckContent(text);

    TInvestigationList loaded;
    loaded.Load(file.Path());
    FUZZ_ASSERT(loaded.Count() >= 1, "the loader builds at least one examination");
    // Loaded in small pieces, as the text comes in, the list is the same.
    const std::size_t pieceSize = size == 0 ? 1 : 1 + data[size - 1] % 97;
    TInvestigationList inPieces;
    inPieces.Load(file.Path(), {}, pieceSize);
    FUZZ_ASSERT(inPieces.Count() == loaded.Count(), "piece size " + std::to_string(pieceSize));
    for (int i = 0; i < loaded.Count(); ++i) {
        FUZZ_ASSERT(inPieces.FieldCount(i) == loaded.FieldCount(i) &&
                        inPieces.FirstLineIndex(i) == loaded.FirstLineIndex(i) &&
                        inPieces.ParameterCount(i) == loaded.ParameterCount(i),
                    "examination " + std::to_string(i) + ", piece size " + std::to_string(pieceSize));
        for (int entry = 0; entry < loaded.FieldCount(i); ++entry)
            FUZZ_ASSERT(inPieces.Field(i, entry) == loaded.Field(i, entry), "entry " + std::to_string(entry));
    }
    CheckFieldAccess(loaded);
    if (result.MessageCount == 0 && !HasEndLineNotAtLineStart(text))
        CheckAgreement(text, result, loaded);
    return 0;
}
