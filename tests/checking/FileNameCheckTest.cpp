#include "FileNameCheck.h"
#include "CheckTestSupport.h"
#include "TempDir.h"
#include "TransferFileCheck.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct TNameCase {
    std::string Name;
    std::string Stored;
    std::int32_t Kind;
    TFindings Expected;
    std::string Value; // the text between the apostrophes, if any
    bool Result;
    std::optional<TCalendarDate> Date;
    std::optional<TTimeOfDay> Time;
};

TEST(FileNameCheck, ShapesDatesAndTimes)
{
    const TNameCase cases[] = {
        {"abcd_070312_143005.dat", "ABCD_070312_143005.DAT", 1, {}, "", true, TCalendarDate{2007, 3, 12}, TTimeOfDay{14, 30, 5}},
        {"ABCD_EFGH_071231_235959.DAT", "ABCD_EFGH_071231_235959.DAT", 2, {}, "", true, TCalendarDate{2007, 12, 31}, TTimeOfDay{23, 59, 59}},
        {"ABCD_070312_143005.Dat", "ABCD_070312_143005.DAT", 1, {}, "", true, TCalendarDate{2007, 3, 12}, TTimeOfDay{14, 30, 5}},
        {"ABCD_070312_143005.txt", "ABCD_070312_143005.TXT", 0, {{0, 40}}, "", false, {}, {}},
        {"ABCD-070312_143005.DAT", "ABCD-070312_143005.DAT", 0, {{0, 40}}, "", false, {}, {}},
        {"ABCD_070312-143005.DAT", "ABCD_070312-143005.DAT", 0, {{0, 40}}, "", false, {}, {}},
        {"ABCD_EFGH_07123_1235959.DAT", "ABCD_EFGH_07123_1235959.DAT", 0, {{0, 40}}, "", false, {}, {}},
        {"ABCD_EFGH_071231_235959.DAX", "ABCD_EFGH_071231_235959.DAX", 0, {{0, 40}}, "", false, {}, {}},
        {"data.dat", "DATA.DAT", 0, {}, "", false, {}, {}},
        {"", "", 0, {}, "", false, {}, {}},
        {"ABCD_070312_143005X.DAT", "ABCD_070312_143005X.DAT", 0, {}, "", false, {}, {}},
        {"ABCD_071301_120000.DAT", "ABCD_071301_120000.DAT", 1, {{0, 43}}, "01.13.07", false, {}, {}},
        {"ABCD_071301_999999.DAT", "ABCD_071301_999999.DAT", 1, {{0, 43}}, "01.13.07", false, {}, {}},
        {"ABCD_070229_120000.DAT", "ABCD_070229_120000.DAT", 1, {{0, 43}}, "29.02.07", false, {}, {}},
        {"ABCD_000229_120000.DAT", "ABCD_000229_120000.DAT", 1, {}, "", true, TCalendarDate{2000, 2, 29}, TTimeOfDay{12, 0, 0}},
        {"ABCD_240229_120000.DAT", "ABCD_240229_120000.DAT", 1, {}, "", true, TCalendarDate{2024, 2, 29}, TTimeOfDay{12, 0, 0}},
        {"ABCD_EFGH_250229_000000.DAT", "ABCD_EFGH_250229_000000.DAT", 2, {{0, 43}}, "29.02.25", false, {}, {}},
        {"ABCD_070431_120000.DAT", "ABCD_070431_120000.DAT", 1, {{0, 43}}, "31.04.07", false, {}, {}},
        {"ABCD_070100_120000.DAT", "ABCD_070100_120000.DAT", 1, {{0, 43}}, "00.01.07", false, {}, {}},
        {"ABCD_070101_240000.DAT", "ABCD_070101_240000.DAT", 1, {{0, 44}}, "24:00:00", false, TCalendarDate{2007, 1, 1}, {}},
        {"ABCD_070101_236000.DAT", "ABCD_070101_236000.DAT", 1, {{0, 44}}, "23:60:00", false, TCalendarDate{2007, 1, 1}, {}},
        {"ABCD_070101_235960.DAT", "ABCD_070101_235960.DAT", 1, {{0, 44}}, "23:59:60", false, TCalendarDate{2007, 1, 1}, {}},
        {"ABCD_07 3 1_120000.DAT", "ABCD_07 3 1_120000.DAT", 1, {}, "", true, TCalendarDate{2007, 3, 1}, TTimeOfDay{12, 0, 0}},
        {"ABCD_7 03 1_1 2 3 .DAT", "ABCD_7 03 1_1 2 3 .DAT", 1, {}, "", true, TCalendarDate{2007, 3, 1}, TTimeOfDay{1, 2, 3}},
        {"ABCD_07  01_120000.DAT", "ABCD_07  01_120000.DAT", 1, {{0, 43}}, "01.  .07", false, {}, {}},
        {"ABCD_070101_12  00.DAT", "ABCD_070101_12  00.DAT", 1, {{0, 44}}, "12:  :00", false, TCalendarDate{2007, 1, 1}, {}},
        {"ABCD_07AB01_120000.DAT", "ABCD_07AB01_120000.DAT", 1, {{0, 43}}, "01.AB.07", false, {}, {}},
        {"ABCD_07ab01_120000.dat", "ABCD_07AB01_120000.DAT", 1, {{0, 43}}, "01.AB.07", false, {}, {}},
        {"ABCD_07+301_120000.DAT", "ABCD_07+301_120000.DAT", 1, {{0, 43}}, "01.+3.07", false, {}, {}},
        {"\xE4"
         "bcd_070312_143005.dat",
         "\xE4"
         "BCD_070312_143005.DAT",
         1,
         {},
         "",
         true,
         TCalendarDate{2007, 3, 12},
         TTimeOfDay{14, 30, 5}},
    };
    for (const TNameCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSamplingData data;
        InterfaceKind = 2;
        const TCalendarDate untouchedDate{1, 1, 1};
        const TTimeOfDay untouchedTime{1, 1, 1};
        TCalendarDate date = untouchedDate;
        TTimeOfDay time = untouchedTime;
        EXPECT_EQ(CheckFileName(c.Name, data, date, time, 2026), c.Result);
        EXPECT_EQ(data.FileName, c.Stored);
        EXPECT_EQ(GetInterfaceKind(), c.Kind);
        EXPECT_EQ(InterfaceKindOf(data), c.Kind);
        EXPECT_EQ(FindingsOf(data), c.Expected);
        EXPECT_EQ(date, c.Date.value_or(untouchedDate));
        EXPECT_EQ(time, c.Time.value_or(untouchedTime));
        if (!c.Value.empty()) {
            EXPECT_NE(data.MessageText.find("'" + c.Value + "'"), std::string::npos) << data.MessageText;
        }
    }
}

TEST(FileNameCheck, TwoDigitYearsFollowTheClock)
{
    struct Case {
        int CurrentYear;
        const char* TwoDigits;
        int Year;
    };
    const Case cases[] = {
        {2026, "00", 2000},
        {2026, "75", 2075},
        {2026, "76", 1976},
        {2026, "99", 1999},
        {2050, "00", 2000},
        {2051, "00", 2100},
        {1951, "00", 2000},
        {1950, "00", 1900},
        {2000, "49", 2049},
        {2000, "50", 1950},
        {2099, "48", 2148},
        {2099, "49", 2049},
    };
    for (const Case& c : cases) {
        TCalendarDate date;
        ASSERT_TRUE(ConvertDateText(std::string("01.01.") + c.TwoDigits, c.CurrentYear, date));
        EXPECT_EQ(date.Year, c.Year) << c.CurrentYear << " " << c.TwoDigits;
    }

    // 29 February 00 exists only when 00 means a leap year such as 2000, not 1900 or 2100.
    struct LeapCase {
        int CurrentYear;
        bool Valid;
    };
    for (const LeapCase& c : {LeapCase{1951, true}, LeapCase{2050, true}, LeapCase{1950, false}, LeapCase{2051, false}}) {
        TCalendarDate date;
        EXPECT_EQ(ConvertDateText("29.02.00", c.CurrentYear, date), c.Valid) << c.CurrentYear;
    }
}

int Year1950()
{
    return 1950;
}

TEST(FileNameCheck, WholeFileCheckReadsTheYearFromTheClockSource)
{
    TTempDir dir;
    const std::string path = dir.Write("ABCD_000229_120000.DAT", "3|0");
    TSamplingData data;
    CheckTransferFile(path, data, nullptr, &Year1950);
    EXPECT_EQ(FindingsOf(data), (TFindings{{0, 43}}));
    // The clock's year as a calendar year, not one counted from 1900.
    EXPECT_GE(CurrentYear(), 1970);
}

TEST(FileNameCheck, BareNameAndItsEncoding)
{
    struct Case {
        std::string Path;
        std::string Bare;
        std::string Judged;
    };
    const Case cases[] = {
        {"/tmp/x/ABCD_070312_143005.DAT", "ABCD_070312_143005.DAT", "ABCD_070312_143005.DAT"},
        {"ABCD_070312_143005.DAT", "ABCD_070312_143005.DAT", "ABCD_070312_143005.DAT"},
#ifdef _WIN32
        // Drive letters, both separators, and the ":" of a stream name.
        {"dir\\a:b.dat", "b.dat", "b.dat"},
        {"C:\\x\\ABCD_070312_143005.DAT", "ABCD_070312_143005.DAT", "ABCD_070312_143005.DAT"},
        {"C:ABCD_070312_143005.DAT", "ABCD_070312_143005.DAT", "ABCD_070312_143005.DAT"},
        {"C:/x/y\\data.dat", "data.dat", "data.dat"},
        {"\\\\server\\share\\x\\Ä.dat", "Ä.dat", "\xC4.dat"},
        {"C:\\", "", ""},
#else
        {"dir\\a:b.dat", "dir\\a:b.dat", "dir\\a:b.dat"},
        {"C:\\x\\ABCD_070312_143005.DAT", "C:\\x\\ABCD_070312_143005.DAT", "C:\\x\\ABCD_070312_143005.DAT"},
#endif
        {"/tmp/", "", ""},
        {"x/ÄBCD_070312_143005.DAT", "ÄBCD_070312_143005.DAT", "\xC4"
                                                               "BCD_070312_143005.DAT"},
        {"日本_070312_143005.DAT", "日本_070312_143005.DAT", "日本_070312_143005.DAT"},
        {"\xC4"
         "BCD.DAT",
         "\xC4"
         "BCD.DAT",
         "\xC4"
         "BCD.DAT"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BareFileName(c.Path), c.Bare) << c.Path;
        EXPECT_EQ(FileNameForCheck(BareFileName(c.Path)), c.Judged) << c.Path;
    }
}

TEST(FileNameCheck, Utf8NamesAreJudgedInWindows1252)
{
    TTempDir dir;
    struct Case {
        std::string Name;
        std::int32_t Kind;
        std::string Stored;
    };
    const Case cases[] = {
        {"ÄBCD_070312_143005.DAT", 1, "\xC4"
                                      "BCD_070312_143005.DAT"},
        {"äbcd_efgh_071231_235959.dat", 2, "\xE4"
                                           "BCD_EFGH_071231_235959.DAT"},
        // Not representable: judged by its 24 bytes, so merely not conforming.
        {"日本_070312_143005.DAT", 0, "日本_070312_143005.DAT"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.Write(c.Name, "3|0");
        TSamplingData data;
        CheckTransferFile(path, data);
        EXPECT_EQ(GetInterfaceKind(), c.Kind) << c.Name;
        EXPECT_EQ(InterfaceKindOf(data), c.Kind) << c.Name;
        EXPECT_EQ(data.FileName, c.Stored);
        EXPECT_EQ(data.MessageText, "OK");
    }
}

} // namespace
