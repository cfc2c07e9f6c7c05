#include "ContentCheck.h"

#include "ContentRules.h"

#include <algorithm>
#include <climits>

namespace {

using M = ECheckMessage;

std::int32_t Clamped(std::int64_t line) { return line > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(line); }

// Index in its line of field (header line 1, header line 2 or parameter line).
int IndexOf(int field)
{
    if (field >= FieldLayout::Parameter.FirstField)
        return field - FieldLayout::Parameter.FirstField;
    if (field >= FieldLayout::Header2.FirstField)
        return field - FieldLayout::Header2.FirstField;
    return field - FieldLayout::Header1.FirstField;
}

// "'a' oder 'b'", up to three of the list's texts for one code.
std::string Alternatives(std::span<const TCodeList::TParameter> lines, std::string TCodeList::TParameter::*member)
{
    std::string out;
    int shown = 0;
    for (const TCodeList::TParameter& p : lines) {
        const std::string& text = p.*member;
        if (text.empty() || out.find("'" + text + "'") != std::string::npos)
            continue;
        if (shown == 3) {
            out += " oder \x85";
            break;
        }
        if (shown++ > 0)
            out += " oder ";
        out += "'" + text + "'";
    }
    return out;
}

} // namespace

TContentCheck::TContentCheck(const TCodeLists& lists, std::int32_t interfaceKind)
    : FLists(lists),
      FInterfaceKind(interfaceKind),
      FCutter(*this),
      FWalk(*this, TBlockGrammar(BlockRules::Check)),
      FParameterLists(lists.Find(44) || lists.Find(49) || lists.Find(51) || lists.Find(52) || lists.Find(53))
{
    // Only the fields some rule reads, in whichever line: those without a list always.
    std::uint32_t wanted = 0;
    for (const int field : FieldsWithoutList())
        wanted |= std::uint32_t{1} << IndexOf(field);
    for (const TListCheck& check : ListChecks()) {
        if (lists.Find(check.Field))
            wanted |= std::uint32_t{1} << IndexOf(check.Field);
    }
    // Field 25 is judged with field 35, field 44 with 45 and 50.
    if (lists.Find(25))
        wanted |= std::uint32_t{1} << IndexOf(35);
    if (lists.Find(44))
        wanted |= std::uint32_t{1} << IndexOf(50);
    FLine.KeepFields(wanted);
}

void TContentCheck::BeginLine(const char*)
{
    // Another line begins, so the finished one was not the last.
    if (FPending)
        FWalk.OnLine(FLine, false);
    FLine.Reset();
    FPending = false;
}

void TContentCheck::Finish()
{
    FCutter.Finish();
    if (FPending)
        FWalk.OnLine(FLine, true);
    FPending = false;
    if (FHeader1Open)
        CloseHeader1({});
}

void TContentCheck::BlockLine(EBlockLine role, const TContentLine& line, std::int64_t number)
{
    const std::int32_t n = Clamped(number);
    switch (role) {
    case EBlockLine::Parameter:
        if (FHeader1Open)
            CloseHeader1({});
        Parameter(line, n);
        ++FParameter;
        return;
    case EBlockLine::Header1:
        if (FHeader1Open)
            CloseHeader1({});
        if (FInvestigation < INT32_MAX)
            ++FInvestigation;
        FInvestigationLine = n;
        FParameter = 0;
        Header1(line, n);
        return;
    case EBlockLine::Header2:
        Header2(line, n);
        return;
    case EBlockLine::End:
    case EBlockLine::EndAsHeader2:
        if (FHeader1Open)
            CloseHeader1({});
        return;
    case EBlockLine::Outside:
        return;
    }
}

void TContentCheck::Add(std::vector<TContentFinding>& to, ECheckMessage code, int field, std::int32_t line,
                        std::string_view value)
{
    TContentFinding f;
    f.Line = line;
    f.Code = code;
    f.Field = field;
    if (std::string_view(CheckMessages[static_cast<int>(code)]).find('$') != std::string_view::npos)
        f.Value = value;
    f.Investigation = FInvestigation;
    f.InvestigationLine = FInvestigationLine;
    f.Parameter = field >= FieldLayout::Parameter.FirstField ? FParameter : -1;
    to.push_back(std::move(f));
}

std::string_view TContentCheck::Shown(const TContentLine& line, int index)
{
    if (!line.Overlong(index))
        return line.Field(index);
    FShown.assign(line.Field(index));
    FShown += '\x85';
    return FShown;
}

void TContentCheck::Required(std::vector<TContentFinding>& to, const TContentLine& line, int field, ECheckMessage code,
                             std::int32_t number)
{
    if (line.Field(IndexOf(field)).empty())
        Add(to, code, field, number, {});
}

void TContentCheck::Listed(std::vector<TContentFinding>& to, const TContentLine& line, int field, ECheckMessage code,
                           std::int32_t number)
{
    const TCodeList* list = FLists.Find(field);
    const int index = IndexOf(field);
    const std::string_view value = line.Field(index);
    if (list == nullptr || value.empty())
        return;
    if (line.Overlong(index) || !list->Contains(value))
        Add(to, code, field, number, Shown(line, index));
}

void TContentCheck::Header1(const TContentLine& line, std::int32_t number)
{
    std::vector<TContentFinding>& to = FHeader1Findings;
    to.clear();
    FHeader1Open = true;
    Required(to, line, 3, M::LabSampleIdMissing, number);
    // The health office assigns its id; a supplier's file may not carry it yet.
    if (FInterfaceKind == 2)
        Required(to, line, 5, M::HealthOfficeSampleIdMissing, number);
    Required(to, line, 14, M::SamplingPointNameMissing, number);
    Required(to, line, 16, M::SamplingPointCodeMissing, number);
    Required(to, line, 17, M::SamplingPointStreetMissing, number);
    if (!ContentRules::IsPostcode(line.Field(IndexOf(18))))
        Add(to, M::PostcodeInvalid, 18, number, Shown(line, IndexOf(18)));
    Required(to, line, 19, M::SamplingPointTownMissing, number);
    if (!ContentRules::IsDateTime(line.Field(IndexOf(22))))
        Add(to, M::SamplingDateInvalid, 22, number, Shown(line, IndexOf(22)));
    Listed(to, line, 24, M::ObjectCodeInvalid, number);
    FSupplyArea.assign(line.Field(IndexOf(25)));
    FSupplyAreaOverlong = line.Overlong(IndexOf(25));
    Listed(to, line, 27, M::LimitExceededCodeInvalid, number);
    Listed(to, line, 28, M::SamplingProcedureInvalid, number);
    Listed(to, line, 29, M::SamplingReasonInvalid, number);
    const std::string_view arrival = line.Field(IndexOf(30));
    if (!arrival.empty() && !ContentRules::IsDateTime(arrival))
        Add(to, M::LabArrivalDateInvalid, 30, number, Shown(line, IndexOf(30)));
    Listed(to, line, 31, M::LabKeyInvalid, number);
}

void TContentCheck::CloseHeader1(std::string_view healthOffice)
{
    FHeader1Open = false;
    const TCodeList* areas = FLists.Find(25);
    if (areas != nullptr && !FSupplyArea.empty()) {
        std::string shown = FSupplyArea;
        if (FSupplyAreaOverlong)
            shown += '\x85';
        const std::span<const std::string> offices = areas->FindSupplyArea(FSupplyArea);
        if (ContentRules::HasInnerBlank(FSupplyArea) || FSupplyAreaOverlong)
            Add(FHeader1Findings, M::SupplyAreaIdInvalid, 25, FInvestigationLine, shown);
        else if (offices.empty())
            Add(FHeader1Findings, M::SupplyAreaUnknown, 25, FInvestigationLine, shown);
        else if (!healthOffice.empty() &&
                 std::none_of(offices.begin(), offices.end(), [healthOffice](const std::string& office) {
                     return ContentRules::EqualNormalized(office, healthOffice, false);
                 }))
            Add(FHeader1Findings, M::SupplyAreaOutsideHealthOffice, 25, FInvestigationLine, shown);
    }
    std::stable_sort(FHeader1Findings.begin(), FHeader1Findings.end(),
                     [](const TContentFinding& a, const TContentFinding& b) { return a.Field < b.Field; });
    FFindings.insert(FFindings.end(), FHeader1Findings.begin(), FHeader1Findings.end());
    FHeader1Findings.clear();
}

void TContentCheck::Header2(const TContentLine& line, std::int32_t number)
{
    if (FHeader1Open)
        CloseHeader1(line.Field(IndexOf(35)));
    Listed(FFindings, line, 35, M::HealthOfficeCodeInvalid, number);
    Required(FFindings, line, 38, M::SamplingPointDetailsMissing, number);
    Listed(FFindings, line, 39, M::DataReleaseCodeInvalid, number);
}

void TContentCheck::Parameter(const TContentLine& line, std::int32_t number)
{
    if (!FParameterLists) {
        if (line.Field(IndexOf(44)).empty() && line.Field(IndexOf(45)).empty())
            Add(FFindings, M::ParameterMissing, 44, number, {});
        MeasuredValue(line, number);
        return;
    }
    // Everything but the measured value repeats from line to line.
    const std::array<std::string_view, 7> repeated{line.Field(IndexOf(44)), line.Field(IndexOf(45)), line.Field(IndexOf(49)),
                                                   line.Field(IndexOf(50)), line.Field(IndexOf(51)), line.Field(IndexOf(52)),
                                                   line.Field(IndexOf(53))};
    if (FPassedParameters.Passed(repeated)) {
        MeasuredValue(line, number);
        return;
    }
    const std::size_t before = FFindings.size();
    const std::string_view code = line.Field(IndexOf(44));
    const std::string_view text = line.Field(IndexOf(45));
    const std::string_view unit = line.Field(IndexOf(50));
    std::string textMismatch, unitMismatch;
    if (code.empty() && text.empty()) {
        Add(FFindings, M::ParameterMissing, 44, number, {});
    } else if (const TCodeList* parameters = FLists.Find(44); parameters != nullptr && !code.empty()) {
        const std::span<const TCodeList::TParameter> lines =
            line.Overlong(IndexOf(44)) ? std::span<const TCodeList::TParameter>() : parameters->FindParameter(code);
        if (lines.empty()) {
            Add(FFindings, M::ParameterCodeInvalid, 44, number, Shown(line, IndexOf(44)));
        } else {
            if (!text.empty() && std::none_of(lines.begin(), lines.end(), [text](const TCodeList::TParameter& p) {
                    return TCodeList::TextMatches(p.Text, text);
                }))
                textMismatch = "Kode " + std::string(code) + ", Klartext '" + std::string(text) + "', laut Kodeliste " +
                               Alternatives(lines, &TCodeList::TParameter::Text);
            if (!unit.empty() && std::none_of(lines.begin(), lines.end(), [unit](const TCodeList::TParameter& p) {
                    return TCodeList::TextMatches(p.Unit, unit);
                }))
                unitMismatch = "Kode " + std::string(code) + ", Einheit '" + std::string(unit) + "', laut Kodeliste " +
                               Alternatives(lines, &TCodeList::TParameter::Unit);
        }
    }
    if (!textMismatch.empty())
        Add(FFindings, M::ParameterCodeTextMismatch, 45, number, textMismatch);
    MeasuredValue(line, number);
    const bool valueFound = FFindings.size() > before && FFindings.back().Field == 48;
    Listed(FFindings, line, 49, M::AssessmentInvalid, number);
    if (!unitMismatch.empty())
        Add(FFindings, M::ParameterCodeUnitMismatch, 50, number, unitMismatch);
    Listed(FFindings, line, 51, M::AnalysisProcedureInvalid, number);
    Listed(FFindings, line, 52, M::ExaminingLabKeyInvalid, number);
    Listed(FFindings, line, 53, M::ExemptionInvalid, number);
    const bool overlong = line.Overlong(IndexOf(44)) || line.Overlong(IndexOf(45)) || line.Overlong(IndexOf(49)) ||
                          line.Overlong(IndexOf(50)) || line.Overlong(IndexOf(51)) || line.Overlong(IndexOf(52)) ||
                          line.Overlong(IndexOf(53));
    if (FFindings.size() == before + (valueFound ? 1 : 0) && !overlong)
        FPassedParameters.Pass(repeated);
}

void TContentCheck::MeasuredValue(const TContentLine& line, std::int32_t number)
{
    const TCodeList* values = FLists.Find(48);
    if (values == nullptr)
        return;
    const std::string_view value = line.Field(IndexOf(48));
    if (!value.empty() && (line.Overlong(IndexOf(48)) || (!ContentRules::IsMeasuredNumber(value) && !values->Contains(value))))
        Add(FFindings, M::MeasuredValueInvalid, 48, number, Shown(line, IndexOf(48)));
}
