#include "InvestigationSource.h"

#include "FileAccess.h"
#include "InvestigationCutter.h"

#include <cstring>

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
            const auto dropped = static_cast<std::size_t>(cutter.NeededFrom(base + fed) - base);
            if (dropped > 0) {
                std::memmove(buffer.data(), buffer.data() + dropped, filled - dropped);
                base += dropped;
                filled -= dropped;
                fed -= dropped;
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
