#pragma once

#include "CheckMessages.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Which code list judges which field, and with which messages. A list is a
// file "Feld<N>.txt" in the folder of the lists.

enum class ECodeListKind : std::uint8_t {
    Codes, // codes, compared exactly
    Texts, // texts, compared without regard to case
    Parameters, // Feld44.txt: "Kode|Klartext|Einheit"
    SupplyAreas, // Feld25.txt: "ID|GA-Kodierung", an ID on one line per health office
};

struct TListCheck {
    int Field; // the field the list judges, and its file's number
    ECodeListKind Kind;
    std::string_view Subject; // what the field holds, German, Windows-1252
    std::span<const ECheckMessage> Messages; // what the list's checks add
};

// Every list, by field number.
std::span<const TListCheck> ListChecks();

// The list that judges field, or nullptr.
const TListCheck* ListCheckOf(int field);

// "Feld24.txt": the file name of the list of field.
std::string ListFileName(int field);

// The fields whose rules need no list, in field order: 3, 5 (interface 2
// only), 14, 16, 17, 18, 19, 22, 30, 38, and 44 with 45.
std::span<const int> FieldsWithoutList();
