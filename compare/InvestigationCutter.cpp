#include "InvestigationCutter.h"

#include <utility>

TInvestigationCutter::TInvestigationCutter(TOnInvestigation onInvestigation)
    : FOnInvestigation(std::move(onInvestigation)),
      FCutter(*this),
      FGrammar(BlockRules::Export)
{
}

void TInvestigationCutter::Feed(const char* bytes, std::size_t count, std::uint64_t at)
{
    FBytes = bytes;
    FAt = at;
    FCutter.Feed(bytes, count);
}

void TInvestigationCutter::Finish()
{
    FCutter.Finish();
    if (FHasPending)
        Walk(FPending, true);
    FHasPending = false;
    if (FOpen)
        Emit();
}

std::uint64_t TInvestigationCutter::NeededFrom(std::uint64_t fedTo) const
{
    if (FOpen)
        return FCurrent.Lines.front().Offset;
    return FHasPending ? FPending.Span.Offset : fedTo;
}

void TInvestigationCutter::EndLine()
{
    const std::string_view text(FLineBegin, static_cast<std::size_t>(FLineEnd - FLineBegin));
    const TBlockRules& rules = FGrammar.Rules();
    // Lines lie whole in one call's bytes (see Feed), so the line began in these.
    const TPending line{{FAt + static_cast<std::uint64_t>(FLineBegin - FBytes), text.size()},
                        IsEndLine(text, rules),
                        rules.BlankLineStops && IsBlankLine(text)};
    if (FHasPending)
        Walk(FPending, false);
    FPending = line;
    FHasPending = true;
}

void TInvestigationCutter::Walk(const TPending& line, bool isLast)
{
    const EBlockLine role = FGrammar.Next(line.IsEnd, line.Blank, isLast);
    ++FLine;
    switch (role) {
    case EBlockLine::Header1:
        if (FOpen)
            Emit();
        FOpen = true;
        FCurrent.FirstLine = FLine;
        FCurrent.Lines.assign(1, line.Span);
        return;
    case EBlockLine::Header2:
    case EBlockLine::Parameter:
        if (FOpen)
            FCurrent.Lines.push_back(line.Span);
        return;
    case EBlockLine::EndAsHeader2:
        if (FOpen)
            FCurrent.Lines.push_back(line.Span);
        [[fallthrough]];
    case EBlockLine::End:
    case EBlockLine::Outside:
        if (FOpen)
            Emit();
        return;
    }
}

void TInvestigationCutter::Emit()
{
    FOpen = false;
    FOnInvestigation(FCurrent);
}

std::size_t WholeLines(const char* bytes, std::size_t count)
{
    for (std::size_t i = count; i > 0; --i) {
        const char c = bytes[i - 1];
        if (c == '\n' || c == '\r' || c == '\0')
            return i;
    }
    return 0;
}
