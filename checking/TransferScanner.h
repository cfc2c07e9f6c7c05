#pragma once

#include "LineFacts.h"
#include "StructureWalk.h"

#include <cstddef>
#include <cstdint>

// Streams the bytes of a transfer file through the structure walk, in chunks
// of any size: lines are cut by the reading rules (CR, LF, CR LF, LF CR, first
// NUL ends the text) and reduced to their facts on the fly, so memory stays
// the same whatever the file or line length.
class TTransferScanner {
public:
    explicit TTransferScanner(TSamplingData& data);

    void Feed(const char* bytes, std::size_t count);

    // True once a NUL has ended the text: later bytes are ignored.
    bool Ended() const { return FState == EState::Ended; }

    // Call once after the last chunk.
    void Finish();

private:
    enum class EState { LineStart, InLine, AfterCr, Ended };

    // Scans the line from block[pos]; returns the position behind what it used.
    unsigned ScanLine(const char* block, unsigned pos, unsigned avail, std::uint64_t sep, std::uint64_t eol);
    void EndLine(char lineEnd);
    void Capture(const char* p, std::size_t n);

    TStructureWalk FWalk;
    TLineFacts FFacts;
    EState FState = EState::LineStart;
    bool FPending = false; // FFacts holds a finished line not yet handed on
};
