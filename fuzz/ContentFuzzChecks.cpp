#include "ContentFuzzChecks.h"

#include "CodeListError.h"
#include "CodeLists.h"
#include "ContentFileCheck.h"
#include "ContentLine.h"
#include "FieldLayout.h"
#include "Fields.h"
#include "FuzzSupport.h"
#include "Lines.h"
#include "TransferFileCheck.h"

#include <string>
#include <vector>

namespace {

// Small lists of every kind, whose entries the seeds and mutations can hit.
const TCodeLists& Lists()
{
    static const TCodeLists lists = [] {
        TCodeLists l;
        for (const TListCheck& check : ListChecks()) {
            std::string text = "# Liste\n1\n2|zwei\n  a  b \nE\nn.n.\n";
            if (check.Kind == ECodeListKind::Parameters)
                text = "4003|Blei|mg/l\n4003||\xB5g/l\n1|x\n2\n";
            if (check.Kind == ECodeListKind::SupplyAreas)
                text = "1|1\n1|2\nVG-1|06433000\n";
            l.Set(check.Field, TCodeList::Parse(text, ListFileName(check.Field), check.Kind));
        }
        return l;
    }();
    return lists;
}

bool SameStructure(const TSamplingData& a, const TSamplingData& b)
{
    return a.InvestigationCount == b.InvestigationCount && a.ParameterCount == b.ParameterCount &&
           a.LineCount == b.LineCount && a.MessageText == b.MessageText && a.UnexaminedLine == b.UnexaminedLine;
}

std::string Describe(const std::vector<TContentFinding>& findings)
{
    std::string out;
    for (const TContentFinding& f : findings)
        out += std::to_string(f.Line) + ": " + f.Text() + "\n";
    return out;
}

// Messages whose "$" is the field's own value.
bool QuotesField(ECheckMessage code)
{
    return code != ECheckMessage::ParameterCodeTextMismatch && code != ECheckMessage::ParameterCodeUnitMismatch &&
           std::string_view(CheckMessages[static_cast<int>(code)]).find('$') != std::string_view::npos;
}

} // namespace

void CheckContent(std::string_view text)
{
    for (const TListCheck& check : ListChecks()) {
        try {
            TCodeList::Parse(text, "fuzz.txt", check.Kind);
        } catch (const ECodeListError& e) {
            FUZZ_ASSERT(std::string_view(e.what()).starts_with("Kodeliste fuzz.txt"), e.what());
        }
    }

    TSamplingData plain;
    CheckTransferBytes(text, plain);
    std::vector<TContentFinding> whole;
    for (const std::int32_t kind : {1, 2}) {
        TSamplingData data;
        CheckTransferBytesContent(text, data, Lists(), kind, whole);
        FUZZ_ASSERT(SameStructure(data, plain), data.MessageText + "---plain---\n" + plain.MessageText);
        FUZZ_ASSERT(data.MessageCount == 0 || whole.empty(), Describe(whole));
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{5}, std::size_t{64}}) {
            if (chunk == 1 && text.size() > 1024)
                continue;
            TSamplingData chunked;
            std::vector<TContentFinding> pieces;
            CheckTransferBytesContent(text, chunked, Lists(), kind, pieces, chunk);
            FUZZ_ASSERT(Describe(pieces) == Describe(whole), "chunk " + std::to_string(chunk) + "\n" + Describe(whole));
        }
    }

    // Every finding at a line of the file, in order, quoting its field.
    std::vector<std::string_view> lines;
    ForEachLine(text, [&lines](std::string_view line) { lines.push_back(line); });
    std::int32_t previous = 0;
    for (const TContentFinding& f : whole) {
        FUZZ_ASSERT(f.Line >= previous && f.Line >= 1 && static_cast<std::size_t>(f.Line) <= lines.size(), Describe(whole));
        FUZZ_ASSERT(f.Investigation >= 1 && f.InvestigationLine >= 1 && f.InvestigationLine <= f.Line, Describe(whole));
        previous = f.Line;
        if (!QuotesField(f.Code) || (!f.Value.empty() && f.Value.back() == '\x85'))
            continue;
        const int first = f.Field >= FieldLayout::Parameter.FirstField ? FieldLayout::Parameter.FirstField
                          : f.Field >= FieldLayout::Header2.FirstField ? FieldLayout::Header2.FirstField
                                                                       : FieldLayout::Header1.FirstField;
        const std::string_view field = FieldOfLine(lines[static_cast<std::size_t>(f.Line - 1)], static_cast<std::size_t>(f.Field - first));
        FUZZ_ASSERT(field == f.Value, Describe(whole) + "field: " + std::string(field));
    }
}
