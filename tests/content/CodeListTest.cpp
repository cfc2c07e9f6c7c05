#include "CodeListError.h"
#include "CodeLists.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

// The error a folder's lists give, as its text.
std::string LoadError(const TTempDir& dir)
{
    try {
        TCodeLists::Load(dir.Path());
    } catch (const ECodeListError& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

// Hostile or malformed lists: a clear German error naming the file and the
// line, and no hang.
TEST(CodeList, HostileListsAreRefusedWithFileAndLine)
{
    struct TCase {
        const char* Name;
        std::string Bytes;
        std::string Expected; // behind "Kodeliste PATH"
    };
    const TCase cases[] = {
        {"Feld24.txt", "12\n" + std::string(5000, '1') + "\n", ", Zeile 2: die Zeile ist l\xC3\xA4nger als 4096 Bytes."},
        {"Feld24.txt", std::string("12\n13\n1\0"
                                   "4\n",
                                   10),
         ", Zeile 3: die Zeile enth\xC3\xA4lt ein NUL-Byte."},
        {"feld44.TXT", "4003|Blei|mg/l\n# Kommentar\n4004|a|b|c\n", ", Zeile 3: die Zeile hat mehr als drei Spalten; erwartet wird Kode|Klartext|Einheit."},
        {"Feld44.txt", "\n|Blei\n", ", Zeile 2: die erste Spalte ist leer."},
        {"Feld25.txt", "VG-1|0643\nVG-2\n", ", Zeile 2: erwartet wird ID|GA-Kodierung, zwei Spalten, keine leer."},
        {"Feld25.txt", "VG 1|0643\n", ", Zeile 1: die ID enth\xC3\xA4lt ein Leerzeichen."},
        {"Feld49.txt", "eingehalten\n\xC3\xA4\xE6\x97\xA5\n", ", Zeile 2: die Zeile enth\xC3\xA4lt ein Zeichen, das es in Windows-1252 nicht gibt."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Expected);
        TTempDir dir;
        const std::string path = dir.Write(c.Name, c.Bytes);
        dir.Write("Feld24a.txt", "not a list: ignored");
        EXPECT_EQ(LoadError(dir), "Kodeliste " + path + c.Expected);
    }
}

TEST(CodeList, WhatIsNoFileIsRefused)
{
    TTempDir dir;
    std::filesystem::create_directory(PathFromUtf8(dir.File("Feld24.txt")));
    EXPECT_EQ(LoadError(dir), "Kodeliste " + dir.File("Feld24.txt") +
                                  ": die Datei kann nicht gelesen werden. Grund: es ist ein Ordner.");
#ifndef _WIN32
    TTempDir fifo;
    ASSERT_EQ(mkfifo(fifo.File("Feld44.txt").c_str(), 0600), 0);
    EXPECT_EQ(LoadError(fifo), "Kodeliste " + fifo.File("Feld44.txt") +
                                   ": die Datei kann nicht gelesen werden. Grund: keine gew\xC3\xB6hnliche Datei "
                                   "(ein Ger\xC3\xA4t, eine Pipe oder ein Socket).");
    // Two files for one list, where names differ in case.
    TTempDir twice;
    twice.Write("Feld24.txt", "1\n");
    twice.Write("FELD24.TXT", "2\n");
    EXPECT_NE(LoadError(twice).find("zwei Dateien sind die Liste f\xC3\xBCr Feld 24"), std::string::npos);
#endif
    try {
        TCodeLists::Load(dir.File("fehlt"));
        ADD_FAILURE() << "a missing folder loaded";
    } catch (const ECodeListError& e) {
        EXPECT_EQ(std::string(e.what()), "Ordner der Kodelisten " + dir.File("fehlt") +
                                             ": der Ordner kann nicht gelesen werden. Grund: Datei oder Ordner nicht vorhanden.");
    }
}

// Windows-1252 and UTF-8 lists read alike; codes exactly, texts without regard to case.
TEST(CodeList, EncodingsAndComparisons)
{
    for (const std::string& umlaut : {std::string("\xFC"), std::string("\xC3\xBC")}) {
        const std::string bom = umlaut.size() == 2 ? "\xEF\xBB\xBF" : "";
        const TCodeList texts = TCodeList::Parse(bom + "  nicht   bewertet \nT" + umlaut + "r\n#n.n.\n", "Feld49.txt", ECodeListKind::Texts);
        EXPECT_EQ(texts.Entries(), 2u);
        EXPECT_TRUE(texts.Contains("Nicht Bewertet"));
        EXPECT_TRUE(texts.Contains("T\xDCR"));
        EXPECT_FALSE(texts.Contains("#n.n."));
        const TCodeList codes = TCodeList::Parse(bom + "A" + umlaut + "|Beschreibung\r\nb\r", "Feld24.txt", ECodeListKind::Codes);
        EXPECT_TRUE(codes.Contains("A\xFC"));
        EXPECT_FALSE(codes.Contains("a\xFC"));
        EXPECT_FALSE(codes.Contains("B"));
    }
}

// A list of 100,000 entries is read whole (its speed is a bench figure).
TEST(CodeList, LargeListLoads)
{
    std::string bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += std::to_string(i) + "|Parameter " + std::to_string(i) + "|mg/l\n";
    const TCodeList list = TCodeList::Parse(bytes, "Feld44.txt", ECodeListKind::Parameters);
    EXPECT_EQ(list.Entries(), 100000u);
    ASSERT_EQ(list.FindParameter("99999").size(), 1u);
    EXPECT_EQ(list.FindParameter("99999").front().Text, "Parameter 99999");
    EXPECT_TRUE(list.FindParameter("100000").empty());
}
