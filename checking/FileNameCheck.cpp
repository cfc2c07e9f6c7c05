#include "FileNameCheck.h"

#include "AsciiText.h"
#include "CheckMessages.h"
#include "Cp1252.h"

#include <ctime>

std::int32_t InterfaceKind = 0;

namespace {

// One two-character group of a date or time text: digits with spaces in front
// of or behind them, at least one digit.
bool ReadGroup(char a, char b, int& value)
{
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if ((!isDigit(a) && a != ' ') || (!isDigit(b) && b != ' '))
        return false;
    if (isDigit(a) && isDigit(b)) {
        value = (a - '0') * 10 + (b - '0');
        return true;
    }
    if (isDigit(a)) {
        value = a - '0';
        return true;
    }
    if (isDigit(b)) {
        value = b - '0';
        return true;
    }
    return false;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

int FloorDiv(int a, int b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

} // namespace

std::int32_t InterfaceKindOfName(std::string_view upper)
{
    // Positions count from 0; the shapes count them from 1.
    const auto dat = [&](std::size_t at) { return upper.substr(at) == ".DAT"; };
    if (upper.size() == 22)
        return upper[4] == '_' && upper[11] == '_' && dat(18) ? 1 : 0;
    if (upper.size() == 27)
        return upper[4] == '_' && upper[9] == '_' && upper[16] == '_' && dat(23) ? 2 : 0;
    return 0;
}

std::int32_t InterfaceKindOf(const TSamplingData& data) { return InterfaceKindOfName(data.FileName); }

std::int32_t GetInterfaceKind()
{
    return InterfaceKind;
}

int CurrentYear()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local.tm_year + 1900;
}

bool ConvertDateText(std::string_view text, int currentYear, TCalendarDate& date)
{
    int day = 0, month = 0, year = 0;
    if (text.size() != 8 || text[2] != '.' || text[5] != '.' || !ReadGroup(text[0], text[1], day) || !ReadGroup(text[3], text[4], month) || !ReadGroup(text[6], text[7], year))
        return false;
    const int base = currentYear - 50;
    year += 100 * FloorDiv(base, 100);
    if (year < base)
        year += 100;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    date = {year, month, day};
    return true;
}

bool ConvertTimeText(std::string_view text, TTimeOfDay& time)
{
    int hour = 0, minute = 0, second = 0;
    if (text.size() != 8 || text[2] != ':' || text[5] != ':' || !ReadGroup(text[0], text[1], hour) || !ReadGroup(text[3], text[4], minute) || !ReadGroup(text[6], text[7], second))
        return false;
    if (hour > 23 || minute > 59 || second > 59)
        return false;
    time = {hour, minute, second};
    return true;
}

bool CheckFileName(std::string_view name, TSamplingData& data, TCalendarDate& date, TTimeOfDay& time)
{
    return CheckFileName(name, data, date, time, CurrentYear());
}

bool CheckFileName(std::string_view name, TSamplingData& data, TCalendarDate& date, TTimeOfDay& time,
                   int currentYear)
{
    const bool fits = JudgeFileName(name, data, date, time, currentYear);
    InterfaceKind = InterfaceKindOf(data);
    return fits;
}

bool JudgeFileName(std::string_view name, TSamplingData& data, TCalendarDate& date, TTimeOfDay& time,
                   int currentYear)
{
    std::string upper(name);
    for (char& c : upper)
        c = AsciiText::Upper(c);
    data.FileName = upper;

    // The shape gives the interface; a name of a shape's length that breaks it is reported.
    const std::int32_t kind = InterfaceKindOfName(upper);
    if (kind == 0) {
        if (upper.size() == 22 || upper.size() == 27)
            AddMessage(data, 0, ECheckMessage::FileNameInvalid);
        return false;
    }
    const std::string layout = kind == 1 ? upper.substr(0, 4) + "_VELM" + upper.substr(4) : upper;

    const std::string dateText = layout.substr(14, 2) + "." + layout.substr(12, 2) + "." + layout.substr(10, 2);
    TCalendarDate parsedDate;
    if (!ConvertDateText(dateText, currentYear, parsedDate)) {
        AddMessageWithValue(data, 0, ECheckMessage::FileNameDateInvalid, dateText);
        return false;
    }
    date = parsedDate;

    const std::string timeText = layout.substr(17, 2) + ":" + layout.substr(19, 2) + ":" + layout.substr(21, 2);
    TTimeOfDay parsedTime;
    if (!ConvertTimeText(timeText, parsedTime)) {
        AddMessageWithValue(data, 0, ECheckMessage::FileNameTimeInvalid, timeText);
        return false;
    }
    time = parsedTime;
    return true;
}

std::string_view BareFileName(std::string_view path)
{
#ifdef _WIN32
    const std::size_t cut = path.find_last_of("\\:/");
#else
    const std::size_t cut = path.rfind('/');
#endif
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string FileNameForCheck(std::string_view bareName)
{
    std::string converted;
    if (Utf8ToCp1252(bareName, converted))
        return converted;
    return std::string(bareName);
}
