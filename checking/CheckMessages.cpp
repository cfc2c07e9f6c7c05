#include "CheckMessages.h"

#include <cstdio>

const char* const CheckMessages[CheckMessageCount] = {
    "In Feld 1 wird eine '1' erwartet.", // Field1MustBeOne
    "In Feld 2 wird ein 'E' (f\xFCr Endbefund) erwartet.", // Field2MustBeFinalResult
    "In Feld 3 muss die Probenidentifikations-ID des Labors angegeben werden.", // LabSampleIdMissing
    "In Feld 5 muss die Probenidentifikations-ID des Gesundheitsamtes angegeben werden.", // HealthOfficeSampleIdMissing
    "In Feld 14 muss der Name der Entnahmestelle angegeben werden.", // SamplingPointNameMissing
    "In Feld 16 muss der Kode der Probennahmestelle angegeben werden.", // SamplingPointCodeMissing
    "In Feld 17 fehlt die Stra\xDF"
    "e bzw. Hausnummer der Entnahmestelle.", // SamplingPointStreetMissing
    "Die PLZ '$' in Feld 18 fehlt oder ist ung\xFCltig.", // PostcodeInvalid
    "In Feld 19 fehlt der Ort der Entnahmestelle.", // SamplingPointTownMissing
    "Feld 22 enth\xE4lt keine g\xFCltige Datums-/Zeitangabe ('$').", // SamplingDateInvalid
    "Feld 24 enth\xE4lt keine nach Anl. 2 g\xFCltige Kodierung des beprobten Objektes ('$').", // ObjectCodeInvalid
    "Die Zeile muss genau 32 Felder (Felder 1-32) enthalten.", // Header1FieldCountMismatch
    "Die Zeile muss genau 10 Felder (Felder 33-42) enthalten.", // Header2FieldCountMismatch
    "Die Versorgungsgebiets-ID in Feld 25 ('$') ist ung\xFCltig oder falsch zugeordnet.", // SupplyAreaIdInvalid
    "Die in Feld 27 angegebene Kodierung '$' zur Grenzwert\xFC"
    "berschreitung ist ung\xFCltig.", // LimitExceededCodeInvalid
    "Feld 28 enth\xE4lt keine g\xFCltige Kodierung des Probenahmeverfahrens ('$').", // SamplingProcedureInvalid
    "Feld 29 enth\xE4lt keine g\xFCltige Kodierung des Untersuchungsziels ('$').", // SamplingReasonInvalid
    "Feld 30 enth\xE4lt eine ung\xFCltige Datums-/Zeitangabe ('$').", // LabArrivalDateInvalid
    "Der in Feld 31 angegebene Laborschl\xFCssel '$' ist ung\xFCltig.", // LabKeyInvalid
    "In Feld 33 wird eine '2' erwartet.", // Field33MustBeTwo
    "In Feld 34 wird 'MATW' erwartet.", // Field34MustBeMatw
    "Die GA-Kodierung '$' in Feld 35 ist ung\xFCltig oder falsch zugeordnet.", // HealthOfficeCodeInvalid
    "Die Zeile muss genau 11 Felder (Felder 43-53) enthalten.", // ParameterLineFieldCountMismatch
    "In Feld 38 fehlt die genaue Bezeichnung der Entnahmestelle.", // SamplingPointDetailsMissing
    "Der in Feld 39 angegebene Datenfreigabe-Kode '$' ist ung\xFCltig.", // DataReleaseCodeInvalid
    "In Feld 43 wird eine '2' erwartet.", // Field43MustBeTwo
    "Der in Feld 44 angegebene Parameter-Kode '$' ist ung\xFCltig.", // ParameterCodeInvalid
    "Kode und Klartext des Parameters passen nicht zusammen: $.", // ParameterCodeTextMismatch
    "Kode und Einheit des Parameters passen nicht zusammen: $.", // ParameterCodeUnitMismatch
    "Der Parameter wurde weder in Feld 44 noch in Feld 45 angegeben.", // ParameterMissing
    "Der in Feld 48 angegebene Messwert '$' ist ung\xFCltig.", // MeasuredValueInvalid
    "Die in Feld 49 angegebene Beurteilung '$' ist ung\xFCltig.", // AssessmentInvalid
    "Das in Feld 51 angegebene Analysenverfahren '$' ist ung\xFCltig.", // AnalysisProcedureInvalid
    "Der in Feld 52 angegebene Laborschl\xFCssel '$' ist ung\xFCltig.", // ExaminingLabKeyInvalid
    "In Feld 53 ist die Angabe zur Ausnahmegenehmigung '$' ung\xFCltig (oder fehlt).", // ExemptionInvalid
    "Die Zeile muss genau 2 Felder enthalten.", // EndLineFieldCountMismatch
    "Die Anzahl der \xFC"
    "bermittelten Parameter stimmt nicht.", // ParameterCountMismatch
    "Das Datensatzende wurde unerwartet erreicht (Feld 55 fehlt).", // UnexpectedEndOfRecord
    "Die Versorgungsgebiets-ID '$' ist unbekannt.", // SupplyAreaUnknown
    "Das Versorgungsgebiet '$' liegt nicht im Gebiet des meldenden GA.", // SupplyAreaOutsideHealthOffice
    "Der Dateiname ist ung\xFCltig.", // FileNameInvalid
    "Die GA-Kennung '$' im Dateinamen ist ung\xFCltig.", // FileNameHealthOfficeInvalid
    "Die Software-Kennung '$' im Dateinamen ist ung\xFCltig.", // FileNameSoftwareInvalid
    "Die Datumsangabe '$' im Dateinamen ist ung\xFCltig.", // FileNameDateInvalid
    "Die Zeitangabe '$' im Dateinamen ist ung\xFCltig.", // FileNameTimeInvalid
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

void AddMessage(TSamplingData& data, std::int32_t line, ECheckMessage code)
{
    AppendMessage(data, line, static_cast<std::uint8_t>(code), nullptr);
}

void AddMessageWithValue(TSamplingData& data, std::int32_t line, ECheckMessage code, std::string_view value)
{
    AppendMessage(data, line, static_cast<std::uint8_t>(code), &value);
}
