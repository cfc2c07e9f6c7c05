#pragma once

#include "LineFacts.h"
#include "Lines.h"
#include "StructureWalk.h"

#include <cstddef>
#include <cstdint>

// Streams the bytes of a transfer file through the structure walk, in chunks
// of any size: the lines are cut as TLineCutter cuts them, and each is reduced
// to its facts on the fly, so memory stays the same whatever the file or line
// length.
class TTransferScanner {
public:
    explicit TTransferScanner(TSamplingData& data, TInvestigationObserver* observer = nullptr);

    void Feed(const char* bytes, std::size_t count);

    // True once a NUL has ended the text: later bytes are ignored.
    bool Ended() const { return FState == EState::Ended; }

    // Call once after the last chunk.
    void Finish();

    // Instead of Finish, when the bytes fed are the first part of a longer
    // file and the byte that follows them is neither a line break nor NUL:
    // true when they ended with a complete end line, so that the rest begins
    // a new examination and can be checked as a file of its own.
    bool FinishBeforeInvestigation();
    std::int64_t Lines() const { return FWalk.Lines(); }

private:
    enum class EState : std::uint8_t { LineStart,
                                       InLine,
                                       AfterCr,
                                       Ended };

    template <class TScan>
    void FeedWith(const char* bytes, std::size_t count);
    void FeedAvx2(const char* bytes, std::size_t count);
    void BeginLine(std::uint64_t offset);
    // Keeps the leading fields of the current line from n > 0 of its bytes at
    // p (bit i of separators marks p[i] == '|'); returns the separators behind
    // them, which are only counted.
    std::uint64_t Capture(const char* p, std::size_t n, std::uint64_t separators);
    void CaptureField(const char* p, std::size_t n);

    TStructureWalk FWalk;
    TLineFacts FFacts;
    EState FState = EState::LineStart;
    bool FPending = false; // FFacts holds a finished line not yet handed on
    // The fields of the current line kept as they stream past: both leading
    // ones for a line that may be a header line, only the first (and an end
    // line's count) for one the walk can only take as a parameter or end line.
    std::uint64_t FCapturedFields = 2;
    std::uint64_t FFed = 0; // bytes fed before the current chunk
};
