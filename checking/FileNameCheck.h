#pragma once

#include "SamplingData.h"

#include <cstdint>
#include <string>
#include <string_view>

// Process-wide verdict of the most recent file-name check: 0 the name does not
// follow the convention, 1 interface 1, 2 interface 2.
extern std::int32_t InterfaceKind;

std::int32_t GetInterfaceKind();

// The same verdict for one check, from its result (the upper-cased name that
// CheckFileName stored): what a thread reads of its own check, never of another's.
std::int32_t InterfaceKindOf(const TSamplingData& data);
// The verdict for a bare file name already upper-cased.
std::int32_t InterfaceKindOfName(std::string_view upper);

struct TCalendarDate {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    bool operator==(const TCalendarDate&) const = default;
};

struct TTimeOfDay {
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    bool operator==(const TTimeOfDay&) const = default;
};

// Judges a bare file name: stores it upper-cased in FileName, sets
// InterfaceKind, and adds message 40, 43 or 44 when a name of 22 or 27
// characters breaks its shape or carries an impossible date or time. True only
// when the shape fits and both date and time convert; each output is written
// only when its own conversion succeeds.
bool CheckFileName(std::string_view name, TSamplingData& data, TCalendarDate& date, TTimeOfDay& time);

// The same with the current year given instead of read from the clock.
bool CheckFileName(std::string_view name, TSamplingData& data, TCalendarDate& date, TTimeOfDay& time,
                   int currentYear);

// The same verdict, leaving InterfaceKind alone: for a check on a thread
// beside others, which reads its own verdict with InterfaceKindOf.
bool JudgeFileName(std::string_view name, TSamplingData& data, TCalendarDate& date, TTimeOfDay& time,
                   int currentYear);

// German date text "DD.MM.YY"; two-digit years fall into the hundred years
// that begin 50 years before currentYear.
bool ConvertDateText(std::string_view text, int currentYear, TCalendarDate& date);

// German time text "HH:MM:SS".
bool ConvertTimeText(std::string_view text, TTimeOfDay& time);

// The year of the system clock; checks take it as their year source, unless
// their caller hands in another.
int CurrentYear();
using TYearSource = int (*)();

// The part of path behind the last directory separator of the platform: "/"
// on Linux; "\", "/" and the ":" of a drive or stream on Windows.
std::string_view BareFileName(std::string_view path);

// A file name as the check judges it: file names arrive as UTF-8 here (on
// Windows too, where the tools take their arguments in Unicode), and one
// that Windows-1252 can represent is judged in Windows-1252, one character per
// byte; any other is judged by its bytes.
std::string FileNameForCheck(std::string_view bareName);
