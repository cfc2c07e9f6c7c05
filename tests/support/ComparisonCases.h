#pragma once

#include "TransferText.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The one table of comparisons, run against the comparison itself, the
// tool's JSON Lines and the window. Files are built with TransferText; each
// difference is written as Describe writes it, in the order reported.
namespace ComparisonCases {

enum class EOutcome { Same,
                      Differences,
                      Findings, // the new file has a finding: nothing compared
                      Missing }; // the new file does not exist

struct TCase {
    const char* Name;
    std::string Old;
    std::string New;
    EOutcome Outcome;
    std::vector<std::string> Differences;
    std::string Summary; // of a comparison made
    bool RepeatedKey = false;
    // The old key of every changed examination whose key changed, as Describe
    // writes a key; empty where none did.
    std::string OldKey = {};
};

// "fieldChanged [31=L1 3=P1] 48 4-4 5,1>5,3 @1001": kind, key, field (0 where
// none), lines (0 where absent), old and new value, Param.-ID. UTF-8.
inline std::string Describe(std::string_view kind, std::string_view key, int field, std::int64_t oldLine,
                            std::int64_t newLine, std::string_view oldValue, std::string_view newValue,
                            std::string_view parameterId)
{
    std::string text(kind);
    text += " [";
    text += key;
    text += "] ";
    text += std::to_string(field);
    text += ' ';
    text += std::to_string(oldLine);
    text += '-';
    text += std::to_string(newLine);
    text += ' ';
    text += oldValue;
    text += '>';
    text += newValue;
    text += " @";
    text += parameterId;
    return text;
}

// Field `field` of a line (numbered as in the block, first the line's first field) set to value.
inline std::string WithField(const std::string& line, int firstField, int field, const std::string& value)
{
    std::string out;
    int n = firstField;
    std::size_t start = 0;
    for (std::size_t bar = line.find('|'); bar != std::string::npos; start = bar + 1, bar = line.find('|', start), ++n)
        out += (n == field ? value : line.substr(start, bar - start)) + "|";
    return out + line.substr(start);
}

inline const std::vector<TCase>& Cases()
{
    using namespace TransferText;
    static const std::vector<TCase> cases = [] {
        const auto joined = [](const TLines& lines) { return Join(lines); };
        const std::string key1 = "31=b1f31 3=b1f3";
        std::vector<TCase> c;

        std::string relaxed = Join(Block(1, 2) + Block(2, 1), "\n");
        relaxed.replace(relaxed.find("|b1f14|"), 7, "|  b1f14\t|");
        c.push_back({"other line ends and blanks", joined(Block(1, 2) + Block(2, 1)), relaxed, EOutcome::Same, {}, "0 Untersuchungen neu, 0 entfallen, 0 geändert, 2 gleich"});

        const TLines swapped{Header1(2), Header2(2), Parameter(2, 1), Parameter(2, 0), EndLine(2)};
        c.push_back({"examinations and parameters reordered", joined(Block(1, 2) + Block(2, 2) + Block(3, 0)), joined(Block(3, 0) + swapped + Block(1, 2)), EOutcome::Same, {}, "0 Untersuchungen neu, 0 entfallen, 0 geändert, 3 gleich"});

        TLines changed = Block(1, 2);
        changed[3] = WithField(changed[3], 43, 48, "4,2");
        c.push_back({"one value changed", joined(Block(1, 2)), joined(changed), EOutcome::Differences, {Describe("fieldChanged", key1, 48, 4, 4, "b1p1f48", "4,2", "b1p1f44")}, "0 Untersuchungen neu, 0 entfallen, 1 geändert, 0 gleich"});

        c.push_back({"a parameter added and one removed",
                     joined({Header1(1), Header2(1), Parameter(1, 0), Parameter(1, 1), EndLine(2)}),
                     joined({Header1(1), Header2(1), Parameter(1, 1), Parameter(1, 2), EndLine(2)}),
                     EOutcome::Differences,
                     {Describe("parameterRemoved", key1, 0, 3, 0, "", "", "b1p0f44"),
                      Describe("parameterAdded", key1, 0, 0, 4, "", "", "b1p2f44")},
                     "0 Untersuchungen neu, 0 entfallen, 1 geändert, 0 gleich"});

        c.push_back({"an examination added and one removed", joined(Block(1, 1) + Block(2, 1)), joined(Block(2, 1) + Block(3, 1)), EOutcome::Differences, {Describe("examinationAdded", "31=b3f31 3=b3f3", 0, 0, 5, "", "", ""), Describe("examinationRemoved", key1, 0, 1, 0, "", "", "")}, "1 Untersuchung neu, 1 entfallen, 0 geändert, 1 gleich"});

        TLines twice = Block(1, 1) + Block(1, 1);
        twice[6] = WithField(twice[6], 43, 48, "9");
        c.push_back({"a key twice", joined(Block(1, 1) + Block(1, 1)), joined(twice), EOutcome::Differences, {Describe("fieldChanged", key1, 48, 7, 7, "b1p0f48", "9", "b1p0f44")}, "0 Untersuchungen neu, 0 entfallen, 1 geändert, 1 gleich", true});

        const std::string noKey = WithField(WithField(WithField(Header1(1), 1, 3, ""), 1, 5, ""), 1, 31, "");
        c.push_back({"an empty key", joined({noKey, Header2(1), EndLine(0)}), joined({WithField(noKey, 1, 14, "neu"), Header2(1), EndLine(0)}), EOutcome::Differences, {Describe("fieldChanged", "31= 5=", 14, 1, 1, "b1f14", "neu", "")}, "0 Untersuchungen neu, 0 entfallen, 1 geändert, 0 gleich"});

        // "Prüf" as the sample id, "Müller" to "Mühle €", in Windows-1252.
        const std::string letters = WithField(Header1(1), 1, 3, "Pr\xFC"
                                                                "f");
        c.push_back({"Windows-1252 letters", joined({WithField(letters, 1, 14, "M\xFCller"), Header2(1), EndLine(0)}), joined({WithField(letters, 1, 14, "M\xFChle \x80"), Header2(1), EndLine(0)}), EOutcome::Differences, {Describe("fieldChanged", "31=b1f31 3=Prüf", 14, 1, 1, "Müller", "Mühle €", "")}, "0 Untersuchungen neu, 0 entfallen, 1 geändert, 0 gleich"});

        TLines faulty = Block(1, 1);
        faulty[2].pop_back(); // the parameter line loses its final separator
        c.push_back({"a file with findings", joined(Block(1, 1)), joined(faulty), EOutcome::Findings, {}, ""});

        c.push_back({"a missing file", joined(Block(1, 1)), "", EOutcome::Missing, {}, ""});
        return c;
    }();
    return cases;
}

} // namespace ComparisonCases
