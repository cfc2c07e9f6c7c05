#include "Cp1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, MapsEveryByteLikeTheCodePage)
{
    struct Case {
        unsigned char Byte;
        char16_t Expected;
    };
    const Case cases[] = {
        {0x00, 0x0000},
        {0x41, 0x0041},
        {0x7F, 0x007F},
        {0x80, 0x20AC},
        {0x81, 0x0081},
        {0x8A, 0x0160},
        {0x8D, 0x008D},
        {0x8F, 0x008F},
        {0x90, 0x0090},
        {0x96, 0x2013},
        {0x9D, 0x009D},
        {0x9F, 0x0178},
        {0xA0, 0x00A0},
        {0xB5, 0x00B5},
        {0xC4, 0x00C4},
        {0xDF, 0x00DF},
        {0xFC, 0x00FC},
        {0xFF, 0x00FF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Cp1252ToUnicode(c.Byte), c.Expected) << "byte " << int(c.Byte);
}

TEST(Cp1252, ConvertsToUtf8)
{
    EXPECT_EQ(Cp1252ToUtf8("ung\xFCltig"), "ungültig");
    EXPECT_EQ(Cp1252ToUtf8("\xB5S/cm"), "µS/cm");
    EXPECT_EQ(Cp1252ToUtf8("\x80\x81"), "€\u0081");
    EXPECT_EQ(Cp1252ToUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp1252, RoundTripsEveryByte)
{
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        std::string back;
        ASSERT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(one), back)) << b;
        EXPECT_EQ(back, one) << b;
    }
}

TEST(Cp1252, RefusesWhatTheCodePageLacks)
{
    struct Case {
        const char* Utf8;
        bool Representable;
        const char* Cp1252;
    };
    const Case cases[] = {
        {"ÄBCD", true, "\xC4"
                       "BCD"},
        {"Straße", true, "Stra\xDF"
                         "e"},
        {"€", true, "\x80"},
        {"日本", false, ""},
        {"\xC2\x85", false, ""}, // U+0085 has no byte of its own in the code page
        {"\xC3", false, ""}, // cut sequence
        {"\xC0\x80", false, ""}, // overlong
        {"\xED\xA0\x80", false, ""}, // surrogate
        {"\xFF", false, ""},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(Utf8ToCp1252(c.Utf8, out), c.Representable) << c.Utf8;
        if (c.Representable) {
            EXPECT_EQ(out, c.Cp1252);
        }
    }
}

} // namespace
