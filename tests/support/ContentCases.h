#pragma once

#include "CheckMessages.h"
#include "TransferText.h"

#include <string>
#include <vector>

// The one table of content cases, run against the content check, the tool's
// JSON and the window's list of findings. Each case is a file of two
// examinations that passes every rule, with one or two fields of the second
// changed, and at most one code list; it expects one message at one line, or
// none. The second examination's header line 1 is line 5, its header line 2
// line 6, its second parameter line line 8.
namespace ContentCases {

struct TCase {
    const char* Name;
    int Field; // set in the second examination (a parameter field: in its second parameter line)
    std::string Value; // Windows-1252
    int Interface; // 1 or 2: the shape of the file name
    // The code list: nullptr for none at all, else the lines added to the list
    // of ListField (0: the list of Field), which holds every value of the file already.
    const char* List;
    int Code; // the message expected, -1 for none
    int Line;
    std::string Fill; // what fills its "$"
    int ListField = 0;
    int Field2 = 0; // a second field changed, 0 for none
    std::string Value2 = {};
};

inline const std::vector<TCase>& Cases()
{
    using M = ECheckMessage;
    const auto c = [](M m) { return static_cast<int>(m); };
    static const std::vector<TCase> cases = {
        // Rules that need no list.
        {"lab sample id missing", 3, "", 1, nullptr, c(M::LabSampleIdMissing), 5, ""},
        {"health office id missing in interface 2", 5, " ", 2, nullptr, c(M::HealthOfficeSampleIdMissing), 5, ""},
        {"health office id may be missing in interface 1", 5, "", 1, nullptr, -1, 0, ""},
        {"sampling point name missing", 14, "\t", 1, nullptr, c(M::SamplingPointNameMissing), 5, ""},
        {"sampling point code missing", 16, "", 1, nullptr, c(M::SamplingPointCodeMissing), 5, ""},
        {"street missing", 17, "", 1, nullptr, c(M::SamplingPointStreetMissing), 5, ""},
        {"postcode of four digits", 18, "6479", 1, nullptr, c(M::PostcodeInvalid), 5, "6479"},
        {"postcode with a prefix", 18, "D-64799", 1, nullptr, c(M::PostcodeInvalid), 5, "D-64799"},
        {"postcode missing", 18, "", 1, nullptr, c(M::PostcodeInvalid), 5, ""},
        {"town missing", 19, "", 1, nullptr, c(M::SamplingPointTownMissing), 5, ""},
        {"31 February", 22, "31.02.2026", 1, nullptr, c(M::SamplingDateInvalid), 5, "31.02.2026"},
        {"month 13", 22, "12.13.2026", 1, nullptr, c(M::SamplingDateInvalid), 5, "12.13.2026"},
        {"29 February of a leap year, a time with Uhr", 22, "29.02.2024 7:05 Uhr", 1, nullptr, -1, 0, ""},
        {"ISO date with T and seconds", 22, "2026-10-12T07:00:30", 1, nullptr, -1, 0, ""},
        {"short day, month and year", 22, "1.2.26", 1, nullptr, -1, 0, ""},
        {"2100 is no leap year", 22, "29.02.2100", 1, nullptr, c(M::SamplingDateInvalid), 5, "29.02.2100"},
        {"hour 24", 22, "12.10.2026 24:00", 1, nullptr, c(M::SamplingDateInvalid), 5, "12.10.2026 24:00"},
        {"three-digit year", 22, "12.10.026", 1, nullptr, c(M::SamplingDateInvalid), 5, "12.10.026"},
        {"sampling date missing", 22, "", 1, nullptr, c(M::SamplingDateInvalid), 5, ""},
        {"receipt date may be missing", 30, "", 1, nullptr, -1, 0, ""},
        {"receipt on 30 February", 30, "30.02.2026 11:10", 1, nullptr, c(M::LabArrivalDateInvalid), 5, "30.02.2026 11:10"},
        {"exact sampling point missing", 38, "", 1, nullptr, c(M::SamplingPointDetailsMissing), 6, ""},
        {"parameter with neither code nor text", 44, "", 1, nullptr, c(M::ParameterMissing), 8, "", 0, 45, ""},
        {"parameter with a text alone", 44, "", 1, "", -1, 0, ""},
        // Rules with lists.
        {"object code not on the list", 24, "99", 1, "12", c(M::ObjectCodeInvalid), 5, "99"},
        {"object code without a list", 24, "99", 1, nullptr, -1, 0, ""},
        {"an empty field is not judged by a list", 24, "", 1, "", -1, 0, ""},
        {"codes compare trimmed", 24, "12", 1, "  12  |Hausinstallation", -1, 0, ""},
        {"codes compare exactly", 24, "AB", 1, "ab", c(M::ObjectCodeInvalid), 5, "AB"},
        {"limit exceedance", 27, "X", 1, "", c(M::LimitExceededCodeInvalid), 5, "X"},
        {"sampling procedure", 28, "X", 1, "", c(M::SamplingProcedureInvalid), 5, "X"},
        {"purpose", 29, "X", 1, "", c(M::SamplingReasonInvalid), 5, "X"},
        {"laboratory", 31, "L9", 1, "", c(M::LabKeyInvalid), 5, "L9"},
        {"health office", 35, "0643", 1, "", c(M::HealthOfficeCodeInvalid), 6, "0643"},
        {"data release", 39, "3", 1, "1\n2", c(M::DataReleaseCodeInvalid), 6, "3"},
        {"supply area id with a blank", 25, "VG 1", 1, "", c(M::SupplyAreaIdInvalid), 5, "VG 1"},
        {"supply area unknown", 25, "VG-9", 1, "", c(M::SupplyAreaUnknown), 5, "VG-9"},
        {"supply area of another health office", 25, "b1f25", 1, "", c(M::SupplyAreaOutsideHealthOffice), 5, "b1f25"},
        {"supply area spanning two health offices", 25, "VG-X", 1, "VG-X|b1f35\nVG-X|b2f35", -1, 0, ""},
        {"parameter code unknown", 44, "9999", 1, "", c(M::ParameterCodeInvalid), 8, "9999"},
        {"parameter text differs", 44, "4003", 1, "4003|Blei", c(M::ParameterCodeTextMismatch), 8,
         "Kode 4003, Klartext 'Bleii', laut Kodeliste 'Blei'", 0, 45, "Bleii"},
        {"parameter text without regard to case", 44, "4003", 1, "4003|Blei", -1, 0, "", 0, 45, "BLEI"},
        {"parameter unit differs", 50, "\xB5g/l", 1, "4003||mg/l\n4003||MG", c(M::ParameterCodeUnitMismatch), 8,
         "Kode 4003, Einheit '\xB5g/l', laut Kodeliste 'mg/l' oder 'MG'", 44, 44, "4003"},
        {"an empty text in the list means any", 45, "Pb", 1, "4003", -1, 0, "", 44, 44, "4003"},
        {"a UTF-8 list against Windows-1252 text", 45, "Tr\xFC"
                                                       "bung",
         1, "2003|Tr\xC3\xBC"
            "bung",
         -1, 0, "", 44, 44, "2003"},
        {"measured value neither number nor listed text", 48, "viel", 1, "n.n.", c(M::MeasuredValueInvalid), 8, "viel"},
        {"measured value as a listed text in other case", 48, "N.N.", 1, "n.n.", -1, 0, ""},
        {"measured value below a limit", 48, "< 0,002", 1, "", -1, 0, ""},
        {"measured value with a sign and an exponent", 48, "-1.5E-3", 1, "", -1, 0, ""},
        {"measured value with two decimal commas", 48, "0,5,3", 1, "", c(M::MeasuredValueInvalid), 8, "0,5,3"},
        {"measured value without a list", 48, "viel", 1, nullptr, -1, 0, ""},
        {"assessment without regard to case", 49, "Eingehalten", 1, "eingehalten", -1, 0, ""},
        {"assessment", 49, "ok", 1, "eingehalten", c(M::AssessmentInvalid), 8, "ok"},
        {"analysis procedure with runs of blanks", 51, "DIN EN ISO 1", 1, "DIN  EN ISO\t1", -1, 0, ""},
        {"analysis procedure", 51, "DIN 1", 1, "", c(M::AnalysisProcedureInvalid), 8, "DIN 1"},
        {"examining laboratory", 52, "L9", 1, "", c(M::ExaminingLabKeyInvalid), 8, "L9"},
        {"exemption", 53, "x", 1, "", c(M::ExemptionInvalid), 8, "x"},
    };
    return cases;
}

// The field's index in its line and the line of the second examination it is on.
inline int LineOfField(int field)
{
    return field >= FieldLayout::Parameter.FirstField ? 8 : field >= FieldLayout::Header2.FirstField ? 6
                                                                                                     : 5;
}

// line with the field (from 1 of that line) set to value.
inline std::string WithField(const std::string& line, int index, const std::string& value)
{
    std::string out;
    int at = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = line.find('|', start);
        out += at == index ? value : line.substr(start, bar - start);
        if (bar == std::string::npos)
            return out;
        out += '|';
        start = bar + 1;
        ++at;
    }
}

inline int IndexInLine(int field)
{
    if (field >= FieldLayout::Parameter.FirstField)
        return field - FieldLayout::Parameter.FirstField;
    if (field >= FieldLayout::Header2.FirstField)
        return field - FieldLayout::Header2.FirstField;
    return field - 1;
}

// The transfer file of a case, lines ended by CR LF.
inline std::string FileText(const TCase& c)
{
    using namespace TransferText;
    TLines lines = Block(1, 1) + Block(2, 2);
    // Values the rules without a list accept, in every examination.
    for (const int header : {0, 4}) {
        lines[header] = WithField(lines[header], IndexInLine(18), "64799");
        lines[header] = WithField(lines[header], IndexInLine(22), "12.10.2026 07:00");
        lines[header] = WithField(lines[header], IndexInLine(30), "12.10.2026 11:10");
    }
    for (const auto& [field, value] : {std::pair{c.Field, c.Value}, std::pair{c.Field2, c.Value2}}) {
        if (field > 0)
            lines[LineOfField(field) - 1] = WithField(lines[LineOfField(field) - 1], IndexInLine(field), value);
    }
    return Join(lines);
}

// The file's name: interface 1 or 2.
inline std::string FileName(const TCase& c)
{
    return c.Interface == 2 ? "ABCD_EFGH_071231_235959.DAT" : "ABCD_070312_143005.DAT";
}

inline int ListOf(const TCase& c) { return c.ListField != 0 ? c.ListField : c.Field; }

// The list of a case: every value the unchanged file holds in that field, then the case's lines.
inline std::string ListText(const TCase& c)
{
    const int field = ListOf(c);
    // Appended piece by piece throughout: MinGW's gcc sees an overlap in
    // "literal" + std::string(...) at -O3.
    std::string list = "# Liste zu Feld ";
    list += std::to_string(field);
    list += '\n';
    const auto put = [](int block, int k, int f) {
        std::string name(1, 'b');
        name += std::to_string(block);
        if (k >= 0) {
            name += 'p';
            name += std::to_string(k);
        }
        name += 'f';
        name += std::to_string(f);
        return name;
    };
    if (field >= FieldLayout::Parameter.FirstField) {
        for (const auto& [block, k] : {std::pair{1, 0}, std::pair{2, 0}, std::pair{2, 1}}) {
            list += put(block, k, field);
            if (field == 44) {
                list += '|';
                list += put(block, k, 45);
                list += '|';
                list += put(block, k, 50);
            }
            list += '\n';
        }
    } else {
        for (const int block : {1, 2}) {
            list += put(block, -1, field);
            if (field == 25) {
                list += '|';
                list += put(block, -1, 35);
            }
            list += '\n';
        }
    }
    list += c.List;
    list += '\n';
    return list;
}

// The message line a case expects, as the check's text builds it (Windows-1252).
inline std::string ExpectedBody(const TCase& c)
{
    std::string text = CheckMessages[c.Code];
    if (const std::size_t dollar = text.find('$'); dollar != std::string::npos)
        text.replace(dollar, 1, c.Fill);
    return text;
}

} // namespace ContentCases
