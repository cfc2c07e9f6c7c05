#pragma once

#include "BlockGrammar.h"
#include "Lines.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Where a line of a file stands: its first byte and its length, without the
// line break.
struct TLineSpan {
    std::uint64_t Offset = 0;
    std::uint64_t Length = 0;
};

// One examination as the cutter hands it out: header line 1, header line 2
// and the parameter lines, consecutive lines of the file; the end line not.
struct TInvestigationSpan {
    std::int64_t FirstLine = 0; // line number of header line 1
    std::vector<TLineSpan> Lines;
};

// Cuts the bytes of a file that passed the check into examinations through the
// block walk under the export's rules (BlockGrammar.h), so that an examination
// is what the check found and holds its fields as the window shows them. It
// keeps no text: each examination is handed out as offsets once its end is
// known, and the caller looks its lines up in the bytes it keeps.
class TInvestigationCutter {
public:
    using TOnInvestigation = std::function<void(const TInvestigationSpan&)>;
    explicit TInvestigationCutter(TOnInvestigation onInvestigation);

    // The bytes of the file from offset `at` on, following those fed before.
    // Every line must lie whole in one call's bytes: a call ends with a line
    // break, or the bytes run to the end of the file.
    void Feed(const char* bytes, std::size_t count, std::uint64_t at);
    // After the last bytes of the file: the last line is known as the last.
    void Finish();

    // The first byte that an examination still to be handed out may use.
    std::uint64_t NeededFrom(std::uint64_t fedTo) const;

    // What the line cutter calls.
    void BeginLine(const char* at) { FLineBegin = FLineEnd = at; }
    void LineBytes(const char* p, std::size_t n, std::uint64_t) { FLineEnd = p + n; }
    void EndLine();

private:
    // A line read whose role waits for the next: only then is it known not to be the last.
    struct TPending {
        TLineSpan Span;
        bool IsEnd = false;
        bool Blank = false;
    };
    void Walk(const TPending& line, bool isLast);
    void Emit();

    TOnInvestigation FOnInvestigation;
    TLineCutter<TInvestigationCutter> FCutter;
    TBlockGrammar FGrammar;
    std::int64_t FLine = 0;
    const char* FBytes = nullptr;
    std::uint64_t FAt = 0;
    const char* FLineBegin = nullptr;
    const char* FLineEnd = nullptr;
    bool FHasPending = false;
    TPending FPending;
    bool FOpen = false;
    TInvestigationSpan FCurrent;
};

// The offset of the last line break (CR, LF or NUL) in bytes, plus one; 0 when
// there is none: how much of a piece read can be fed as whole lines.
std::size_t WholeLines(const char* bytes, std::size_t count);
