#pragma once

#include "FileAccess.h"
#include "InvestigationSource.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

// A file's examinations as offsets and hashes, read once in pieces: what the
// pairing of two files needs, without their text. An examination's lines are
// read back from the file when they are wanted.
class TInvestigationIndex {
public:
    struct TEntry {
        std::uint64_t Start = 0; // offset of header line 1
        std::int64_t FirstLine = 0;
        std::uint64_t LineRef = 0; // into the line offsets
        std::uint32_t LineCount = 0;
        std::uint32_t Length = 0; // from header line 1 to the end of the last line
        std::uint64_t KeyHash = 0;
        // Of the examination's bytes, from header line 1 to its last line.
        std::uint64_t ContentHash = 0;
        // Of fields 31, 16 and 22 where 16 and 22 are filled; 0 otherwise.
        std::uint64_t PlaceHash = 0;
        // A Param.-ID occurs more often than its parameters are paired by
        // their differences.
        bool ManyOfOneId = false;
    };

    // What an examination's text gives: its key as bytes and its hashes.
    using TDescribe = std::function<void(const TInvestigationText&, std::string& key, TEntry& entry)>;

    // Reads path in pieces. Throws EFileOpenError when it cannot be read; a
    // stop requested ends the reading early.
    void Build(const std::string& path, const TDescribe& describe, std::stop_token stop = {});

    std::size_t Count() const { return FEntries.size(); }
    const TEntry& Entry(std::size_t i) const { return FEntries[i]; }
    std::string_view Key(std::size_t i) const
    {
        return {FKeyBytes.data() + FKeyStart[i], FKeyStart[i + 1] - FKeyStart[i]};
    }

    // Reads examinations back, keeping a piece of the file around them so
    // that reading many in file order costs few calls, and few costs little.
    class TReader {
    public:
        TReader(const TInvestigationIndex& index, std::size_t pieceSize);
        // Examination i, valid until the next call.
        TInvestigationText Investigation(std::size_t i);

    private:
        const TInvestigationIndex& FIndex;
        std::size_t FPieceSize;
        std::vector<char> FBuffer;
        std::uint64_t FBufferStart = 0;
        std::size_t FFilled = 0;
        std::uint64_t FLastEnd = 0; // of the examination read before
        std::vector<std::string_view> FLines;
    };

private:
    std::unique_ptr<TReadOnlyFile> FFile;
    std::vector<TEntry> FEntries;
    std::vector<std::uint32_t> FLineOffsets; // from the examination's start
    std::vector<char> FKeyBytes;
    std::vector<std::size_t> FKeyStart{0};
};
