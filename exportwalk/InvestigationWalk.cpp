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

// Cuts line into at most N trimmed fields; returns how many the line has,
// which may be more. separators are the positions of its bars.
template <std::size_t N, class TSeparators>
std::size_t CutLine(std::string_view line, const TSeparators& separators, std::string_view* fields)
{
    static_assert(N < TSeparators::Kept);
    if (separators.Count > TSeparators::Kept)
        return separators.Count; // more fields than N, whatever they are
    // Field k ends at the k-th separator: the cutter asks for them in turn.
    std::size_t count = 0;
    CutFields(
        line,
        [&](std::string_view text, std::size_t) { return count < separators.Count ? separators.At[count] : text.size(); },
        [&](std::string_view field) {
            if (count < N)
                fields[count] = field;
            ++count;
        });
    return count;
}

} // namespace

TInvestigationWalk::TInvestigationWalk(TInvestigationSink& sink, std::int64_t number, std::int64_t firstLine)
    : FSink(sink),
      FWalk(*this, TBlockGrammar(BlockRules::Export), firstLine - 1),
      FCutter(*this)
{
    FInvestigation.Number = number - 1;
}

void TInvestigationWalk::ExpectBlockEnd(std::int64_t nextLine) const
{
    if (!FWalk.Grammar().BetweenBlocks() || FWalk.Lines() + 1 != nextLine)
        Changed(FWalk.Lines());
}

void TInvestigationWalk::Changed(std::int64_t line)
{
    throw ETransferChanged("Zeile " + std::to_string(line) + " entspricht nicht mehr der Prüfung");
}

void TInvestigationWalk::BeginLine(const char* at)
{
    // Another line begins, so the one read before was not the last.
    if (FPending)
        FWalk.OnLine(FLine, false);
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
        FWalk.OnLine(FLine, fileEnds);
    FPending = FInLine = false;
    // A block without its end line did not pass the check.
    if (FWalk.Grammar().InParameters())
        Changed(FWalk.Lines());
}

void TInvestigationWalk::BeginInvestigation(std::string_view header2, const TSeparators& separators, std::int64_t number,
                                            bool complete)
{
    FHeader2.assign(header2);
    std::string_view* master = FInvestigation.Master.data();
    const std::size_t count = CutLine<Header2Fields>(FHeader2, separators, master + Header1Fields);
    if (CutLine<Header1Fields>(FHeader1, FHeader1Separators, master) != Header1Fields ||
        (complete ? count != Header2Fields : count > Header2Fields))
        Changed(number);
    std::fill(master + Header1Fields + count, master + MasterFieldCount, std::string_view());
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
        // An end line here passes the check only as the file's last line
        // (EndAsHeader2); the check fails on the line that follows.
        if (IsEndLine(line, BlockRules::Export))
            Changed(number + 1);
        BeginInvestigation(line, line.Separators, number, true);
        return;
    case EBlockLine::EndAsHeader2:
        BeginInvestigation(line, line.Separators, number, false);
        FSink.EndInvestigation(FInvestigation, 0);
        return;
    case EBlockLine::Parameter: {
        TParameterFields& fields = FFields;
        if (CutLine<ParameterFieldCount>(line, line.Separators, fields.data()) != ParameterFieldCount)
            Changed(number);
        ++FParameters;
        FSink.Parameter(FInvestigation, number, fields);
        return;
    }
    case EBlockLine::End: {
        std::string_view fields[FieldLayout::End.FieldCount];
        if (CutLine<FieldLayout::End.FieldCount>(line, line.Separators, fields) !=
            static_cast<std::size_t>(FieldLayout::End.FieldCount))
            Changed(number);
        FSink.EndInvestigation(FInvestigation, FParameters);
        return;
    }
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
        return !stop.stop_requested();
    });
    if (stop.stop_requested())
        return;
    walk.Finish(part.Last);
    if (!part.Last)
        walk.ExpectBlockEnd(part.NextLine);
}
