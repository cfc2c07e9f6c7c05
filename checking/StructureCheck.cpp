#include "StructureCheck.h"

#include "AsciiText.h"
#include "CheckMessages.h"
#include "Fields.h"

#include <limits>

namespace {

bool EndsWithSeparator(const std::string& line)
{
    return !line.empty() && line.back() == '|';
}

// Header lines 1 and 2 differ only in their numbers.
void CheckHeaderLine(const TLineList& lines, std::int32_t& current, TSamplingData& data, std::size_t fieldCount,
                     std::uint8_t countMessage, std::string_view kind, std::uint8_t kindMessage,
                     std::string_view code, std::uint8_t codeMessage)
{
    if (current >= static_cast<std::int64_t>(lines.size()))
        return;
    const std::string& line = lines[static_cast<std::size_t>(current) - 1];
    TFieldList fields;
    SplitFields(line, fields, TSeparatorSet::Bar());
    if (fields.size() != fieldCount || !EndsWithSeparator(line)) {
        AddMessage(data, current, countMessage);
    } else {
        if (fields[0] != kind)
            AddMessage(data, current, kindMessage);
        if (!AsciiText::EqualsUpper(fields[1], code))
            AddMessage(data, current, codeMessage);
    }
    ++current;
}

} // namespace

void CheckHeaderLine1(const TLineList& lines, std::int32_t& current, TSamplingData& data)
{
    CheckHeaderLine(lines, current, data, 32, 11, "1", 0, "E", 1);
}

void CheckHeaderLine2(const TLineList& lines, std::int32_t& current, TSamplingData& data)
{
    CheckHeaderLine(lines, current, data, 10, 12, "2", 19, "MATW", 20);
}

void CheckParameterLines(const TLineList& lines, std::int32_t& current, TSamplingData& data)
{
    std::int32_t blockParameters = 0;
    bool endSeen = false;
    TFieldList fields;
    while (current <= static_cast<std::int64_t>(lines.size())) {
        const std::string& line = lines[static_cast<std::size_t>(current) - 1];
        SplitFields(line, fields, TSeparatorSet::Bar());
        if (!fields.empty() && fields[0] == "3") {
            if (fields.size() != 2)
                AddMessage(data, current, 35);
            else if (ConvertParameterCount(fields[1]) != blockParameters)
                AddMessage(data, current, 36);
            ++current;
            endSeen = true;
            break;
        }
        if (fields.size() != 11 || !EndsWithSeparator(line)) {
            AddMessage(data, current, 22);
        } else {
            if (fields[0] != "2")
                AddMessage(data, current, 25);
            ++blockParameters;
            ++data.ParameterCount;
        }
        ++current;
    }
    if (!endSeen)
        AddMessage(data, current, 37);
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

std::int32_t ConvertParameterCount(std::string_view field)
{
    std::size_t pos = 0;
    bool hex = false;
    bool negative = false;
    if (field.substr(0, 2) == "0x" || field.substr(0, 2) == "0X") {
        hex = true;
        pos = 2;
    } else if (!field.empty() && (field[0] == '$' || field[0] == 'x' || field[0] == 'X')) {
        hex = true;
        pos = 1;
    } else if (!field.empty() && (field[0] == '+' || field[0] == '-')) {
        negative = field[0] == '-';
        pos = 1;
    }
    if (pos >= field.size())
        return -1;
    std::uint64_t value = 0;
    for (; pos < field.size(); ++pos) {
        const int digit = hex ? AsciiText::HexDigit(field[pos]) : (field[pos] >= '0' && field[pos] <= '9' ? field[pos] - '0' : -1);
        if (digit < 0)
            return -1;
        value = value * (hex ? 16 : 10) + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFULL)
            return -1;
    }
    if (hex)
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    if (negative)
        return value > 0x80000000ULL ? -1 : static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
    return value > 0x7FFFFFFFULL ? -1 : static_cast<std::int32_t>(value);
}
