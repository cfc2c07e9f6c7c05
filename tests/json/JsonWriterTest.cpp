#include "JsonWriter.h"
#include "JsonTestSupport.h"
#include "Utf8Text.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(JsonWriter, EscapesEveryControlCharacter)
{
    for (int c = 0; c < 0x20; ++c) {
        TJsonWriter json;
        const std::string text = std::string("a") + static_cast<char>(c) + "b";
        json.String(text);
        for (const char out : json.Text())
            EXPECT_GE(static_cast<unsigned char>(out), 0x20) << c;
        EXPECT_EQ(ParseJson(json.Text()).Text(), text) << c;
    }
}

// The one-piece member and the written-out key and string give the same text,
// and the pieces written out in between join up to the same line.
TEST(JsonWriter, MemberWritesWhatKeyAndStringWrite)
{
    const std::string values[] = {"", "plain", "a\"b", "back\\slash", "tab\tin", "\x7F", "M\xC3\xBCller", "M\xFCller",
                                  std::string(300, 'x'), std::string(250, 'y')};
    TJsonWriter one, two;
    std::string pieces;
    one.BeginObject();
    two.BeginObject();
    for (const std::string& value : values) {
        for (const std::string& key : {std::string("43"), value}) {
            one.Member(key, value);
            two.Key(key);
            two.String(value);
            one.MoveTextTo(pieces);
        }
    }
    one.EndObject();
    two.EndObject();
    one.MoveTextTo(pieces);
    EXPECT_EQ(pieces, two.Text());
    EXPECT_NO_THROW(ParseJson(pieces));
}

TEST(JsonWriter, InvalidUtf8BytesAreReadAsWindows1252)
{
    struct Case {
        std::string Bytes;
        std::string Utf8;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"ÄÖÜß€", "ÄÖÜß€"},
        {"\xC4", "Ä"},
        {"\x80\x81", "€\u0081"},
        {"\xC3", "Ã"},
        {"\xE2\x82", "â‚"},
        {"\xED\xA0\x80", "í\u00A0€"},
        {"\xF5\xFF", "õÿ"},
        {"\xC0\xAF", "À¯"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BytesToUtf8(c.Bytes), c.Utf8) << testing::PrintToString(c.Bytes);
        TJsonWriter json;
        json.String(c.Bytes);
        EXPECT_EQ(ParseJson(json.Text()).Text(), c.Utf8);
    }
}

TEST(JsonWriter, RandomBytesAlwaysGiveValidJson)
{
    std::mt19937 random(1252);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 24, '\0');
        for (char& b : bytes)
            b = static_cast<char>(random() % 256);
        TJsonWriter json;
        json.BeginObject();
        json.Key(bytes);
        json.BeginArray();
        json.String(bytes);
        json.Number(-static_cast<std::int64_t>(random()));
        json.EndArray();
        json.EndObject();
        ASSERT_NO_THROW(ParseJson(json.Text())) << json.Text();
    }
}

} // namespace
