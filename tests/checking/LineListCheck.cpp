#include "LineListCheck.h"

#include "AsciiText.h"
#include "CheckMessages.h"
#include "FieldLayout.h"
#include "FieldLists.h"
#include "FileText.h"
#include "Lines.h"
#include "ParameterCount.h"
#include "StructureWalk.h"

using namespace FieldLayout;

TLineList NaiveLines(std::string_view text)
{
    TLineList lines;
    std::size_t i = 0;
    while (i < text.size() && text[i] != '\0') {
        std::string line;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n' && text[i] != '\0')
            line += text[i++];
        lines.push_back(line);
        if (i < text.size() && text[i] == '\r')
            ++i;
        if (i < text.size() && text[i] == '\n')
            ++i;
    }
    return lines;
}

void SplitTextIntoLines(std::string_view text, TLineList& lines)
{
    lines.clear();
    ForEachLine(text, [&lines](std::string_view line) { lines.emplace_back(line); });
}

void ReadFileIntoLines(const std::string& path, TLineList& lines)
{
    const TFileText file = TFileText::Read(path);
    SplitTextIntoLines(file.Text(), lines);
}

namespace {

bool EndsWithSeparator(const std::string& line)
{
    return !line.empty() && line.back() == FieldSeparator;
}

void CheckHeaderLine(const TLineList& lines, std::int32_t& current, TSamplingData& data, const THeaderRule& rule)
{
    if (current >= static_cast<std::int64_t>(lines.size()))
        return;
    const std::string& line = lines[static_cast<std::size_t>(current) - 1];
    TFieldList fields;
    SplitFields(line, fields, TSeparatorSet::Bar());
    if (fields.size() != static_cast<std::size_t>(rule.Layout.FieldCount) || !EndsWithSeparator(line)) {
        AddMessage(data, current, rule.CountMessage);
    } else {
        if (fields[0] != rule.Kind)
            AddMessage(data, current, rule.KindMessage);
        if (!AsciiText::EqualsUpper(fields[1], rule.Code))
            AddMessage(data, current, rule.CodeMessage);
    }
    ++current;
}

} // namespace

void CheckHeaderLine1(const TLineList& lines, std::int32_t& current, TSamplingData& data)
{
    CheckHeaderLine(lines, current, data, Header1Rule);
}

void CheckHeaderLine2(const TLineList& lines, std::int32_t& current, TSamplingData& data)
{
    CheckHeaderLine(lines, current, data, Header2Rule);
}

void CheckParameterLines(const TLineList& lines, std::int32_t& current, TSamplingData& data)
{
    std::int32_t blockParameters = 0;
    bool endSeen = false;
    TFieldList fields;
    while (current <= static_cast<std::int64_t>(lines.size())) {
        const std::string& line = lines[static_cast<std::size_t>(current) - 1];
        SplitFields(line, fields, TSeparatorSet::Bar());
        if (!fields.empty() && fields[0] == EndKind) {
            if (fields.size() != static_cast<std::size_t>(End.FieldCount))
                AddMessage(data, current, ECheckMessage::EndLineFieldCountMismatch);
            else if (ConvertParameterCount(fields[1]) != blockParameters)
                AddMessage(data, current, ECheckMessage::ParameterCountMismatch);
            ++current;
            endSeen = true;
            break;
        }
        if (fields.size() != static_cast<std::size_t>(Parameter.FieldCount) || !EndsWithSeparator(line)) {
            AddMessage(data, current, ECheckMessage::ParameterLineFieldCountMismatch);
        } else {
            if (fields[0] != ParameterKind)
                AddMessage(data, current, ECheckMessage::Field43MustBeTwo);
            ++blockParameters;
            ++data.ParameterCount;
        }
        ++current;
    }
    if (!endSeen)
        AddMessage(data, current, ECheckMessage::UnexpectedEndOfRecord);
}

void CheckLines(const TLineList& lines, TSamplingData& data)
{
    data.LineCount = static_cast<std::int32_t>(lines.size());
    std::int32_t current = 1;
    do {
        ++data.InvestigationCount;
        CheckHeaderLine1(lines, current, data);
        CheckHeaderLine2(lines, current, data);
        CheckParameterLines(lines, current, data);
    } while (current < data.LineCount);
    if (data.MessageText.empty())
        data.MessageText = "OK";
}
