#include "InvestigationWalk.h"

#include "ByteSource.h"
#include "Fields.h"
#include "FileAccess.h"

#include <algorithm>
#include <memory>

namespace {

constexpr std::size_t ChunkSize = 256 << 10;
constexpr int Header1Fields = FieldLayout::Header1.FieldCount;
constexpr int Header2Fields = MasterFieldCount - Header1Fields;

// Cuts line into its first N trimmed fields; those it lacks are empty. The
// guard has made sure of the count wherever the rules cut as the check does.
// separators are the positions of its bars.
template <std::size_t N, class TSeparators>
void CutLine(std::string_view line, const TSeparators& separators, std::string_view* fields)
{
    static_assert(N < TSeparators::Kept);
    // Field k ends at the k-th separator: the cutter asks for them in turn.
    std::size_t count = 0;
    CutFields(
        line,
        [&](std::string_view text, std::size_t) { return count < separators.Count && count < TSeparators::Kept ? separators.At[count] : text.size(); },
        [&](std::string_view field) {
            fields[count++] = field;
            return count < N;
        });
    std::fill(fields + count, fields + N, std::string_view());
}

} // namespace

TInvestigationWalk::TInvestigationWalk(TInvestigationSink& sink, std::int64_t number, std::int64_t firstLine, const TBlockRules& rules)
    : FSink(sink),
      FGrammar(rules),
      FLines(firstLine - 1),
      FGuard(firstLine - 1),
      FCutter(*this)
{
    FInvestigation.Number = number - 1;
}

void TInvestigationWalk::ExpectBlockEnd(std::int64_t nextLine) const
{
    if (!FGrammar.BetweenBlocks() || FLines + 1 != nextLine)
        TCheckGuard::Changed(FLines);
}

// The block walk (BlockGrammar.h), told whether a line ends an examination
// once for the guard and the rules where both ask alike.
void TInvestigationWalk::OnLine(bool isLast)
{
    const std::string_view text = FLine.Text();
    const TCheckGuard::TFacts facts = TCheckGuard::FactsOf(text, FLine.Separators.Count);
    FGuard.OnLine(facts, isLast);
    const TBlockRules& rules = FGrammar.Rules();
    const bool isEnd = rules.End == BlockRules::Check.End ? facts.IsEnd : IsEndLine(text, rules);
    BlockLine(FGrammar.Next(isEnd, rules.BlankLineStops && IsBlankLine(text), isLast), FLine, ++FLines);
}

void TInvestigationWalk::BeginLine(const char* at)
{
    // Another line begins, so the one read before was not the last.
    if (FPending)
        OnLine(false);
    FPending = false;
    FLine.Begin = FLine.End = at;
    FInLine = true;
    FLine.Carried = false;
    FLine.Carry.clear();
    FLine.Separators.Count = 0;
}

void TInvestigationWalk::LineBytes(const char* p, std::size_t n, std::uint64_t separators)
{
    TSeparators& kept = FLine.Separators;
    const std::size_t offset = FLine.Carried ? FLine.Carry.size() : static_cast<std::size_t>(p - FLine.Begin);
    for (; separators != 0; separators &= separators - 1) {
        if (kept.Count < TSeparators::Kept)
            kept.At[kept.Count] = offset + static_cast<std::size_t>(ByteScan::LowestBit(separators));
        ++kept.Count;
    }
    if (FLine.Carried)
        FLine.Carry.append(p, n);
    else
        FLine.End = p + n;
}

void TInvestigationWalk::Feed(const char* bytes, std::size_t count)
{
    FCutter.Feed(bytes, count);
    // The chunk is about to be reused: keep what it holds of the line.
    if ((FInLine || FPending) && !FLine.Carried) {
        FLine.Carry.assign(FLine.Begin, static_cast<std::size_t>(FLine.End - FLine.Begin));
        FLine.Carried = true;
    }
}

void TInvestigationWalk::Finish(bool fileEnds)
{
    FCutter.Finish();
    if (FPending)
        OnLine(fileEnds);
    FPending = FInLine = false;
    FGuard.Finish();
    // Rules other than the check's may leave the last examination without its
    // end line in a file that passed: it ends with the file.
    if (FGrammar.InParameters())
        FSink.EndInvestigation(FInvestigation, FParameters);
}

void TInvestigationWalk::BeginInvestigation(std::string_view header2, const TSeparators& separators, std::int64_t number)
{
    FHeader2.assign(header2);
    std::string_view* master = FInvestigation.Master.data();
    CutLine<Header1Fields>(FHeader1, FHeader1Separators, master);
    CutLine<Header2Fields>(FHeader2, separators, master + Header1Fields);
    ++FInvestigation.Number;
    FInvestigation.FirstLine = number - 1;
    FParameters = 0;
    FSink.BeginInvestigation(FInvestigation);
}

void TInvestigationWalk::BlockLine(EBlockLine role, const TLine& line, std::int64_t number)
{
    switch (role) {
    case EBlockLine::Header1:
        FHeader1.assign(line.Text());
        FHeader1Separators = line.Separators;
        return;
    case EBlockLine::Header2:
        BeginInvestigation(line, line.Separators, number);
        return;
    case EBlockLine::EndAsHeader2:
        BeginInvestigation(line, line.Separators, number);
        FSink.EndInvestigation(FInvestigation, 0);
        return;
    case EBlockLine::Parameter:
        CutLine<ParameterFieldCount>(line, line.Separators, FFields.data());
        ++FParameters;
        FSink.Parameter(FInvestigation, number, FFields);
        return;
    case EBlockLine::End:
        FSink.EndInvestigation(FInvestigation, FParameters);
        return;
    case EBlockLine::Outside:
        return;
    }
}

void WalkInvestigationsPart(TByteSource& file, const TFilePart& part, TInvestigationSink& sink, std::unique_ptr<char[]>& buffer,
                            std::stop_token stop)
{
    TInvestigationWalk walk(sink, part.Number, part.FirstLine);
    if (!buffer)
        buffer.reset(new char[ChunkSize]);
    ReadStretch(file, part.Offset, part.End, part.Last, buffer.get(), ChunkSize, [&](const char* bytes, std::size_t n) {
        walk.Feed(bytes, n);
        return !stop.stop_requested() && !walk.Ended();
    });
    if (stop.stop_requested())
        return;
    walk.Finish(part.Last);
    if (!part.Last)
        walk.ExpectBlockEnd(part.NextLine);
}
