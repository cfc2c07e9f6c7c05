#pragma once

#include "Cp1252.h"
#include "FieldLists.h"
#include "JsonValue.h"
#include "LineListCheck.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The examinations of a checked transfer file read the slow way, from the
// whole line list, as the oracle for the export's streaming walk; and readers
// that take the export's CSV and JSON Lines apart again. Each comparison
// returns what differs, or an empty string.
namespace ExportOracle {

struct TParameter {
    std::int64_t Line;
    std::vector<std::string> Fields; // 11, UTF-8
};
struct TInvestigation {
    std::int64_t FirstLine;
    std::vector<std::string> Master; // 42, UTF-8
    std::vector<TParameter> Parameters;
};

inline std::vector<std::string> Utf8Fields(const std::string& line)
{
    TFieldList fields;
    SplitFields(line, fields, TSeparatorSet::Bar());
    for (std::string& f : fields)
        f = Cp1252ToUtf8(f);
    return fields;
}

// Blocks as the check reads them: two header lines, parameter lines up to
// the line whose first field is "3"; a lone line at the end is none.
inline std::vector<TInvestigation> Investigations(std::string_view bytes)
{
    TLineList lines;
    SplitTextIntoLines(bytes, lines);
    std::vector<TInvestigation> result;
    std::size_t i = 0;
    while (i + 1 < lines.size()) {
        TInvestigation exam{static_cast<std::int64_t>(i + 1), Utf8Fields(lines[i]), {}};
        const std::vector<std::string> second = Utf8Fields(lines[i + 1]);
        exam.Master.insert(exam.Master.end(), second.begin(), second.end());
        // A last line that ends the block right after header line 1 stands in
        // for header line 2; the fields it lacks are empty.
        if (exam.Master.size() < 42)
            exam.Master.resize(42);
        for (i += 2; i < lines.size(); ++i) {
            std::vector<std::string> fields = Utf8Fields(lines[i]);
            if (!fields.empty() && fields[0] == "3")
                break;
            exam.Parameters.push_back({static_cast<std::int64_t>(i + 1), std::move(fields)});
        }
        ++i;
        result.push_back(std::move(exam));
    }
    return result;
}

// RFC 4180 with LF row ends; false on anything else.
inline bool ReadCsv(std::string_view text, std::vector<std::vector<std::string>>& rows)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::vector<std::string> row;
        for (;;) {
            std::string cell;
            if (pos < text.size() && text[pos] == '"') {
                for (++pos;; ++pos) {
                    if (pos >= text.size())
                        return false;
                    if (text[pos] == '"') {
                        if (pos + 1 < text.size() && text[pos + 1] == '"')
                            ++pos;
                        else
                            break;
                    }
                    cell += text[pos];
                }
                ++pos;
            } else {
                while (pos < text.size() && text[pos] != ',' && text[pos] != '\n') {
                    if (text[pos] == '"' || text[pos] == '\r')
                        return false;
                    cell += text[pos++];
                }
            }
            row.push_back(std::move(cell));
            if (pos >= text.size())
                return false; // every row ends with LF
            if (text[pos++] == '\n')
                break;
        }
        rows.push_back(std::move(row));
    }
    return true;
}

inline std::string CompareCsv(std::string_view csv, const std::string& file, const std::vector<TInvestigation>& exams)
{
    std::vector<std::vector<std::string>> rows;
    if (!ReadCsv(csv, rows))
        return "not RFC 4180";
    std::size_t r = 1;
    for (std::size_t e = 0; e < exams.size(); ++e) {
        const TInvestigation& exam = exams[e];
        const std::size_t count = exam.Parameters.empty() ? 1 : exam.Parameters.size();
        for (std::size_t k = 0; k < count; ++k, ++r) {
            std::vector<std::string> want{file, std::to_string(e + 1), std::to_string(exam.FirstLine)};
            want.insert(want.end(), exam.Master.begin(), exam.Master.end());
            if (exam.Parameters.empty()) {
                want.resize(want.size() + 12);
            } else {
                want.push_back(std::to_string(exam.Parameters[k].Line));
                want.insert(want.end(), exam.Parameters[k].Fields.begin(), exam.Parameters[k].Fields.end());
            }
            if (r >= rows.size() || rows[r] != want)
                return "row " + std::to_string(r) + " differs";
        }
    }
    return r == rows.size() ? "" : "more rows than parameters";
}

inline std::string CompareJsonLines(std::string_view text, const std::string& file, const std::vector<TInvestigation>& exams)
{
    std::size_t e = 0;
    for (std::size_t pos = 0; pos < text.size(); ++e) {
        const std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            return "last line without LF";
        TJsonValue v;
        std::string error;
        if (!TJsonValue::Parse(text.substr(pos, end - pos), v, error))
            return "line " + std::to_string(e + 1) + ": " + error;
        pos = end + 1;
        if (e >= exams.size())
            return "more objects than examinations";
        const TInvestigation& exam = exams[e];
        const TJsonValue* fields = v.Member("fields");
        const TJsonValue* params = v.Member("parameters");
        if (!v.Member("file") || v.Member("file")->Text() != file || !v.Member("number") ||
            v.Member("number")->Integer() != static_cast<std::int64_t>(e + 1) || !v.Member("firstLine") ||
            v.Member("firstLine")->Integer() != exam.FirstLine || !fields || fields->Members().size() != 42 || !params ||
            params->Items().size() != exam.Parameters.size() || v.Members().size() != 5)
            return "object " + std::to_string(e + 1) + ": wrong frame";
        for (int n = 1; n <= 42; ++n) {
            const TJsonValue* f = fields->Member(std::to_string(n));
            if (!f || f->Text() != exam.Master[static_cast<std::size_t>(n - 1)])
                return "object " + std::to_string(e + 1) + ": field " + std::to_string(n);
        }
        for (std::size_t k = 0; k < exam.Parameters.size(); ++k) {
            const TJsonValue& p = params->Items()[k];
            if (!p.Member("line") || p.Member("line")->Integer() != exam.Parameters[k].Line || p.Members().size() != 12)
                return "object " + std::to_string(e + 1) + ": parameter frame";
            for (int n = 43; n <= 53; ++n) {
                const TJsonValue* f = p.Member(std::to_string(n));
                if (!f || f->Text() != exam.Parameters[k].Fields[static_cast<std::size_t>(n - 43)])
                    return "object " + std::to_string(e + 1) + ": parameter field " + std::to_string(n);
            }
        }
    }
    return e == exams.size() ? "" : "fewer objects than examinations";
}

} // namespace ExportOracle
