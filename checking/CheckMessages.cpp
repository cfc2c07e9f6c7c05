#include "CheckMessages.h"

#include <cstdio>

const char* const CheckMessages[CheckMessageCount] = {
    "In Feld 1 wird eine '1' erwartet.", // 0
    "In Feld 2 wird ein 'E' (f\xFCr Endbefund) erwartet.", // 1
    "In Feld 3 muss die Probenidentifikations-ID des Labors angegeben werden.", // 2
    "In Feld 5 muss die Probenidentifikations-ID des Gesundheitsamtes angegeben werden.", // 3
    "In Feld 14 muss der Name der Entnahmestelle angegeben werden.", // 4
    "In Feld 16 muss der Kode der Probennahmestelle angegeben werden.", // 5
    "In Feld 17 fehlt die Stra\xDF" "e bzw. Hausnummer der Entnahmestelle.", // 6
    "Die PLZ '$' in Feld 18 fehlt oder ist ung\xFCltig.", // 7
    "In Feld 19 fehlt der Ort der Entnahmestelle.", // 8
    "Feld 22 enth\xE4lt keine g\xFCltige Datums-/Zeitangabe ('$').", // 9
    "Feld 24 enth\xE4lt keine nach Anl. 2 g\xFCltige Kodierung des beprobten Objektes ('$').", // 10
    "Die Zeile muss genau 32 Felder (Felder 1-32) enthalten.", // 11
    "Die Zeile muss genau 10 Felder (Felder 33-42) enthalten.", // 12
    "Die Versorgungsgebiets-ID in Feld 25 ('$') ist ung\xFCltig oder falsch zugeordnet.", // 13
    "Die in Feld 27 angegebene Kodierung '$' zur Grenzwert\xFC" "berschreitung ist ung\xFCltig.", // 14
    "Feld 28 enth\xE4lt keine g\xFCltige Kodierung des Probenahmeverfahrens ('$').", // 15
    "Feld 29 enth\xE4lt keine g\xFCltige Kodierung des Untersuchungsziels ('$').", // 16
    "Feld 30 enth\xE4lt eine ung\xFCltige Datums-/Zeitangabe ('$').", // 17
    "Der in Feld 31 angegebene Laborschl\xFCssel '$' ist ung\xFCltig.", // 18
    "In Feld 33 wird eine '2' erwartet.", // 19
    "In Feld 34 wird 'MATW' erwartet.", // 20
    "Die GA-Kodierung '$' in Feld 35 ist ung\xFCltig oder falsch zugeordnet.", // 21
    "Die Zeile muss genau 11 Felder (Felder 43-53) enthalten.", // 22
    "In Feld 38 fehlt die genaue Bezeichnung der Entnahmestelle.", // 23
    "Der in Feld 39 angegebene Datenfreigabe-Kode '$' ist ung\xFCltig.", // 24
    "In Feld 43 wird eine '2' erwartet.", // 25
    "Der in Feld 44 angegebene Parameter-Kode '$' ist ung\xFCltig.", // 26
    "Kode und Klartext des Parameters passen nicht zusammen: $.", // 27
    "Kode und Einheit des Parameters passen nicht zusammen: $.", // 28
    "Der Parameter wurde weder in Feld 44 noch in Feld 45 angegeben.", // 29
    "Der in Feld 48 angegebene Messwert '$' ist ung\xFCltig.", // 30
    "Die in Feld 49 angegebene Beurteilung '$' ist ung\xFCltig.", // 31
    "Das in Feld 51 angegebene Analysenverfahren '$' ist ung\xFCltig.", // 32
    "Der in Feld 52 angegebene Laborschl\xFCssel '$' ist ung\xFCltig.", // 33
    "In Feld 53 ist die Angabe zur Ausnahmegenehmigung '$' ung\xFCltig (oder fehlt).", // 34
    "Die Zeile muss genau 2 Felder enthalten.", // 35
    "Die Anzahl der \xFC" "bermittelten Parameter stimmt nicht.", // 36
    "Das Datensatzende wurde unerwartet erreicht (Feld 55 fehlt).", // 37
    "Die Versorgungsgebiets-ID '$' ist unbekannt.", // 38
    "Das Versorgungsgebiet '$' liegt nicht im Gebiet des meldenden GA.", // 39
    "Der Dateiname ist ung\xFCltig.", // 40
    "Die GA-Kennung '$' im Dateinamen ist ung\xFCltig.", // 41
    "Die Software-Kennung '$' im Dateinamen ist ung\xFCltig.", // 42
    "Die Datumsangabe '$' im Dateinamen ist ung\xFCltig.", // 43
    "Die Zeitangabe '$' im Dateinamen ist ung\xFCltig.", // 44
};

namespace {

void AppendMessage(TSamplingData& data, std::int32_t line, std::uint8_t index, const std::string_view* value)
{
    TCheckMessage m;
    m.Line = line;
    m.Code = index;
    m.Offset = data.MessageText.size();
    if (line != 0) {
        char prefix[40];
        const int n = std::snprintf(prefix, sizeof prefix, "       Zeile %3d: ", static_cast<int>(line));
        data.MessageText.append(prefix, static_cast<std::size_t>(n));
        m.TextStart = static_cast<std::uint32_t>(n);
    }
    const std::string_view text = index < CheckMessageCount ? CheckMessages[index] : "";
    const std::size_t dollar = value ? text.find('$') : std::string_view::npos;
    if (dollar == std::string_view::npos) {
        data.MessageText.append(text);
    } else {
        data.MessageText.append(text.substr(0, dollar));
        data.MessageText.append(*value);
        data.MessageText.append(text.substr(dollar + 1));
    }
    m.Length = data.MessageText.size() - m.Offset;
    data.MessageText.append("\r\n");
    ++data.MessageCount;
    data.Messages.push_back(m);
}

} // namespace

void AddMessage(TSamplingData& data, std::int32_t line, std::uint8_t index)
{
    AppendMessage(data, line, index, nullptr);
}

void AddMessageWithValue(TSamplingData& data, std::int32_t line, std::uint8_t index, std::string_view value)
{
    AppendMessage(data, line, index, &value);
}
