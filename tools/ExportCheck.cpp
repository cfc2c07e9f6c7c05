#include "ExportCheck.h"

#include "FieldLayout.h"
#include "Fields.h"
#include "FileNameCheck.h"
#include "TransferFileCheck.h"
#include "TransferScanner.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t ChunkSize = 256 << 10;
constexpr std::size_t Window = 64 << 10;
// How far behind a planned cut an examination's start is looked for.
constexpr std::uint64_t SearchLimit = 4 << 20;

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// The start of the line after the first end line that begins at or behind
// from, when a line begins there at all: a byte after CR LF, LF, or a CR
// not followed by LF. 0 when none is found within reach. An end line here is
// any line whose first field is "3"; whether it really ends a block, the
// check of the piece before proves.
std::uint64_t FindBlockStart(TByteSource& file, std::uint64_t from)
{
    std::vector<char> window(Window + 1);
    for (std::uint64_t at = from; at - from < SearchLimit;) {
        // One byte before the window, to know whether its first byte begins a line.
        const std::uint64_t base = at - 1;
        const std::size_t got = file.ReadAt(base, window.data(), window.size());
        if (got < 3)
            return 0;
        const std::string_view bytes(window.data(), got);
        for (std::size_t i = 1; i < bytes.size(); ++i) {
            if (!IsBreak(bytes[i - 1]) || (bytes[i - 1] == '\r' && bytes[i] == '\n') || IsBreak(bytes[i]))
                continue;
            // A line begins at i; cut its first field.
            std::size_t end = i;
            while (end < bytes.size() && bytes[end] != FieldSeparator && !IsBreak(bytes[end]) && bytes[end] != '\0')
                ++end;
            if (end == bytes.size())
                break;
            if (TrimField(bytes.substr(i, end - i)) != FieldLayout::EndKind)
                continue;
            std::size_t next = end;
            while (next < bytes.size() && !IsBreak(bytes[next]) && bytes[next] != '\0')
                ++next;
            if (next + 2 >= bytes.size())
                break;
            if (bytes[next] == '\0')
                return 0;
            next += bytes[next] == '\r' && bytes[next + 1] == '\n' ? 2 : 1;
            if (IsBreak(bytes[next]) || bytes[next] == '\0')
                continue;
            return base + next;
        }
        at = base + got - 1;
    }
    return 0;
}

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
            piece.Passed = scanner.FinishBeforeBlock() && piece.Data.MessageCount == 0;
        }
        piece.Lines = scanner.Lines();
    } catch (...) {
        piece.Error = std::current_exception();
    }
}

} // namespace

bool CheckPassesInPieces(TByteSource& file, TExportPlan& plan, unsigned threads, std::uint64_t minPieceSize)
{
    const std::uint64_t size = file.Size();
    const std::uint64_t pieces = std::min<std::uint64_t>(threads, size / std::max<std::uint64_t>(minPieceSize, 1));
    if (pieces < 2)
        return false;
    std::vector<std::uint64_t> cuts = {0};
    for (std::uint64_t k = 1; k < pieces; ++k) {
        const std::uint64_t cut = FindBlockStart(file, std::max(size / pieces * k, cuts.back() + 1));
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
    std::vector<std::thread> helpers;
    try {
        for (std::size_t i = 1; i < parts.size(); ++i)
            helpers.emplace_back(CheckPiece, std::ref(file), std::ref(parts[i]));
    } catch (const std::system_error&) {
        // No more threads to be had: this one checks the pieces left.
    }
    CheckPiece(file, parts[0]);
    for (std::size_t i = helpers.size() + 1; i < parts.size(); ++i)
        CheckPiece(file, parts[i]);
    for (std::thread& helper : helpers)
        helper.join();
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
            if (CheckPassesInPieces(file, pieces, threads, minPieceSize)) {
                plan = pieces;
                data.MessageText = "OK";
                return;
            }
        }
    }
    CheckTransferFile(path, data, &plan);
}
