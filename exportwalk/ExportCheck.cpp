#include "ExportCheck.h"

#include "BlockGrammar.h"
#include "FileNameCheck.h"
#include "Lines.h"
#include "TransferFileCheck.h"
#include "TransferScanner.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t ChunkSize = 256 << 10;
constexpr std::size_t Window = 64 << 10;
// How far behind a planned cut an examination's start is looked for.
constexpr std::uint64_t SearchLimit = 4 << 20;

} // namespace

// The first header line 1 the block walk finds when it begins inside the
// file, in a window cut by the file's own line rules. The window's first line is
// left out, as the window may begin inside it; so is an empty line after an
// end line, which begins no sound examination. 0 when none is found. Whether
// the line before really ends a block, the check of the piece before proves.
std::uint64_t FindInvestigationStart(TByteSource& file, std::uint64_t from)
{
    struct TSearch {
        std::string_view Bytes;
        std::optional<std::size_t> Found;
        bool SearchOn = false;
        void BlockLine(EBlockLine role, std::string_view line, std::int64_t)
        {
            if (role != EBlockLine::Header1)
                return;
            if (line.empty())
                SearchOn = true;
            else
                Found = static_cast<std::size_t>(line.data() - Bytes.data());
        }
    };
    std::vector<char> window(Window);
    for (std::uint64_t at = from; at - from < SearchLimit;) {
        const std::size_t got = file.ReadAt(at, window.data(), window.size());
        TSearch search;
        search.Bytes = std::string_view(window.data(), got);
        std::optional<TBlockWalk<TSearch>> walk;
        walk.emplace(search, TBlockGrammar::MidFile(BlockRules::Check));
        std::size_t lines = 0, lastStart = 0;
        ForEachLine(search.Bytes, [&](std::string_view line) {
            if (search.Found || lines++ == 0)
                return;
            lastStart = static_cast<std::size_t>(line.data() - search.Bytes.data());
            walk->OnLine(line, false);
            if (search.SearchOn)
                walk.emplace(search, TBlockGrammar::MidFile(BlockRules::Check));
            search.SearchOn = false;
        });
        if (search.Found)
            return at + *search.Found;
        if (got < window.size())
            return 0;
        // The last line may go on behind the window: the next window begins with it.
        at += lastStart > 0 ? lastStart : got;
    }
    return 0;
}

namespace {

struct TPiece {
    explicit TPiece(const TExportPlan& plan) : Plan(plan.Fresh()) { }
    std::uint64_t Offset = 0;
    std::uint64_t End = 0; // of the file when Last
    bool Last = false;
    TSamplingData Data;
    TExportPlan Plan;
    std::int64_t Lines = 0;
    bool Passed = false;
    std::exception_ptr Error;
};

void CheckPiece(TByteSource& file, TPiece& piece)
{
    try {
        TTransferScanner scanner(piece.Data, &piece.Plan);
        const std::unique_ptr<char[]> buffer(new char[ChunkSize]);
        ReadStretch(file, piece.Offset, piece.End, piece.Last, buffer.get(), ChunkSize, [&](const char* bytes, std::size_t n) {
            scanner.Feed(bytes, n);
            return !scanner.Ended();
        });
        if (piece.Last) {
            scanner.Finish();
            piece.Passed = piece.Data.MessageCount == 0;
        } else {
            piece.Passed = scanner.FinishBeforeInvestigation() && piece.Data.MessageCount == 0;
        }
        piece.Lines = scanner.Lines();
    } catch (...) {
        piece.Error = std::current_exception();
    }
}

} // namespace

bool CheckPassesInPieces(TByteSource& file, TExportPlan& plan, unsigned threads, std::uint64_t minPieceSize,
                         std::int32_t* unexaminedLine)
{
    const std::uint64_t size = file.Size();
    const std::uint64_t pieces = std::min<std::uint64_t>(threads, size / std::max<std::uint64_t>(minPieceSize, 1));
    if (pieces < 2)
        return false;
    std::vector<std::uint64_t> cuts = {0};
    for (std::uint64_t k = 1; k < pieces; ++k) {
        const std::uint64_t cut = FindInvestigationStart(file, std::max(size / pieces * k, cuts.back() + 1));
        if (cut > cuts.back() && cut < size)
            cuts.push_back(cut);
    }
    if (cuts.size() < 2)
        return false;
    std::vector<TPiece> parts(cuts.size(), TPiece(plan));
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        parts[i].Offset = cuts[i];
        parts[i].Last = i + 1 == cuts.size();
        parts[i].End = parts[i].Last ? size : cuts[i + 1];
    }
    std::vector<std::jthread> helpers;
    try {
        for (std::size_t i = 1; i < parts.size(); ++i)
            helpers.emplace_back(CheckPiece, std::ref(file), std::ref(parts[i]));
    } catch (const std::system_error&) {
        // No more threads to be had: this one checks the pieces left.
    } catch (const std::bad_alloc&) {
    }
    CheckPiece(file, parts[0]);
    for (std::size_t i = helpers.size() + 1; i < parts.size(); ++i)
        CheckPiece(file, parts[i]);
    helpers.clear(); // joins them
    for (const TPiece& part : parts) {
        if (part.Error)
            std::rethrow_exception(part.Error);
    }
    for (const TPiece& part : parts) {
        if (!part.Passed)
            return false;
    }
    std::int64_t lines = 0;
    for (const TPiece& part : parts) {
        plan.Append(part.Plan, part.Offset, lines);
        if (part.Last && unexaminedLine)
            *unexaminedLine = part.Data.UnexaminedLine == 0 ? 0 : static_cast<std::int32_t>(std::min<std::int64_t>(lines + part.Data.UnexaminedLine, INT32_MAX));
        lines += part.Lines;
    }
    return true;
}

void CheckForExport(const std::string& path, TSamplingData& data, TExportPlan& plan, unsigned threads,
                    std::uint64_t minPieceSize)
{
    data.Reset();
    if (threads >= 2) {
        TCalendarDate date;
        TTimeOfDay time;
        CheckFileName(FileNameForCheck(BareFileName(path)), data, date, time);
        if (data.MessageCount == 0) {
            TExportPlan pieces = plan;
            TFileSource file(path);
            if (CheckPassesInPieces(file, pieces, threads, minPieceSize, &data.UnexaminedLine)) {
                plan = pieces;
                data.MessageText = "OK";
                return;
            }
        }
    }
    CheckTransferFile(path, data, &plan);
}
