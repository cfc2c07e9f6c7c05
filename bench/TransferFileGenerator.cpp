#include "TransferFileGenerator.h"

#include "Cp1252.h"

#include <stdexcept>

namespace {

// The vocabulary below is written in UTF-8 for legibility and stored as
// Windows-1252 bytes.
std::string Narrow(const char* utf8)
{
    std::string out;
    if (!Utf8ToCp1252(utf8, out))
        throw std::logic_error("generator vocabulary outside Windows-1252");
    return out;
}

struct TPlace {
    std::string Postcode;
    std::string Town;
    std::string Area; // phone area code
    std::string Mail; // mail domain part
};

struct TParameter {
    std::string Code;
    std::string Text;
    std::string Unit;
    std::string Method;
    uint32_t Scale; // values 0 .. Scale-1 before the decimal point shift
    int Decimals;
    bool BelowLimitOften; // often reported as "< limit"
};

const TPlace Places[] = {
    {"48143", Narrow("Münster"), "0251", "muenster"},
    {"58507", Narrow("Lüdenscheid"), "02351", "luedenscheid"},
    {"50667", Narrow("Köln"), "0221", "koeln"},
    {"40213", Narrow("Düsseldorf"), "0211", "duesseldorf"},
    {"02826", Narrow("Görlitz"), "03581", "goerlitz"},
    {"80331", Narrow("München"), "089", "muenchen"},
    {"97070", Narrow("Würzburg"), "0931", "wuerzburg"},
    {"37073", Narrow("Göttingen"), "0551", "goettingen"},
    {"88045", Narrow("Friedrichshafen"), "07541", "friedrichshafen"},
    {"99084", Narrow("Erfurt"), "0361", "erfurt"},
    {"24103", Narrow("Kiel"), "0431", "kiel"},
    {"66111", Narrow("Saarbrücken"), "0681", "saarbruecken"},
    {"01067", Narrow("Dresden"), "0351", "dresden"},
    {"79098", Narrow("Freiburg im Breisgau"), "0761", "freiburg"},
};

const std::string Operators[] = {
    Narrow("Stadtwerke"),
    Narrow("Wasserversorgung"),
    Narrow("Zweckverband Wasserversorgung"),
    Narrow("Gemeindewerke"),
    Narrow("Wasserbeschaffungsverband"),
    Narrow("Energie- und Wasserversorgung"),
};

const std::string OperatorSecondLines[] = {
    "",
    Narrow("Abteilung Trinkwasser"),
    Narrow("Betriebsführung Netz"),
    "",
    Narrow("Wassergüte und Labor"),
    "",
};

const std::string Streets[] = {
    Narrow("Hauptstraße"),
    Narrow("Bahnhofstraße"),
    Narrow("Am Mühlenbach"),
    Narrow("Schillerstraße"),
    Narrow("Lindenallee"),
    Narrow("Kirchplatz"),
    Narrow("Jägerweg"),
    Narrow("Brückenstraße"),
    Narrow("Zur Talsperre"),
    Narrow("Gärtnerstraße"),
    Narrow("Rosenhöhe"),
    Narrow("Über dem Wehr"),
};

const std::string SamplingPoints[] = {
    Narrow("Hochbehälter Am Höllenberg"),
    Narrow("Wasserwerk Nord, Reinwasser"),
    Narrow("Grundschule am Park, Küche"),
    Narrow("Kindertagesstätte Sonnenschein"),
    Narrow("Rathaus, Teeküche 2. OG"),
    Narrow("Brunnen III, Rohwasser"),
    Narrow("Seniorenheim Lindenhof, Bad"),
    Narrow("Sporthalle Süd, Duschraum"),
    Narrow("Übergabeschacht Mühlweg"),
    Narrow("Krankenhaus St. Josef, Station 4"),
    Narrow("Freibad, Trinkbrunnen"),
    Narrow("Gaststätte Zur Börse"),
};

const std::string SamplingDetails[] = {
    Narrow("Zapfhahn Reinwasser"),
    Narrow("Waschbecken Küche"),
    Narrow("Entnahmehahn nach Zähler"),
    "",
    Narrow("Duschkopf abgeschraubt"),
    Narrow("Probenahmeventil Netzausgang"),
    "",
};

const std::string Samplers[] = {
    Narrow("Probenehmer Jürgens"),
    Narrow("Fr. Weiß (Labor)"),
    Narrow("Hr. Schäfer"),
    Narrow("Probenahmedienst Süd"),
    Narrow("Fr. Öztürk"),
    Narrow("Hr. Groß, zertifiziert"),
};

const std::string Remarks[] = {
    "",
    "",
    "",
    Narrow("Probe nach 5 min Ablaufen entnommen"),
    Narrow("Leitung vorher desinfiziert (abgeflammt)"),
    Narrow("Nachuntersuchung wegen Befund vom Vormonat"),
    "",
    Narrow("Wasser leicht trüb, Geruch unauffällig; Temperatur vor Ort gemessen"),
};

const std::string Details[] = {
    Narrow("Zapfstelle im Keller, rechts neben Hausanschluss"),
    Narrow("Entnahmestelle Küche, Spüle links"),
    Narrow("Reinwasserbehälter Kammer 2"),
    Narrow("Auslauf Hochbehälter, Messschacht"),
    Narrow("Zapfhahn Sanitärraum Erdgeschoss"),
};

const std::string Assessments[] = {"", "", "", "1", "1", Narrow("eingehalten"), "0"};

const std::string Exemptions[] = {"", "", "", "", "", "", "", Narrow("Ausnahme gem. § 10 bis 31.12.2026")};

const TParameter Parameters[] = {
    {"1001", Narrow("Escherichia coli (E. coli)"), "Anzahl/100 ml", "DIN EN ISO 9308-1", 3, 0, false},
    {"1002", Narrow("Enterokokken"), "Anzahl/100 ml", "DIN EN ISO 7899-2", 3, 0, false},
    {"1003", Narrow("Coliforme Bakterien"), "Anzahl/100 ml", "DIN EN ISO 9308-1", 5, 0, false},
    {"1004", Narrow("Koloniezahl bei 22 °C"), "Anzahl/ml", Narrow("TrinkwV § 15 (1c)"), 100, 0, false},
    {"1005", Narrow("Koloniezahl bei 36 °C"), "Anzahl/ml", Narrow("TrinkwV § 15 (1c)"), 50, 0, false},
    {"2001", Narrow("Leitfähigkeit bei 25 °C"), Narrow("µS/cm"), "DIN EN 27888 (C 8)", 12000, 0, false},
    {"2002", Narrow("pH-Wert"), "", "DIN EN ISO 10523 (C 5)", 150, 2, false},
    {"2003", Narrow("Trübung"), "NFU", "DIN EN ISO 7027 (C 2)", 200, 2, true},
    {"2004", Narrow("Färbung (SAK 436 nm)"), "1/m", "DIN EN ISO 7887 (C 1)", 50, 2, true},
    {"2005", Narrow("Geruch (qualitativ)"), "", "DEV B 1/2", 1, 0, false},
    {"2006", Narrow("Wassertemperatur"), Narrow("°C"), "DIN 38404-4 (C 4)", 250, 1, false},
    {"2101", Narrow("Nitrat"), "mg/l", "DIN EN ISO 10304-1 (D 20)", 5000, 1, false},
    {"2102", Narrow("Nitrit"), "mg/l", "DIN EN 26777 (D 10)", 100, 3, true},
    {"2103", Narrow("Ammonium"), "mg/l", "DIN 38406-5 (E 5)", 100, 2, true},
    {"2104", Narrow("Sulfat"), "mg/l", "DIN EN ISO 10304-1 (D 20)", 25000, 1, false},
    {"2105", Narrow("Chlorid"), "mg/l", "DIN EN ISO 10304-1 (D 20)", 20000, 1, false},
    {"2201", Narrow("Calcium"), "mg/l", "DIN EN ISO 11885 (E 22)", 15000, 1, false},
    {"2202", Narrow("Magnesium"), "mg/l", "DIN EN ISO 11885 (E 22)", 4000, 1, false},
    {"2203", Narrow("Gesamthärte"), Narrow("°dH"), "DIN 38409-6 (H 6)", 300, 1, false},
    {"2204", Narrow("Eisen"), "mg/l", "DIN EN ISO 11885 (E 22)", 300, 3, true},
    {"2205", Narrow("Mangan"), "mg/l", "DIN EN ISO 11885 (E 22)", 100, 3, true},
    {"2301", Narrow("Blei"), Narrow("µg/l"), "DIN EN ISO 17294-2 (E 29)", 150, 1, true},
    {"2302", Narrow("Kupfer"), "mg/l", "DIN EN ISO 17294-2 (E 29)", 200, 2, true},
    {"2303", Narrow("Nickel"), Narrow("µg/l"), "DIN EN ISO 17294-2 (E 29)", 200, 1, true},
    {"2304", Narrow("Arsen"), Narrow("µg/l"), "DIN EN ISO 17294-2 (E 29)", 100, 1, true},
    {"2305", Narrow("Uran"), Narrow("µg/l"), "DIN EN ISO 17294-2 (E 29)", 100, 2, true},
    {"2401", Narrow("Trihalogenmethane, Summe"), Narrow("µg/l"), "DIN EN ISO 10301 (F 4)", 500, 1, true},
    {"2402", Narrow("Tetrachlorethen und Trichlorethen, Summe"), Narrow("µg/l"), "DIN EN ISO 10301 (F 4)", 100, 2, true},
    {"2403", Narrow("Pflanzenschutzmittel-Wirkstoffe, Summe"), Narrow("µg/l"), "DIN 38407-36 (F 36)", 100, 3, true},
    {"2501", Narrow("Legionella spec."), "KBE/100 ml", "DIN EN ISO 11731", 200, 0, false},
    {"2502", Narrow("Clostridium perfringens (einschließlich Sporen)"), "Anzahl/100 ml", "DIN EN ISO 14189", 2, 0, false},
    {"2601", Narrow("Oxidierbarkeit (als O2)"), "mg/l", "DIN EN ISO 8467 (H 5)", 50, 2, false},
    {"2602", Narrow("Säurekapazität bis pH 4,3"), "mmol/l", "DIN 38409-7 (H 7)", 600, 2, false},
    {"2603", Narrow("Calcitlösekapazität"), "mg/l", "DIN 38404-10 (C 10)", 300, 1, false},
};

const std::string Laboratories[] = {"LAB-0912", "LAB-1140", "LAB-0307", "LAB-2215", "LAB-0088"};

} // namespace

TTransferFileGenerator::TTransferFileGenerator(uint64_t seed) : FState(seed) { }

// splitmix64: tiny, fast, and identical everywhere.
uint64_t TTransferFileGenerator::Next()
{
    uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint32_t TTransferFileGenerator::Below(uint32_t bound)
{
    return static_cast<uint32_t>((Next() >> 32) * bound >> 32);
}

void TTransferFileGenerator::AppendNumber(std::string& out, uint64_t value, int width)
{
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int i = n; i < width; ++i)
        out += '0';
    while (n > 0)
        out += digits[--n];
}

void TTransferFileGenerator::AppendDate(std::string& out, int day, int month, int year, int hour, int minute)
{
    AppendNumber(out, day, 2);
    out += '.';
    AppendNumber(out, month, 2);
    out += '.';
    AppendNumber(out, year, 4);
    out += ' ';
    AppendNumber(out, hour, 2);
    out += ':';
    AppendNumber(out, minute, 2);
}

void TTransferFileGenerator::AppendMeasuredValue(std::string& out, uint32_t scale, int decimals)
{
    const uint32_t raw = Below(scale == 0 ? 1 : scale);
    uint32_t divisor = 1;
    for (int i = 0; i < decimals; ++i)
        divisor *= 10;
    AppendNumber(out, raw / divisor);
    if (decimals > 0) {
        out += ','; // German decimal comma
        AppendNumber(out, raw % divisor, decimals);
    }
}

void TTransferFileGenerator::AppendHeaderLine1(std::string& out)
{
    const TPlace& operatorPlace = Places[Below(std::size(Places))];
    const TPlace& samplingPlace = Below(4) == 0 ? Places[Below(std::size(Places))] : operatorPlace;
    const int day = 1 + static_cast<int>(Below(28));
    const int month = 1 + static_cast<int>(Below(12));
    const int hour = 6 + static_cast<int>(Below(10));
    const int minute = static_cast<int>(Below(60));
    const std::string& laboratory = Pick(Laboratories);

    out += "1|E|L26-"; // 1, 2, 3
    AppendNumber(out, ++FSampleNumber, 6);
    out += '|';
    out += Pick(Operators); // 4
    out += ' ';
    out += operatorPlace.Town;
    out += '|';
    if (Below(3) != 0) { // 5
        out += "GA-2026-";
        AppendNumber(out, Below(100000), 5);
    }
    out += '|';
    out += Pick(Operators); // 6
    out += ' ';
    out += operatorPlace.Town;
    out += '|';
    out += Pick(OperatorSecondLines); // 7
    out += '|';
    out += Pick(Streets); // 8
    out += ' ';
    AppendNumber(out, 1 + Below(120));
    out += '|';
    out += operatorPlace.Postcode; // 9
    out += '|';
    out += operatorPlace.Town; // 10
    out += '|';
    out += operatorPlace.Area; // 11
    out += ' ';
    AppendNumber(out, 100 + Below(900));
    out += "-0|";
    out += operatorPlace.Area; // 12
    out += ' ';
    AppendNumber(out, 100 + Below(900));
    out += "-99|wasser@stadtwerke-"; // 13
    out += operatorPlace.Mail;
    out += ".de|";
    out += Pick(SamplingPoints); // 14
    out += '|';
    out += Pick(SamplingDetails); // 15
    out += "|EST-"; // 16
    AppendNumber(out, Below(10000), 4);
    out += '|';
    out += Pick(Streets); // 17
    out += ' ';
    AppendNumber(out, 1 + Below(80));
    out += '|';
    out += samplingPlace.Postcode; // 18
    out += '|';
    out += samplingPlace.Town; // 19
    out += "|||"; // 20, 21
    AppendDate(out, day, month, 2026, hour, minute); // 22
    out += '|';
    out += Pick(Samplers); // 23
    out += '|';
    AppendNumber(out, 1 + Below(14)); // 24
    out += "|VG-0"; // 25
    AppendNumber(out, 5000000 + Below(999999), 7);
    out += '|';
    AppendNumber(out, Below(3)); // 26
    out += '|';
    if (Below(8) == 0) // 27
        AppendNumber(out, 1 + Below(4));
    out += '|';
    out += static_cast<char>('A' + Below(3)); // 28
    out += '|';
    AppendNumber(out, 1 + Below(5)); // 29
    out += '|';
    AppendDate(out, day, month, 2026, hour + 2, minute); // 30
    out += '|';
    out += laboratory; // 31
    out += '|';
    out += Pick(Remarks); // 32
    out += "|\r\n";
}

void TTransferFileGenerator::AppendHeaderLine2(std::string& out)
{
    out += "2|MATW|"; // 33, 34
    AppendNumber(out, 5000000 + Below(9999), 8); // 35
    out += "|||"; // 36, 37
    out += Pick(Details); // 38
    out += '|';
    out += Below(4) == 0 ? '2' : '1'; // 39
    out += "||||\r\n"; // 40 to 42
}

void TTransferFileGenerator::AppendParameterLine(std::string& out)
{
    const TParameter& parameter = Parameters[Below(std::size(Parameters))];
    out += "2|"; // 43
    out += parameter.Code; // 44
    out += '|';
    out += parameter.Text; // 45
    out += "|||"; // 46, 47
    if (parameter.BelowLimitOften && Below(2) == 0) { // 48
        out += "< ";
        AppendMeasuredValue(out, parameter.Scale / 10 + 1, parameter.Decimals);
    } else if (parameter.Code == "2005") {
        out += Below(6) == 0 ? Narrow("erdig, schwach") : Narrow("ohne");
    } else {
        AppendMeasuredValue(out, parameter.Scale, parameter.Decimals);
    }
    out += '|';
    out += Pick(Assessments); // 49
    out += '|';
    out += parameter.Unit; // 50
    out += '|';
    out += parameter.Method; // 51
    out += '|';
    out += Pick(Laboratories); // 52
    out += '|';
    out += Pick(Exemptions); // 53
    out += "|\r\n";
}

void TTransferFileGenerator::AppendInvestigation(std::string& out, int parameterCount)
{
    const int count = parameterCount >= 0 ? parameterCount : 5 + static_cast<int>(Below(26));
    AppendHeaderLine1(out);
    AppendHeaderLine2(out);
    for (int i = 0; i < count; ++i)
        AppendParameterLine(out);
    AppendEndLine(out, count);
}

void TTransferFileGenerator::AppendEndLine(std::string& out, int parameterCount)
{
    out += "3|";
    AppendNumber(out, static_cast<uint64_t>(parameterCount));
    out += "\r\n";
    ++FInvestigations;
    FParameters += static_cast<uint64_t>(parameterCount);
    FLines += 3 + static_cast<uint64_t>(parameterCount);
}

namespace {

void Flush(std::FILE* file, std::string& buffer)
{
    if (!buffer.empty() && std::fwrite(buffer.data(), 1, buffer.size(), file) != buffer.size())
        throw std::runtime_error("cannot write the generated file");
    buffer.clear();
}

constexpr size_t FlushBytes = 1 << 20;

} // namespace

uint64_t TTransferFileGenerator::WriteBySize(std::FILE* file, uint64_t targetBytes)
{
    std::string buffer;
    buffer.reserve(FlushBytes + 65536);
    uint64_t written = 0;
    do {
        AppendInvestigation(buffer);
        if (buffer.size() >= FlushBytes || written + buffer.size() >= targetBytes) {
            written += buffer.size();
            Flush(file, buffer);
        }
    } while (written < targetBytes);
    return written;
}

uint64_t TTransferFileGenerator::WriteByCount(std::FILE* file, uint64_t investigationCount, int parameterCount)
{
    std::string buffer;
    buffer.reserve(FlushBytes + 65536);
    uint64_t written = 0;
    for (uint64_t i = 0; i < investigationCount; ++i) {
        if (parameterCount > 1000) {
            // One huge block: write it in slices to keep the buffer small.
            AppendHeaderLine1(buffer);
            AppendHeaderLine2(buffer);
            for (int k = 0; k < parameterCount; ++k) {
                AppendParameterLine(buffer);
                if (buffer.size() >= FlushBytes) {
                    written += buffer.size();
                    Flush(file, buffer);
                }
            }
            AppendEndLine(buffer, parameterCount);
        } else {
            AppendInvestigation(buffer, parameterCount);
        }
        if (buffer.size() >= FlushBytes) {
            written += buffer.size();
            Flush(file, buffer);
        }
    }
    written += buffer.size();
    Flush(file, buffer);
    return written;
}
