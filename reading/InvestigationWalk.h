#pragma once

#include "BlockGrammar.h"
#include "CheckGuard.h"
#include "FieldLayout.h"
#include "Lines.h"
#include "TransferChanged.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>

// The examinations of a transfer file that passed the check, handed out one
// parameter line at a time while the file streams past: memory holds the two
// header lines of the current examination and one line, whatever the file's size.

constexpr int MasterFieldCount = FieldLayout::HeaderEntries; // fields 1 to 42: header lines 1 and 2
constexpr int ParameterFieldCount = FieldLayout::Parameter.FieldCount; // fields 43 to 53 of each parameter line

struct TWalkInvestigation {
    std::int64_t Number = 0; // 1 for the file's first examination
    std::int64_t FirstLine = 0; // line number of its header line 1
    // Trimmed Windows-1252 fields; valid until the examination ends.
    std::array<std::string_view, MasterFieldCount> Master;
};

class TInvestigationSink {
public:
    virtual ~TInvestigationSink() = default;
    virtual void BeginInvestigation(const TWalkInvestigation& investigation) = 0;
    virtual void Parameter(const TWalkInvestigation& investigation, std::int64_t line, const TParameterFields& fields) = 0;
    virtual void EndInvestigation(const TWalkInvestigation& investigation, std::int64_t parameterCount) = 0;
};

// The streaming reader of examinations. Cuts lines by the reading rules of the
// check (CR, LF, CR LF, LF CR; the first NUL ends the text) and groups them
// into examinations through the block walk under the rules given
// (BlockGrammar.h); the export's are the check's, and an end line in the place
// of header line 2 as the file's last line stands in for header line 2, as the
// viewer shows it; that examination has no parameters. The file must have
// passed the check: the guard (CheckGuard.h) stops the walk where it no longer does.
class TInvestigationWalk {
public:
    explicit TInvestigationWalk(TInvestigationSink& sink, const TBlockRules& rules = BlockRules::Export)
        : TInvestigationWalk(sink, 1, 1, rules)
    {
    }
    // A walk that begins in the middle of a file, at the header line 1 of
    // examination number, which is line firstLine of the file.
    TInvestigationWalk(TInvestigationSink& sink, std::int64_t number, std::int64_t firstLine,
                       const TBlockRules& rules = BlockRules::Export);

    // Throws ETransferChanged where a line breaks the checked structure.
    void Feed(const char* bytes, std::size_t count);
    // A NUL ended the text, as it ends the check's reading: nothing behind it counts.
    bool Ended() const { return FCutter.Ended(); }
    // fileEnds: the bytes fed run to the end of the file, so that their last
    // line is the file's last.
    void Finish(bool fileEnds = true);
    // After Finish of a part of a file: throws ETransferChanged unless the
    // part ended with an end line, just before the line nextLine.
    void ExpectBlockEnd(std::int64_t nextLine) const;

    // What the line cutter calls.
    void BeginLine(const char* at);
    void LineBytes(const char* p, std::size_t n, std::uint64_t separators);
    void EndLine()
    {
        FInLine = false;
        FPending = true;
    }

    // Where a line's separators stand, from the cutter's scan: the fields are
    // cut without a second search. A line with more separators than are kept
    // has more fields than any line the walk accepts.
    struct TSeparators {
        static constexpr std::size_t Kept = 64;
        std::array<std::size_t, Kept> At;
        std::size_t Count = 0;
    };
    // The line the block walk is told of: a view into the chunk while it lies
    // in one, else copied into Carry.
    struct TLine {
        const char* Begin = nullptr;
        const char* End = nullptr;
        bool Carried = false;
        std::string Carry;
        TSeparators Separators;
        std::string_view Text() const { return Carried ? std::string_view(Carry) : std::string_view(Begin, static_cast<std::size_t>(End - Begin)); }
        operator std::string_view() const { return Text(); }
    };

    void BlockLine(EBlockLine role, const TLine& line, std::int64_t number);

private:
    void BeginInvestigation(std::string_view header2, const TSeparators& separators, std::int64_t number);
    void OnLine(bool isLast);

    TInvestigationSink& FSink;
    TBlockGrammar FGrammar;
    std::int64_t FLines; // the number of the last line walked
    TCheckGuard FGuard;
    TLineCutter<TInvestigationWalk> FCutter;
    // The line being read, or read and not yet handed to the walk: that waits
    // until it is known whether another line follows.
    TLine FLine;
    bool FInLine = false;
    bool FPending = false;
    TSeparators FHeader1Separators;
    std::string FHeader1, FHeader2;
    TWalkInvestigation FInvestigation;
    TParameterFields FFields; // reused: clearing it per line costs more than cutting it
    std::int64_t FParameters = 0;
};

class TByteSource;

// A stretch of a checked file that begins with the header line 1 of an
// examination and ends where another begins or with the file.
struct TFilePart {
    std::uint64_t Offset = 0;
    std::int64_t Number = 1; // of its first examination
    std::int64_t FirstLine = 1;
    bool Last = true; // runs to the end of the file
    std::uint64_t End = 0; // else: where the next part begins
    std::int64_t NextLine = 0; // and the line it begins with
};

// Walks one part of file; throws EFileOpenError when it cannot be read, and
// ETransferChanged where a line breaks the checked structure, and also when a part that is not the last does not end with an end line just
// before its next part. A stop requested ends the walk early, its part unfinished.
// buffer is where the bytes are read to, made when empty and reused from part to part.
void WalkInvestigationsPart(TByteSource& file, const TFilePart& part, TInvestigationSink& sink, std::unique_ptr<char[]>& buffer,
                            std::stop_token stop = {});
