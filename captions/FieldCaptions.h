#pragma once

#include <array>
#include <string>
#include <string_view>

// What the main window calls each field of a transfer file: the title of the
// block that shows it and the caption beside its value box, or for a parameter
// field the heading of its analysis-grid column. Derived from the window's
// layout when building, so the window, the export and screen-reader names
// cannot drift apart. All texts are UTF-8; none carries a colon.

struct TFieldCaption {
    bool Shown = false; // the window shows the field (value box or grid column)
    std::string_view Block; // "Entnahmestelle"; empty when not shown
    std::string_view Caption; // "Kurzbez."; empty when not shown
};

constexpr int FirstFieldNumber = 1;
constexpr int LastFieldNumber = 55;

// Field N (1..55); any other number gives a field that is not shown.
const TFieldCaption& FieldCaption(int field);

// A column name for field N: block, caption and number, as in
// "Entnahmestelle Kurzbez. (16)", or "Feld N" for a field the window does not show.
std::string FieldHeading(int field);

// One column of the window's two grids: its two header rows and the field it
// shows (0 for the running number and the line number).
struct TGridColumn {
    std::string_view Heading;
    std::string_view Second;
    int Field;
};

constexpr int ObjectListColumnCount = 6;
constexpr int SampleColumnCount = 10;

// The examination list: number, then fields 3, 14, 22, 25 and 35.
const std::array<TGridColumn, ObjectListColumnCount>& ObjectListColumns();
// The analysis grid: number, line number, then fields 44, 45, 48, 50, 49, 51,
// 52 and 53 of each parameter line, as numbered for the first one.
const std::array<TGridColumn, SampleColumnCount>& SampleColumns();
