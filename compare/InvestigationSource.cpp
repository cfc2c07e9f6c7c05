#include "InvestigationSource.h"

#include "FileAccess.h"
#include "InvestigationCutter.h"

#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>

namespace {

// Offsets inside an examination are kept in 32 bits.
constexpr std::uint64_t MaxInvestigationSpan = std::numeric_limits<std::uint32_t>::max();

} // namespace

void TIndexedFile::Load(const std::string& path, std::stop_token stop, const TOnIndexed& onIndexed)
{
    FText = TFileText();
    FInvestigations.clear();
    FLineOffsets.clear();
    const char* text = nullptr;
    const auto keep = [this, &text, &onIndexed](const TInvestigationSpan& span) {
        const std::uint64_t start = span.Lines.front().Offset;
        const TLineSpan& last = span.Lines.back();
        if (last.Offset + last.Length - start > MaxInvestigationSpan)
            throw std::length_error("Untersuchung zu groß");
        FInvestigations.push_back({start, span.FirstLine, FLineOffsets.size(), static_cast<std::uint32_t>(span.Lines.size()),
                                   static_cast<std::uint32_t>(last.Offset + last.Length - start)});
        for (const TLineSpan& line : span.Lines)
            FLineOffsets.push_back(static_cast<std::uint32_t>(line.Offset - start));
        if (onIndexed) {
            const auto lineText = [&](std::size_t k) {
                return k < span.Lines.size() ? std::string_view(text + span.Lines[k].Offset, span.Lines[k].Length) : std::string_view();
            };
            onIndexed(FInvestigations.size() - 1, lineText(0), lineText(1));
        }
    };
    std::unique_ptr<TInvestigationCutter> cutter;
    std::size_t fed = 0;
    // The text keeps its address while it is read unless the file grew
    // meanwhile; the cut then begins anew.
    FText = TFileText::Read(
        path,
        [&](std::string_view textSoFar) {
            if (stop.stop_requested())
                return false;
            if (textSoFar.data() != text) {
                FInvestigations.clear();
                FLineOffsets.clear();
                cutter = std::make_unique<TInvestigationCutter>(keep);
                text = textSoFar.data();
                fed = 0;
            }
            cutter->Feed(text + fed, textSoFar.size() - fed, fed);
            fed = textSoFar.size();
            return true;
        },
        std::size_t(1) << 20);
    if (stop.stop_requested()) {
        FText = TFileText();
        FInvestigations.clear();
        FLineOffsets.clear();
        return;
    }
    if (!cutter)
        cutter = std::make_unique<TInvestigationCutter>(keep);
    cutter->Finish();
}

std::string_view TIndexedFile::LineAt(const TInvestigation& inv, std::size_t k) const
{
    const std::string_view rest = FText.Text().substr(inv.Start + FLineOffsets[inv.FirstLineRef + k]);
    return rest.substr(0, LineLength(rest));
}

TInvestigationText TIndexedFile::Investigation(std::size_t i, std::vector<std::string_view>& lines) const
{
    const TInvestigation& inv = FInvestigations[i];
    lines.clear();
    for (std::size_t k = 0; k < inv.LineCount; ++k)
        lines.push_back(LineAt(inv, k));
    return {inv.FirstLine, lines};
}

std::string_view TIndexedFile::Header1(std::size_t i) const { return LineAt(FInvestigations[i], 0); }

std::string_view TIndexedFile::Header2(std::size_t i) const
{
    const TInvestigation& inv = FInvestigations[i];
    return inv.LineCount > 1 ? LineAt(inv, 1) : std::string_view();
}

void StreamInvestigations(const std::string& path, const std::function<void(const TInvestigationText&)>& onInvestigation,
                          std::stop_token stop, std::size_t pieceSize)
{
    TReadOnlyFile file(path);
    // The buffer holds the file's bytes from offset `base` on: the examination
    // being read and the bytes behind it. It grows for an examination larger than itself.
    std::vector<char> buffer(pieceSize);
    std::uint64_t base = 0;
    std::size_t filled = 0; // bytes in the buffer
    std::size_t fed = 0; // of which the cutter has seen
    std::vector<std::string_view> lines;
    TInvestigationCutter cutter([&](const TInvestigationSpan& span) {
        lines.clear();
        for (const TLineSpan& line : span.Lines)
            lines.emplace_back(buffer.data() + (line.Offset - base), static_cast<std::size_t>(line.Length));
        onInvestigation(TInvestigationText{span.FirstLine, lines, span.Lines.front().Offset});
    });
    for (;;) {
        if (stop.stop_requested())
            return;
        if (filled == buffer.size()) {
            const auto keep = static_cast<std::size_t>(cutter.NeededFrom(base + fed) - base);
            if (keep > 0) {
                std::memmove(buffer.data(), buffer.data() + keep, filled - keep);
                base += keep;
                filled -= keep;
                fed -= keep;
            }
            if (filled > buffer.size() / 2)
                buffer.resize(buffer.size() * 2);
        }
        const std::size_t got = file.Read(buffer.data() + filled, buffer.size() - filled);
        if (got == 0)
            break;
        filled += got;
        const std::size_t whole = WholeLines(buffer.data() + fed, filled - fed);
        cutter.Feed(buffer.data() + fed, whole, base + fed);
        fed += whole;
    }
    cutter.Feed(buffer.data() + fed, filled - fed, base + fed);
    cutter.Finish();
}
