#include "FieldCaptions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// Every field as the window names it, written down from its blocks and grid
// by hand, so a change of the layout file that moves a caption shows here.
struct THeadingCase {
    int Field;
    const char* Heading;
};

const THeadingCase HeadingCases[] = {
    {1, "Feld 1"},
    {2, "Feld 2"},
    {3, "Probe-Daten Proben-ID des Labors (3)"},
    {4, "Probe-Daten Auftraggeber (4)"},
    {5, "Probe-Daten Proben-ID des GA (5)"},
    {6, "Betreiber (WVU) Bezeich. (6)"},
    {7, "Betreiber (WVU) Bezeich. (7)"},
    {8, "Betreiber (WVU) Adresse (8)"},
    {9, "Betreiber (WVU) Adresse (9)"},
    {10, "Betreiber (WVU) Adresse (10)"},
    {11, "Betreiber (WVU) Telefon (11)"},
    {12, "Betreiber (WVU) Fax (12)"},
    {13, "Betreiber (WVU) Email (13)"},
    {14, "Entnahmestelle Bezeich. (14)"},
    {15, "Entnahmestelle Bezeich. (15)"},
    {16, "Entnahmestelle Kurzbez. (16)"},
    {17, "Entnahmestelle Adresse (17)"},
    {18, "Entnahmestelle Adresse (18)"},
    {19, "Entnahmestelle Adresse (19)"},
    {20, "Feld 20"},
    {21, "Feld 21"},
    {22, "Probe-Daten Probenahme am (22)"},
    {23, "Probe-Daten Probenahme durch (23)"},
    {24, "Entnahmestelle Codierung Objekt (24)"},
    {25, "Entnahmestelle Versorgungsgebiet (25)"},
    {26, "Entnahmestelle Geogenes Umfeld (26)"},
    {27, "Entnahmestelle GW-\xC3\x9C"
         "berschr. weil (27)"},
    {28, "Probe-Daten Probenahme-Verfahren (28)"},
    {29, "Probe-Daten Probenahme-Anlass (29)"},
    {30, "Probe-Daten Probeneingang Labor (30)"},
    {31, "Probe-Daten Schl\xC3\xBCssel des Labors (31)"},
    {32, "Probe-Daten Weitere Angaben (32)"},
    {33, "Feld 33"},
    {34, "Feld 34"},
    {35, "Probe-Daten Zust. Gesundheitsamt (35)"},
    {36, "Feld 36"},
    {37, "Feld 37"},
    {38, "Entnahmestelle Details (38)"},
    {39, "Probe-Daten Datenfreigabe (39)"},
    {40, "Feld 40"},
    {41, "Feld 41"},
    {42, "Feld 42"},
    {43, "Feld 43"},
    {44, "Analyse-Daten Param.-ID (44)"},
    {45, "Analyse-Daten Param.-Text (45)"},
    {46, "Feld 46"},
    {47, "Feld 47"},
    {48, "Analyse-Daten U-Wert (48)"},
    {49, "Analyse-Daten Beurteilung (49)"},
    {50, "Analyse-Daten Einheit (50)"},
    {51, "Analyse-Daten Verfahren (51)"},
    {52, "Analyse-Daten U-Stelle (52)"},
    {53, "Analyse-Daten Ausnahme (53)"},
    {54, "Feld 54"},
    {55, "Feld 55"},
};

TEST(FieldCaptions, EveryFieldIsNamedAsTheWindowNamesIt)
{
    std::set<int> seen;
    for (const THeadingCase& c : HeadingCases) {
        SCOPED_TRACE(c.Field);
        EXPECT_EQ(FieldHeading(c.Field), c.Heading);
        const TFieldCaption& caption = FieldCaption(c.Field);
        EXPECT_EQ(caption.Shown, std::string(c.Heading).rfind("Feld ", 0) != 0);
        EXPECT_EQ(caption.Block.empty(), !caption.Shown);
        seen.insert(c.Field);
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(LastFieldNumber));
}

TEST(FieldCaptions, NumbersOutsideTheFormatAreNotShown)
{
    for (const int field : {-1, 0, 56, 1000}) {
        EXPECT_FALSE(FieldCaption(field).Shown) << field;
        EXPECT_EQ(FieldHeading(field), "Feld " + std::to_string(field));
    }
}

TEST(FieldCaptions, GridColumnsNameTheFieldTheyShow)
{
    for (const TGridColumn& column : SampleColumns()) {
        if (column.Field == 0)
            continue;
        EXPECT_EQ(column.Second, "Feld " + std::to_string(column.Field));
        EXPECT_EQ(FieldCaption(column.Field).Caption, column.Heading);
    }
    for (const TGridColumn& column : ObjectListColumns()) {
        if (column.Field != 0) {
            EXPECT_EQ(column.Second, "Feld " + std::to_string(column.Field));
        }
    }
}

} // namespace
