#pragma once

#include "FileText.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

// One examination's lines as text: header line 1, header line 2 and the
// parameter lines, consecutive lines of the file from FirstLine on.
struct TInvestigationText {
    std::int64_t FirstLine = 0;
    std::span<const std::string_view> Lines;
    std::uint64_t Offset = 0; // of header line 1 in the file, where read in pieces

    std::int64_t LineOf(std::size_t k) const { return FirstLine + static_cast<std::int64_t>(k); }
    // From the first byte of header line 1 to the last of the last line: two
    // examinations whose bytes are the same hold the same fields.
    std::string_view Bytes() const
    {
        if (Lines.empty())
            return {};
        return {Lines.front().data(), static_cast<std::size_t>(Lines.back().data() + Lines.back().size() - Lines.front().data())};
    }
};

// A file held whole, as the viewer's list holds it: the text and, per
// examination, where its lines begin; no string per line or field.
class TIndexedFile {
public:
    // Throws EFileOpenError when the file cannot be read. A stop requested
    // from another thread ends the load early, with nothing loaded.
    // onIndexed hears each examination's header lines while they are in the
    // cache; a load that begins anew (the file grew) begins again at index 0.
    using TOnIndexed = std::function<void(std::size_t index, std::string_view header1, std::string_view header2)>;
    void Load(const std::string& path, std::stop_token stop = {}, const TOnIndexed& onIndexed = {});

    std::size_t Count() const { return FInvestigations.size(); }
    // Examination i; lines is the caller's, reused from call to call.
    TInvestigationText Investigation(std::size_t i, std::vector<std::string_view>& lines) const;
    std::int64_t FirstLine(std::size_t i) const { return FInvestigations[i].FirstLine; }
    // TInvestigationText::Bytes of examination i, without cutting its lines.
    std::string_view Bytes(std::size_t i) const
    {
        return FText.Text().substr(FInvestigations[i].Start, FInvestigations[i].Length);
    }
    // Header line 1 of examination i, where the default key stands.
    std::string_view Header1(std::size_t i) const;
    std::string_view Header2(std::size_t i) const;

private:
    struct TInvestigation {
        std::uint64_t Start; // offset of header line 1
        std::int64_t FirstLine;
        std::size_t FirstLineRef; // into FLineOffsets
        std::uint32_t LineCount;
        std::uint32_t Length; // from header line 1 to the end of the last line
    };
    std::string_view LineAt(const TInvestigation& inv, std::size_t k) const;

    TFileText FText;
    std::vector<TInvestigation> FInvestigations;
    std::vector<std::uint32_t> FLineOffsets; // from the examination's start
};

// Reads a file in pieces, keeping only the examination being read, and hands
// each examination to onInvestigation; its lines are valid during the call.
// Throws EFileOpenError when the file cannot be read. A stop requested ends
// the walk early.
void StreamInvestigations(const std::string& path, const std::function<void(const TInvestigationText&)>& onInvestigation,
                          std::stop_token stop = {}, std::size_t pieceSize = std::size_t(1) << 20);
