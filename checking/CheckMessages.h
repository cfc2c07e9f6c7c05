#pragma once

#include "SamplingData.h"

#include <cstdint>
#include <string_view>

constexpr int CheckMessageCount = 45;

// The codes of the check messages, in table order: the code is the index.
enum class ECheckMessage : std::uint8_t {
    Field1MustBeOne, // 0
    Field2MustBeFinalResult, // 1
    LabSampleIdMissing, // 2
    HealthOfficeSampleIdMissing, // 3
    SamplingPointNameMissing, // 4
    SamplingPointCodeMissing, // 5
    SamplingPointStreetMissing, // 6
    PostcodeInvalid, // 7
    SamplingPointTownMissing, // 8
    SamplingDateInvalid, // 9
    ObjectCodeInvalid, // 10
    Header1FieldCountMismatch, // 11
    Header2FieldCountMismatch, // 12
    SupplyAreaIdInvalid, // 13
    LimitExceededCodeInvalid, // 14
    SamplingProcedureInvalid, // 15
    SamplingReasonInvalid, // 16
    LabArrivalDateInvalid, // 17
    LabKeyInvalid, // 18
    Field33MustBeTwo, // 19
    Field34MustBeMatw, // 20
    HealthOfficeCodeInvalid, // 21
    ParameterLineFieldCountMismatch, // 22
    SamplingPointDetailsMissing, // 23
    DataReleaseCodeInvalid, // 24
    Field43MustBeTwo, // 25
    ParameterCodeInvalid, // 26
    ParameterCodeTextMismatch, // 27
    ParameterCodeUnitMismatch, // 28
    ParameterMissing, // 29
    MeasuredValueInvalid, // 30
    AssessmentInvalid, // 31
    AnalysisProcedureInvalid, // 32
    ExaminingLabKeyInvalid, // 33
    ExemptionInvalid, // 34
    EndLineFieldCountMismatch, // 35
    ParameterCountMismatch, // 36
    UnexpectedEndOfRecord, // 37
    SupplyAreaUnknown, // 38
    SupplyAreaOutsideHealthOffice, // 39
    FileNameInvalid, // 40
    FileNameHealthOfficeInvalid, // 41
    FileNameSoftwareInvalid, // 42
    FileNameDateInvalid, // 43
    FileNameTimeInvalid, // 44
};
static_assert(static_cast<int>(ECheckMessage::FileNameTimeInvalid) + 1 == CheckMessageCount);

// The 45 German check messages as Windows-1252 bytes, indexed by ECheckMessage.
// Some hold one "$" that AddMessageWithValue fills.
extern const char* const CheckMessages[CheckMessageCount];

// Appends the message line for code (prefixed "       Zeile %3d: " unless
// line is 0) and CR LF to MessageText and counts it.
void AddMessage(TSamplingData& data, std::int32_t line, ECheckMessage code);

// As AddMessage, with the first "$" of the line replaced by value; a value for
// a text without "$" is dropped.
void AddMessageWithValue(TSamplingData& data, std::int32_t line, ECheckMessage code, std::string_view value);
