#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "InvestigationIndex.h"

// The examinations of one loaded transfer file as the window shows them: the
// whole-file index under the viewer's rules, with the file's text kept. A
// field is cut out of its line only when asked for, so a file of a million
// parameter lines costs a few bytes per line, not a string per field. A file
// without examinations shows one examination without data.
class TInvestigationList {
public:
    // Reads the file and cuts it into examinations, a piece of pieceSize bytes
    // at a time as it comes in; replaces what was loaded. Throws
    // EFileOpenError when the file cannot be read (nothing is loaded then).
    // A stop requested from another thread ends the load early, with nothing loaded.
    static constexpr std::size_t DefaultPieceSize = 1 << 20;
    void Load(const std::string& path, std::stop_token stop = {}, std::size_t pieceSize = DefaultPieceSize);
    void Clear();

    int Count() const { return FCount; }

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
    uint32_t KeysUpTo() const;
    void KeepKeys(std::string_view line, std::span<const uint32_t> separators, uint32_t firstEntry, std::size_t investigation);

    TInvestigationIndex FIndex;
    int FCount = 0;
    std::vector<int> FKeyEntries;
    std::vector<char> FKeys;
};
