// A file that passes the check compared with a copy of itself whose line ends
// are other, and maybe one field changed or one examination dropped: the
// comparison reports exactly that field, with its old and new value and its
// line, or that examination as gone, and every other examination as the same.
// Where the file holds the changed line more than once, the old side may be
// any of its copies: the same examinations pair first, wherever they stand.
// The examinations are found the slow way, from the whole line list, not by
// the comparison's own reader.
#include "Comparison.h"
#include "ExportOracle.h"
#include "FuzzSupport.h"
#include "LineListCheck.h"
#include "TransferFileCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The bytes of field `index` (from 0) of line, untrimmed.
std::pair<std::size_t, std::size_t> FieldSpan(const std::string& line, std::size_t index)
{
    std::size_t start = 0;
    for (; index > 0; --index)
        start = line.find('|', start) + 1;
    const std::size_t end = line.find('|', start);
    return {start, (end == std::string::npos ? line.size() : end) - start};
}

// A line's fields, trimmed, as the comparison sees them.
std::vector<std::string> TrimmedFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(line.find('|', start), line.size());
        std::size_t b = start, e = end;
        while (b < e && static_cast<unsigned char>(line[b]) <= 32)
            ++b;
        while (e > b && static_cast<unsigned char>(line[e - 1]) <= 32)
            --e;
        fields.push_back(line.substr(b, e - b));
        if (end + 1 >= line.size())
            return fields;
        start = end + 1;
    }
}

// The default key: field 31 with field 3, or field 5 where field 3 is empty.
std::string KeyOf(const ExportOracle::TInvestigation& exam)
{
    return exam.Master[30] + "|" + (exam.Master[2].empty() ? "5|" + exam.Master[4] : "3|" + exam.Master[2]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    // Five bytes choose the change: whether a field changes or an examination
    // goes and the new line end, the examination, the line and the field.
    if (size < 5)
        return 0;
    const bool changeField = (data[0] & 1) != 0;
    const bool drop = !changeField && (data[0] & 8) != 0;
    const char* const lineEnd = data[0] & 2 ? "\n" : data[0] & 4 ? "\r"
                                                                 : "\r\n";
    const std::size_t examSelector = data[1] | (data[2] << 8);
    const std::string_view content(reinterpret_cast<const char*>(data) + 5, size - 5);

    TSamplingData check;
    CheckTransferBytes(content, check);
    if (check.MessageCount > 0)
        return 0;
    const auto exams = ExportOracle::Investigations(content);
    TLineList lines;
    SplitTextIntoLines(content, lines);
    const TLineList original = lines;

    int field = 0;
    std::int64_t line = 0;
    std::string oldValue, newValue;
    if (changeField && !exams.empty()) {
        const auto& exam = exams[examSelector % exams.size()];
        const std::size_t k = data[3] % (2 + exam.Parameters.size());
        line = k < 2 ? exam.FirstLine + static_cast<std::int64_t>(k) : exam.Parameters[k - 2].Line;
        std::string& text = lines[static_cast<std::size_t>(line - 1)];
        const auto count = static_cast<std::size_t>(std::count(text.begin(), text.end(), '|'));
        const std::size_t index = count == 0 ? 0 : data[4] % count;
        field = (k == 0 ? 1 : k == 1 ? 33
                                     : 43) +
                static_cast<int>(index);
        // Fixed codes keep the check passing, the key and the Param.-ID the matching.
        const bool fixed = field == 1 || field == 2 || field == 33 || field == 34 || field == 43 || field == 44;
        const bool key = field == 31 || field == 3 || (field == 5 && exam.Master[2].empty());
        if (fixed || key) {
            field = 0;
        } else {
            const auto [start, length] = FieldSpan(text, index);
            std::size_t b = start, e = start + length;
            while (b < e && static_cast<unsigned char>(text[b]) <= 32)
                ++b;
            while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32)
                --e;
            oldValue = text.substr(b, e - b);
            newValue = "Z" + oldValue + "Z";
            text.replace(start, length, newValue);
        }
    }
    // An examination whose key no other has goes, when another stays.
    std::int64_t dropped = 0;
    if (drop && exams.size() > 1) {
        const auto& exam = exams[examSelector % exams.size()];
        const std::string key = KeyOf(exam);
        if (std::count_if(exams.begin(), exams.end(), [&](const auto& e) { return KeyOf(e) == key; }) == 1) {
            dropped = exam.FirstLine;
            const std::int64_t last = (exam.Parameters.empty() ? exam.FirstLine + 1 : exam.Parameters.back().Line) + 1;
            const auto begin = lines.begin() + (dropped - 1);
            lines.erase(begin, begin + std::min<std::int64_t>(last - dropped + 1, lines.end() - begin));
        }
    }
    std::string copy;
    for (const std::string& l : lines)
        copy += l + lineEnd;

    static TFuzzFile before, after;
    before.Write(reinterpret_cast<const uint8_t*>(content.data()), content.size());
    after.Write(reinterpret_cast<const uint8_t*>(copy.data()), copy.size());
    const TComparison result = CompareTransferFiles(before.Path(), after.Path());
    FUZZ_ASSERT(result.Compared, "a file and its copy did not both pass");
    const auto examinations = static_cast<std::int64_t>(exams.size());
    if (dropped != 0) {
        FUZZ_ASSERT(result.Removed == 1 && result.Added == 0 && result.Same == examinations - 1, "not one examination gone");
        FUZZ_ASSERT(result.Differences.size() == 1 && result.Differences[0].Kind == EDifference::InvestigationRemoved &&
                        result.Differences[0].OldLine == dropped,
                    "the examination gone not reported at its line");
        return 0;
    }
    FUZZ_ASSERT(result.Added == 0 && result.Removed == 0, "examinations lost or gained");
    if (field == 0) {
        FUZZ_ASSERT(result.Differences.empty() && result.Same == examinations,
                    "differences where only line ends changed: " + std::to_string(result.Differences.size()));
        return 0;
    }
    FUZZ_ASSERT(result.Changed == 1 && result.Same == examinations - 1, "not one examination changed");
    FUZZ_ASSERT(result.Differences.size() == 1, "not one difference: " + std::to_string(result.Differences.size()));
    const TDifference& d = result.Differences.front();
    FUZZ_ASSERT(d.Kind == EDifference::FieldChanged && d.Field == field, "field " + std::to_string(d.Field) + " for " + std::to_string(field));
    FUZZ_ASSERT(d.Old == oldValue && d.New == newValue, "values " + d.Old + " > " + d.New);
    FUZZ_ASSERT(d.NewLine == line, "line " + std::to_string(d.NewLine) + " for " + std::to_string(line));
    FUZZ_ASSERT(d.OldLine >= 1 && d.OldLine <= static_cast<std::int64_t>(original.size()) &&
                    TrimmedFields(original[static_cast<std::size_t>(d.OldLine - 1)]) ==
                        TrimmedFields(original[static_cast<std::size_t>(line - 1)]),
                "old line " + std::to_string(d.OldLine) + " is no copy of line " + std::to_string(line));
    FUZZ_ASSERT(d.IsParameter == (field >= 43), "parameter");
    return 0;
}
