#include "ListChecks.h"

#include <algorithm>
#include <array>

namespace {

using M = ECheckMessage;

constexpr std::array ObjectMessages{M::ObjectCodeInvalid};
constexpr std::array SupplyAreaMessages{M::SupplyAreaIdInvalid, M::SupplyAreaUnknown, M::SupplyAreaOutsideHealthOffice};
constexpr std::array LimitMessages{M::LimitExceededCodeInvalid};
constexpr std::array ProcedureMessages{M::SamplingProcedureInvalid};
constexpr std::array ReasonMessages{M::SamplingReasonInvalid};
constexpr std::array LabMessages{M::LabKeyInvalid};
constexpr std::array HealthOfficeMessages{M::HealthOfficeCodeInvalid};
constexpr std::array ReleaseMessages{M::DataReleaseCodeInvalid};
constexpr std::array ParameterMessages{M::ParameterCodeInvalid, M::ParameterCodeTextMismatch, M::ParameterCodeUnitMismatch};
constexpr std::array ValueMessages{M::MeasuredValueInvalid};
constexpr std::array AssessmentMessages{M::AssessmentInvalid};
constexpr std::array AnalysisMessages{M::AnalysisProcedureInvalid};
constexpr std::array ExaminingLabMessages{M::ExaminingLabKeyInvalid};
constexpr std::array ExemptionMessages{M::ExemptionInvalid};

// Codes are compared exactly; what people write as words (a measured value's
// text, an assessment, an exemption) without regard to case.
const TListCheck Checks[] = {
    {24, ECodeListKind::Codes, "Kodierung des beprobten Objektes", ObjectMessages},
    {25, ECodeListKind::SupplyAreas, "Versorgungsgebiets-ID", SupplyAreaMessages},
    {27, ECodeListKind::Codes, "Kodierung zur Grenzwert\xFC"
                               "berschreitung",
     LimitMessages},
    {28, ECodeListKind::Codes, "Kodierung des Probenahmeverfahrens", ProcedureMessages},
    {29, ECodeListKind::Codes, "Kodierung des Untersuchungsziels", ReasonMessages},
    {31, ECodeListKind::Codes, "Laborschl\xFCssel", LabMessages},
    {35, ECodeListKind::Codes, "GA-Kodierung", HealthOfficeMessages},
    {39, ECodeListKind::Codes, "Datenfreigabe-Kode", ReleaseMessages},
    {44, ECodeListKind::Parameters, "Parameter-Kode mit Klartext und Einheit", ParameterMessages},
    {48, ECodeListKind::Texts, "Messwert", ValueMessages},
    {49, ECodeListKind::Texts, "Beurteilung", AssessmentMessages},
    {51, ECodeListKind::Codes, "Analysenverfahren", AnalysisMessages},
    {52, ECodeListKind::Codes, "Laborschl\xFCssel der Untersuchungsstelle", ExaminingLabMessages},
    {53, ECodeListKind::Texts, "Angabe zur Ausnahmegenehmigung", ExemptionMessages},
};

constexpr int WithoutList[] = {3, 5, 14, 16, 17, 18, 19, 22, 30, 38, 44, 45};

} // namespace

std::span<const TListCheck> ListChecks() { return Checks; }

const TListCheck* ListCheckOf(int field)
{
    const auto it = std::find_if(std::begin(Checks), std::end(Checks), [field](const TListCheck& c) { return c.Field == field; });
    return it == std::end(Checks) ? nullptr : &*it;
}

std::string ListFileName(int field) { return "Feld" + std::to_string(field) + ".txt"; }

std::span<const int> FieldsWithoutList() { return WithoutList; }
