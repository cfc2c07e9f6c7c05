#include "Cp1252.h"
#include "MessageIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

TEST(MessageTable, HoldsTheTextsAsWindows1252)
{
    struct Case {
        int Index;
        const char* Utf8;
    };
    const Case cases[] = {
        {0, "In Feld 1 wird eine '1' erwartet."},
        {1, "In Feld 2 wird ein 'E' (für Endbefund) erwartet."},
        {6, "In Feld 17 fehlt die Straße bzw. Hausnummer der Entnahmestelle."},
        {11, "Die Zeile muss genau 32 Felder (Felder 1-32) enthalten."},
        {14, "Die in Feld 27 angegebene Kodierung '$' zur Grenzwertüberschreitung ist ungültig."},
        {22, "Die Zeile muss genau 11 Felder (Felder 43-53) enthalten."},
        {36, "Die Anzahl der übermittelten Parameter stimmt nicht."},
        {37, "Das Datensatzende wurde unerwartet erreicht (Feld 55 fehlt)."},
        {40, "Der Dateiname ist ungültig."},
        {44, "Die Zeitangabe '$' im Dateinamen ist ungültig."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Cp1252ToUtf8(CheckMessages[c.Index]), c.Utf8) << c.Index;

    int withPlaceholder = 0;
    for (const char* text : CheckMessages) {
        const std::string s(text);
        EXPECT_EQ(s.find('\r'), std::string::npos);
        EXPECT_EQ(s.back(), '.') << s;
        EXPECT_LE(std::count(s.begin(), s.end(), '$'), 1) << s;
        withPlaceholder += s.find('$') != std::string::npos;
        for (unsigned char c : s)
            EXPECT_TRUE(c >= 0x20 && c != 0x7F) << s;
    }
    EXPECT_EQ(withPlaceholder, 25);
}

TEST(MessageFormatting, LineNumberFieldIsThreeWideAndNeverCut)
{
    struct Case {
        std::int32_t Line;
        std::uint8_t Index;
        std::string Expected;
    };
    const std::string t22 = CheckMessages[22];
    const std::string t35 = CheckMessages[35];
    const Case cases[] = {
        {4, 22, "       Zeile   4: " + t22},
        {9, 35, "       Zeile   9: " + t35},
        {10, 35, "       Zeile  10: " + t35},
        {99, 35, "       Zeile  99: " + t35},
        {123, 35, "       Zeile 123: " + t35},
        {1234, 35, "       Zeile 1234: " + t35},
        {2147483647, 35, "       Zeile 2147483647: " + t35},
        {0, 40, "Der Dateiname ist ung\xFCltig."},
    };
    for (const Case& c : cases) {
        TSamplingData data;
        AddMessage(data, c.Line, c.Index);
        EXPECT_EQ(data.MessageText, c.Expected + "\r\n");
        EXPECT_EQ(data.MessageCount, 1);
        ASSERT_EQ(data.Messages.size(), 1u);
        EXPECT_EQ(data.MessageLine(data.Messages[0]), c.Expected);
        EXPECT_EQ(data.MessageBody(data.Messages[0]), CheckMessages[c.Index]);
    }
}

TEST(MessageFormatting, ValueReplacesOnlyTheFirstDollar)
{
    struct Case {
        std::int32_t Line;
        std::uint8_t Index;
        std::string Value;
        std::string Expected;
    };
    const Case cases[] = {
        {0, 44, "25:61:00", "Die Zeitangabe '25:61:00' im Dateinamen ist ung\xFCltig."},
        {0, 43, "01.13.07", "Die Datumsangabe '01.13.07' im Dateinamen ist ung\xFCltig."},
        {0, 43, "$%d%s", "Die Datumsangabe '$%d%s' im Dateinamen ist ung\xFCltig."},
        {0, 27, "a$b", "Kode und Klartext des Parameters passen nicht zusammen: a$b."},
        {0, 43, "", "Die Datumsangabe '' im Dateinamen ist ung\xFCltig."},
        {0, 40, "dropped", "Der Dateiname ist ung\xFCltig."},
        {7, 30, "1,5", "       Zeile   7: Der in Feld 48 angegebene Messwert '1,5' ist ung\xFCltig."},
        {7, 35, "dropped", "       Zeile   7: Die Zeile muss genau 2 Felder enthalten."},
    };
    for (const Case& c : cases) {
        TSamplingData data;
        AddMessageWithValue(data, c.Line, c.Index, c.Value);
        EXPECT_EQ(data.MessageText, c.Expected + "\r\n");
        EXPECT_EQ(data.MessageCount, 1);
    }
}

TEST(MessageFormatting, MessagesAccumulateInOrder)
{
    TSamplingData data;
    AddMessage(data, 0, 40);
    AddMessage(data, 4, 22);
    AddMessageWithValue(data, 0, 44, "24:00:00");
    EXPECT_EQ(data.MessageCount, 3);
    EXPECT_EQ(data.MessageText, std::string("Der Dateiname ist ung\xFCltig.\r\n") + "       Zeile   4: " + CheckMessages[22] + "\r\n" + "Die Zeitangabe '24:00:00' im Dateinamen ist ung\xFCltig.\r\n");
    ASSERT_EQ(data.Messages.size(), 3u);
    EXPECT_EQ(data.Messages[1].Line, 4);
    EXPECT_EQ(data.Messages[1].Code, 22);
    EXPECT_EQ(data.MessageBody(data.Messages[2]), "Die Zeitangabe '24:00:00' im Dateinamen ist ung\xFCltig.");
}

} // namespace
