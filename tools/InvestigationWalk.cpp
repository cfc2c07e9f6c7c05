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
    : TInvestigationWalk(sink)
{
    FInvestigation.Number = number - 1;
    FLine = firstLine - 1;
}

void TInvestigationWalk::ExpectBlockEnd(std::int64_t nextLine) const
{
    if (FStep != EStep::Header1 || FLine + 1 != nextLine)
        Changed();
}

void TInvestigationWalk::Changed() const
{
    throw ETransferChanged("Zeile " + std::to_string(FLine) + " entspricht nicht mehr der Pr\xC3\xBC"
                                                              "fung");
}

void TInvestigationWalk::BeginLine(const char* at)
{
    FLineBegin = FLineEnd = at;
    FInLine = true;
    FCarried = false;
    FCarry.clear();
    FSeparators.Count = 0;
}

void TInvestigationWalk::LineBytes(const char* p, std::size_t n, std::uint64_t separators)
{
    const std::size_t offset = FCarried ? FCarry.size() : static_cast<std::size_t>(p - FLineBegin);
    for (; separators != 0; separators &= separators - 1) {
        if (FSeparators.Count < TSeparators::Kept)
            FSeparators.At[FSeparators.Count] = offset + static_cast<std::size_t>(ByteScan::LowestBit(separators));
        ++FSeparators.Count;
    }
    if (FCarried)
        FCarry.append(p, n);
    else
        FLineEnd = p + n;
}

void TInvestigationWalk::EndLine()
{
    FInLine = false;
    OnLine(FCarried ? std::string_view(FCarry) : std::string_view(FLineBegin, static_cast<std::size_t>(FLineEnd - FLineBegin)));
}

void TInvestigationWalk::Feed(const char* bytes, std::size_t count)
{
    FCutter.Feed(bytes, count);
    // The chunk is about to be reused: keep what it holds of an open line.
    if (FInLine && !FCarried) {
        FCarry.assign(FLineBegin, static_cast<std::size_t>(FLineEnd - FLineBegin));
        FCarried = true;
    }
}

void TInvestigationWalk::Finish()
{
    FCutter.Finish();
    // A block without its end line did not pass the check.
    if (FStep == EStep::Parameters)
        Changed();
    if (FStep == EStep::EndAsHeader2) {
        FSeparators = FHeader2Separators;
        BeginInvestigation(std::string(FHeader2), false);
        FSink.EndInvestigation(FInvestigation, 0);
        FStep = EStep::Header1;
    }
}

void TInvestigationWalk::BeginInvestigation(std::string_view header2, bool complete)
{
    FHeader2.assign(header2);
    std::string_view* master = FInvestigation.Master.data();
    const std::size_t count = CutLine<Header2Fields>(FHeader2, FSeparators, master + Header1Fields);
    if (CutLine<Header1Fields>(FHeader1, FHeader1Separators, master) != Header1Fields ||
        (complete ? count != Header2Fields : count > Header2Fields))
        Changed();
    std::fill(master + Header1Fields + count, master + MasterFieldCount, std::string_view());
    ++FInvestigation.Number;
    FInvestigation.FirstLine = FLine - 1;
    FParameters = 0;
    FSink.BeginInvestigation(FInvestigation);
}

void TInvestigationWalk::OnLine(std::string_view line)
{
    ++FLine;
    switch (FStep) {
    case EStep::Header1:
        FHeader1.assign(line);
        FHeader1Separators = FSeparators;
        FStep = EStep::Header2;
        return;
    case EStep::Header2:
        if (TrimField(line.substr(0, FSeparators.Count > 0 ? FSeparators.At[0] : line.size())) == FieldLayout::EndKind) {
            // Passes the check only as the file's last line: Finish takes it.
            FHeader2.assign(line);
            FHeader2Separators = FSeparators;
            FStep = EStep::EndAsHeader2;
            return;
        }
        BeginInvestigation(line, true);
        FStep = EStep::Parameters;
        return;
    case EStep::EndAsHeader2:
        Changed();
    case EStep::Parameters: {
        TParameterFields& fields = FFields;
        fields[0] = {};
        const std::size_t count = CutLine<ParameterFieldCount>(line, FSeparators, fields.data());
        if (count >= 1 && fields[0] == FieldLayout::EndKind) {
            if (count != static_cast<std::size_t>(FieldLayout::End.FieldCount))
                Changed();
            FSink.EndInvestigation(FInvestigation, FParameters);
            FStep = EStep::Header1;
            return;
        }
        if (count != ParameterFieldCount)
            Changed();
        ++FParameters;
        FSink.Parameter(FInvestigation, FLine, fields);
        return;
    }
    }
}

void WalkInvestigationsPart(TByteSource& file, const TFilePart& part, TInvestigationSink& sink, std::unique_ptr<char[]>& buffer)
{
    TInvestigationWalk walk(sink, part.Number, part.FirstLine);
    if (!buffer)
        buffer.reset(new char[ChunkSize]);
    ReadStretch(file, part.Offset, part.End, part.Last, buffer.get(), ChunkSize, [&](const char* bytes, std::size_t n) {
        walk.Feed(bytes, n);
        return true;
    });
    walk.Finish();
    if (!part.Last)
        walk.ExpectBlockEnd(part.NextLine);
}

void WalkInvestigations(const std::string& path, TInvestigationSink& sink)
{
    TReadOnlyFile file(path);
    TInvestigationWalk walk(sink);
    const std::unique_ptr<char[]> buffer(new char[ChunkSize]);
    for (;;) {
        const std::size_t n = file.Read(buffer.get(), ChunkSize);
        if (n == 0)
            break;
        walk.Feed(buffer.get(), n);
    }
    walk.Finish();
}
