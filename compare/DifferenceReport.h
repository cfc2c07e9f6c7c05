#pragma once

#include "Comparison.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A comparison as people and programs read it; all texts UTF-8.

// "Untersuchung neu", "Feld geändert", ...: the kind as the report and the window name it.
std::string_view KindText(EDifference kind);
// "examinationAdded", ...: the kind for scripts.
std::string_view KindId(EDifference kind);
// 31=„L-17“, 3=„P 4711“
std::string KeyText(const TInvestigationKey& key);
// The key, and where it changed the old one: 31=„L-17“, 3=„P 4711“ (vorher 31=„L-17“, 5=„“)
std::string KeyWithOldText(const TDifference& d);
// The field as the window and the export name it: "Analyse-Daten U-Wert (48)".
std::string FieldName(int field);
// "2 Untersuchungen neu, 1 entfallen, 5 geändert, 120 gleich"
std::string SummaryText(const TComparison& comparison);
// The note on a key that a file holds more than once; empty when none does.
std::string RepeatedKeyNote(const TComparison& comparison);
// The note on a key held too often to pair by differences; empty when none was.
std::string BoundedKeyNote(const TComparison& comparison);
// "Zeile 12 alt, Zeile 15 neu", "Zeile 40 neu", ...
std::string LinesText(const TDifference& d);
// What changed, in one line without the key: "Feld 48 Analyse-Daten U-Wert (48): „5,1“ → „5,3“".
std::string ChangeText(const TDifference& d);

// The whole text report: the summary, the notes, then each difference.
std::string ComparisonText(const TComparison& comparison);
// Its parts, for a report written as the differences come: the summary with
// the notes, then each difference, previous the one before it (or null).
std::string ComparisonHeadText(const TComparison& comparison);
std::string DifferenceText(const TDifference& d, const TDifference* previous);
// One JSON object per difference, without the final newline.
std::string DifferenceJsonLine(const TDifference& d);
// The columns of a difference, as the workbook heads them. The CSV gives the
// old key inside the key's cell and has no column of its own for it.
constexpr std::array<std::string_view, 11> DifferenceHeadings{
    "Art", "Schlüssel", "Schlüssel alt", "Zeile alt", "Zeile neu", "Feld", "Name", "Alt", "Neu", "Param.-ID", "Param.-Text"};
constexpr std::size_t OldKeyColumn = 2;
// A line or field number as a cell: empty for none (0).
std::string NumberCellText(std::int64_t number);
// CSV as morvask-export writes it: the heading, then one row per difference, each ending in LF.
std::string DifferenceCsvHeading();
std::string DifferenceCsvRow(const TDifference& d);
