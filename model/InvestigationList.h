#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "FileText.h"

// The examinations of one loaded transfer file. The file is kept as one
// shared text; an examination is a range of it plus, per line that gave
// fields, where the line starts and which entry its first field is. A field
// is cut out of its line only when asked for, so a file of a million
// parameter lines costs a few bytes per line, not a string per field.
class TInvestigationList {
public:
    // Reads the file and cuts it into examinations, a piece of pieceSize bytes
    // at a time as it comes in; replaces what was loaded. Throws
    // EFileOpenError when the file cannot be read (nothing is loaded then).
    // A stop requested from another thread ends the load early, with nothing loaded.
    static constexpr std::size_t DefaultPieceSize = 1 << 20;
    void Load(const std::string& path, std::stop_token stop = {}, std::size_t pieceSize = DefaultPieceSize);
    void Clear();

    int Count() const { return static_cast<int>(FInvestigations.size()); }

    // Entry `entry` (field number - 1) of examination `investigation`, trimmed;
    // empty for an examination or entry that does not exist.
    std::string_view Field(int investigation, int entry) const;
    // Several entries at once: out[i] is Field(investigation, entries[i]).
    void Fields(int investigation, std::span<const int> entries, std::span<std::string_view> out) const;
    // Find as you type reads the beginnings of a few entries of every
    // examination; they are kept at load (set the entries, ascending, before
    // Load), so that a search need not touch the file's text.
    static constexpr std::size_t KeyBytes = 8;
    void SetKeyEntries(std::vector<int> entries) { FKeyEntries = std::move(entries); }
    const std::vector<int>& KeyEntries() const { return FKeyEntries; }
    // The first KeyBytes bytes of entry KeyEntries()[column], trimmed, padded
    // with NUL bytes (no field holds one).
    const char* Key(int investigation, std::size_t column) const
    {
        return FKeys.data() + (static_cast<std::size_t>(investigation) * FKeyEntries.size() + column) * KeyBytes;
    }
    // Number of entries in the examination's field list (0 if it does not exist).
    int FieldCount(int investigation) const;
    // 0-based index of the examination's first line in the file (0 if it does not exist).
    int64_t FirstLineIndex(int investigation) const;
    // Parameter lines the field list holds room for; never negative.
    int ParameterCount(int investigation) const;

private:
    struct TLineRef {
        uint32_t Offset; // from the examination's start
        uint32_t FirstEntry; // entry of the line's first field
    };
    struct TInvestigation {
        std::size_t Start; // offset of its first line in the text
        std::size_t FirstLineRef; // into FLineRefs
        int64_t FirstLineIndex;
        uint32_t LineRefCount;
        uint32_t FieldCount;
    };

    class TBuilder;
    void KeepKeys(std::string_view line, uint32_t firstEntry, std::size_t investigation);

    TFileText FText;
    std::vector<TLineRef> FLineRefs;
    std::vector<TInvestigation> FInvestigations;
    std::vector<int> FKeyEntries;
    std::vector<char> FKeys;
};
