#pragma once

#include "SamplingData.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What changed between two transfer files, the earlier ("alt") and the later
// ("neu"). Examinations are matched by a key, parameters within a matched pair
// by their Param.-ID; line ends, blanks around fields and the order of
// examinations and parameters make no difference. Texts are Windows-1252.

// One field of an examination's key, by its number (1 to 42).
struct TKeyField {
    int Field = 0;
    std::string Value;
    bool operator==(const TKeyField&) const = default;
};
using TInvestigationKey = std::vector<TKeyField>;

enum class EDifference : std::uint8_t {
    InvestigationAdded, // only in the new file
    InvestigationRemoved, // only in the old file
    FieldChanged, // of an examination, or of a parameter where ParameterId is set
    ParameterAdded,
    ParameterRemoved,
};

struct TDifference {
    EDifference Kind = EDifference::FieldChanged;
    TInvestigationKey Key; // of the new file where both have the examination
    // The old file's key, only where it differs from Key: an examination
    // whose key field was filled in or corrected.
    TInvestigationKey OldKey;
    // The line of the changed field, of the parameter, or of the examination's
    // header line 1; 0 where the file does not have it.
    std::int64_t OldLine = 0;
    std::int64_t NewLine = 0;
    // Header line 1 of the examination in each file; 0 where it is absent.
    std::int64_t OldInvestigationLine = 0;
    std::int64_t NewInvestigationLine = 0;
    int Field = 0; // 1 to 53 for a changed field
    std::string Old;
    std::string New;
    bool IsParameter = false;
    std::string ParameterId; // field 44
    std::string ParameterText; // field 45, of the new file where both have it
    // How a person names the examination beside its key: the sampling point's
    // code (field 16) and the sampling time (field 22), of the new file where
    // both have it.
    std::string SamplingPoint;
    std::string SamplingTime;
};

// Fields 1 to 42 of an examination that changed, came or went, in each file
// that has it (empty where a file does not).
struct TInvestigationFields {
    TInvestigationKey Key;
    TInvestigationKey OldKey; // only where it differs from Key
    // Changed in its parameters alone: fields 1 to 42 are the same.
    bool ParametersOnly = false;
    std::int64_t OldLine = 0;
    std::int64_t NewLine = 0;
    std::vector<std::string> Old;
    std::vector<std::string> New;
};

struct TComparison {
    // Both checks as the viewer makes them. Only files without findings are compared.
    TSamplingData OldCheck;
    TSamplingData NewCheck;
    bool Compared = false;
    // Without a sink: the differences in the order a sink hears them.
    std::vector<TDifference> Differences;
    std::int64_t Added = 0;
    std::int64_t Removed = 0;
    std::int64_t Changed = 0;
    std::int64_t Same = 0;
    // The first key that a file holds more than once; such examinations are
    // paired by their fewest differences.
    std::optional<TInvestigationKey> RepeatedKey;
    // The first key whose examinations were too many to pair by their
    // differences, and were paired in order of occurrence instead.
    std::optional<TInvestigationKey> BoundedKey;
    // With TCompareOptions::KeepFields: the examinations that differ, in the order of Differences.
    std::vector<TInvestigationFields> Investigations;

    bool HasDifferences() const { return Added + Removed + Changed > 0; }
};

struct TCompareOptions {
    // The key's field numbers (1 to 42); empty: the laboratory's key (field
    // 31) with its sample id (field 3), or the health office's (field 5)
    // where field 3 is empty.
    std::vector<int> KeyFields;
    // Keep the master fields of every examination that differs (for a workbook).
    bool KeepFields = false;
};

constexpr int LastKeyField = 42;
// "3,31" into field numbers 1 to LastKeyField, each once; nothing when the
// list is no such list.
std::optional<std::vector<int>> ParseKeyFields(std::string_view list);
// Examinations of one key, or parameters of one Param.-ID, that are not the
// same on both sides, beyond which (on either side) they are paired in order
// of occurrence instead of by their fewest differences, which costs the
// square of their number.
constexpr int PairingBound = 64;

// Hears the differences as they are found, so that their number costs no
// memory: each examination's differences together, the new file's
// examinations in its order, then those gone from the old one. With
// KeepFields, Investigation follows the last difference of its examination.
class TDifferenceSink {
public:
    virtual ~TDifferenceSink() = default;
    // Once both files are paired, before the first difference: the counts,
    // RepeatedKey and BoundedKey are known, so that a report can begin with them.
    virtual void Counted(const TComparison&) { }
    virtual void Difference(const TDifference& d) = 0;
    virtual void Investigation(const TInvestigationFields&) { }
};

// Checks both files and, when both pass, compares them, handing each
// difference to sink; Differences and Investigations stay empty. Throws
// EFileOpenError when a file cannot be read.
TComparison CompareTransferFiles(const std::string& oldPath, const std::string& newPath, const TCompareOptions& options,
                                 TDifferenceSink& sink);
// The same, keeping the differences in the result.
TComparison CompareTransferFiles(const std::string& oldPath, const std::string& newPath, const TCompareOptions& options = {});
