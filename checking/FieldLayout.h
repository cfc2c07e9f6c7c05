#pragma once

#include <array>
#include <string_view>

// Where the fields of an examination block stand. Field numbers count from 1
// across the lines of a block; every parameter line holds fields 43 to 53. In
// an examination's field list (header lines and parameter lines, in file
// order) field N is entry N - 1, and parameter k (from 0) adds 11 * k.
namespace FieldLayout {

struct TLineLayout {
    int FirstField; // number of the line's first field
    int FieldCount; // fields the line must give
};

constexpr TLineLayout Header1{1, 32};
constexpr TLineLayout Header2{33, 10};
constexpr TLineLayout Parameter{43, 11};
constexpr TLineLayout End{54, 2};

// The two header lines come first in a block and in its field list.
constexpr int HeaderLines = 2;
constexpr int HeaderEntries = Header1.FieldCount + Header2.FieldCount;
constexpr int ParameterEntries = Parameter.FieldCount;

// Field 55, on the end line: the number of parameter lines of the block.
constexpr int ParameterCountField = 55;

constexpr int Entry(int field) { return field - 1; }
// Entry of field (43 to 53) of parameter k, counted from 0.
constexpr int ParameterEntry(int field, int k) { return Entry(field) + ParameterEntries * k; }

// The fixed codes. The first field of every line names its kind; the second
// fields of the header lines are compared after upper-casing a to z.
constexpr std::string_view Header1Kind = "1";
constexpr std::string_view FinalResult = "E";
constexpr std::string_view Header2Kind = "2";
constexpr std::string_view Material = "MATW";
constexpr std::string_view ParameterKind = "2";
constexpr std::string_view EndKind = "3";

static_assert(Header2.FirstField == Header1.FirstField + Header1.FieldCount);
static_assert(Parameter.FirstField == Header2.FirstField + Header2.FieldCount);
static_assert(End.FirstField == Parameter.FirstField + Parameter.FieldCount);
static_assert(ParameterCountField == End.FirstField + 1);

} // namespace FieldLayout

// The trimmed fields 43 to 53 of one parameter line, in order.
using TParameterFields = std::array<std::string_view, FieldLayout::ParameterEntries>;
