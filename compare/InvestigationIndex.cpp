#include "InvestigationIndex.h"

#include "Lines.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

void TInvestigationIndex::Build(const std::string& path, const TDescribe& describe, std::stop_token stop)
{
    FFile = std::make_unique<TReadOnlyFile>(path);
    FEntries.clear();
    FLineOffsets.clear();
    FKeyBytes.clear();
    FKeyStart.assign(1, 0);
    std::string key;
    StreamInvestigations(
        path,
        [&](const TInvestigationText& inv) {
            const std::string_view bytes = inv.Bytes();
            if (bytes.size() > std::numeric_limits<std::uint32_t>::max())
                throw std::length_error("Untersuchung zu groß");
            TEntry& entry = FEntries.emplace_back();
            entry.Start = inv.Offset;
            entry.FirstLine = inv.FirstLine;
            entry.LineRef = FLineOffsets.size();
            entry.LineCount = static_cast<std::uint32_t>(inv.Lines.size());
            entry.Length = static_cast<std::uint32_t>(bytes.size());
            for (const std::string_view line : inv.Lines)
                FLineOffsets.push_back(static_cast<std::uint32_t>(line.data() - bytes.data()));
            describe(inv, key, entry);
            FKeyBytes.insert(FKeyBytes.end(), key.begin(), key.end());
            FKeyStart.push_back(FKeyBytes.size());
        },
        stop);
}

TInvestigationIndex::TReader::TReader(const TInvestigationIndex& index, std::size_t pieceSize)
    : FIndex(index),
      FPieceSize(pieceSize)
{
}

TInvestigationText TInvestigationIndex::TReader::Investigation(std::size_t i)
{
    const TEntry& entry = FIndex.FEntries[i];
    if (entry.Start < FBufferStart || entry.Start + entry.Length > FBufferStart + FFilled) {
        // Where the examination follows close on the one read before, a piece
        // from it on brings the next ones too; one standing apart is read alone.
        const bool close = entry.Start >= FLastEnd && entry.Start - FLastEnd <= entry.Length;
        FBuffer.resize(close ? std::max<std::size_t>(FPieceSize, entry.Length) : entry.Length);
        FBufferStart = entry.Start;
        FFilled = 0;
        while (FFilled < FBuffer.size()) {
            const std::size_t got = FIndex.FFile->ReadAt(FBufferStart + FFilled, FBuffer.data() + FFilled, FBuffer.size() - FFilled);
            if (got == 0)
                break;
            FFilled += got;
        }
    }
    FLastEnd = entry.Start + entry.Length;
    // A file cut short since it was read gives its lines as far as they go.
    const std::string_view text(FBuffer.data() + (entry.Start - FBufferStart),
                                std::min<std::size_t>(entry.Length, FFilled - static_cast<std::size_t>(entry.Start - FBufferStart)));
    FLines.clear();
    for (std::uint32_t k = 0; k < entry.LineCount; ++k) {
        const std::string_view rest = text.substr(std::min<std::size_t>(FIndex.FLineOffsets[entry.LineRef + k], text.size()));
        FLines.push_back(rest.substr(0, LineLength(rest)));
    }
    return {entry.FirstLine, FLines, entry.Start};
}
