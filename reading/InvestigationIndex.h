#pragma once

#include "BlockGrammar.h"
#include "FileAccess.h"
#include "FileText.h"
#include "InvestigationText.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

// The reader of a whole file into an index of offsets: where each examination
// begins, its first line, and where each of its lines begins together with
// the entry (field number - 1) of its first field. Lines are cut
// as the check cuts them, up to the first NUL, where the check's reading stops
// too, and grouped into examinations by the block walk under the rules given
// (BlockGrammar.h). The text is kept, for the viewer, or read back from the
// file when an examination is wanted, so that two large files can be paired
// in little memory.
class TInvestigationIndex {
public:
    struct TOptions {
        TBlockRules Rules = BlockRules::Viewer;
        // Keep the file's text (Text()); else examinations are read back (TReader).
        bool KeepText = false;
        // The file passed its check: throw ETransferChanged where it no longer
        // does (CheckGuard.h).
        bool Guard = false;
        std::size_t PieceSize = std::size_t(1) << 20;
        // The hearer is told the lines whose first field comes before this
        // entry; those behind are left out of its text.
        std::uint32_t EntriesTold = UINT32_MAX;
        // Keep each line's first entry (FirstEntries()), which finding a
        // field by its number needs and pairing examinations does not.
        bool KeepFirstEntries = true;
        // Keep where the separators of the lines told stand (ToldSeparators()).
        bool TellSeparators = false;
    };
    struct TEntry {
        std::uint64_t Start = 0; // offset of header line 1 in the file
        std::uint64_t FirstLineRef = 0;
        std::int64_t FirstLine = 0; // line number of header line 1
        std::uint32_t LineCount = 0;
        std::uint32_t FieldCount = 0;
    };
    // Hears each examination once its last line is read, with its number and
    // its text (the lines that TOptions::EntriesTold leaves it).
    using TOnInvestigation = std::function<void(std::size_t, const TInvestigationText&)>;

    // Reads path in pieces of options.PieceSize bytes; replaces what was read
    // before. Throws EFileOpenError when it cannot be read, and ETransferChanged
    // under the guard; nothing stays read then. A stop requested ends the
    // reading early, with nothing read.
    void Build(const std::string& path, const TOptions& options, const TOnInvestigation& onInvestigation = {},
               std::stop_token stop = {});
    void Clear();

    std::size_t Count() const { return FEntries.size(); }
    const TEntry& Entry(std::size_t i) const { return FEntries[i]; }
    // Where the examination's lines begin, from its start.
    std::span<const std::uint32_t> LineOffsets(std::size_t i) const
    {
        return {FLineOffsets.data() + FEntries[i].FirstLineRef, FEntries[i].LineCount};
    }
    // The entry of each line's first field, where kept.
    std::span<const std::uint32_t> FirstEntries(std::size_t i) const
    {
        return {FFirstEntries.data() + FEntries[i].FirstLineRef, FEntries[i].LineCount};
    }
    // While an examination is heard: where the separators of its told line k
    // stand, from the line's start; those behind the entry EntriesTold may be missing.
    std::span<const std::uint32_t> ToldSeparators(std::size_t k) const
    {
        return {FToldSeparators.data() + FToldStarts[k], FToldStarts[k + 1] - FToldStarts[k]};
    }
    // The file's text up to where the reading stopped, when kept.
    std::string_view Text() const { return FText.Text(); }

    // Reads examinations back from the file, keeping a piece of it around them
    // so that reading many in file order costs few calls, and few costs little.
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
    class TBuilder;
    void ReadKept(const std::string& path, TBuilder& builder, std::size_t pieceSize, std::stop_token stop);
    void ReadInPieces(const std::string& path, TBuilder& builder, std::size_t pieceSize, std::stop_token stop);

    TFileText FText;
    std::unique_ptr<TReadOnlyFile> FFile;
    std::vector<TEntry> FEntries;
    std::vector<std::uint32_t> FLineOffsets;
    std::vector<std::uint32_t> FFirstEntries;
    // Where each examination's bytes end, for reading it back.
    std::vector<std::uint32_t> FLengths;
    std::vector<std::uint32_t> FToldSeparators;
    std::vector<std::size_t> FToldStarts{0};
};
