#pragma once

#include "KeyTable.h"
#include "ListChecks.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One code list: a plain text file, one entry per line, columns separated by
// "|"; blank lines and lines whose first character is "#" are ignored. The
// file may be UTF-8 or Windows-1252, told apart by its content; entries are
// kept in Windows-1252, as transfer files carry them. Entries compare
// trimmed, with runs of blanks as one blank: codes exactly, texts and units
// without regard to case. A plain list judges its first column; the columns
// behind it are notes for people.
class TCodeList {
public:
    // Lines longer than this, and files larger than MaxFileSize, are refused:
    // no list of this exchange comes near either.
    static constexpr std::size_t MaxLineLength = 4096;
    static constexpr std::uint64_t MaxFileSize = 64u * 1024 * 1024;

    TCodeList() = default;

    // Reads the list at path (UTF-8 on Windows, the system's bytes on Linux).
    // Throws ECodeListError, with the line where one is at fault.
    static TCodeList Read(const std::string& path, ECodeListKind kind);
    // The same for bytes already read; path names the list in errors.
    static TCodeList Parse(std::string_view bytes, const std::string& path, ECodeListKind kind);

    ECodeListKind Kind() const { return FKind; }
    // The entry lines read.
    std::size_t Entries() const { return FEntries; }

    // A plain list (codes or texts): whether the trimmed value is on it.
    bool Contains(std::string_view value) const;

    // Feld44.txt: one line of a parameter code; an empty text or unit means any.
    struct TParameter {
        std::string Text;
        std::string Unit;
    };
    // The lines of code, none when the list lacks it.
    std::span<const TParameter> FindParameter(std::string_view code) const;
    // Whether a line's text or unit allows the file's value (not empty).
    static bool TextMatches(std::string_view listed, std::string_view value);

    // Feld25.txt: the health offices whose area the supply area id spans,
    // none when the list lacks it.
    std::span<const std::string> FindSupplyArea(std::string_view id) const;

private:
    void AddLine(std::string_view line, std::int64_t number, const std::string& path);
    // The value as entries are keyed; a view of value itself where nothing
    // changes, else of a buffer of the calling thread's.
    static std::string_view Key(std::string_view value, bool foldCase);
    // The lines of each key next to each other, once every line is read.
    template <class T>
    static void Group(std::vector<std::pair<std::uint32_t, T>>& lines, std::size_t keys, std::vector<T>& grouped,
                      std::vector<std::uint32_t>& starts);

    ECodeListKind FKind = ECodeListKind::Codes;
    std::size_t FEntries = 0;
    TKeyTable FKeys;
    // The lines of key id are entries starts[id] to starts[id + 1] - 1.
    std::vector<TParameter> FParameters;
    std::vector<std::string> FOffices;
    std::vector<std::uint32_t> FStarts;
    // While reading: each line's key id and what it says of it.
    std::vector<std::pair<std::uint32_t, TParameter>> FParameterLines;
    std::vector<std::pair<std::uint32_t, std::string>> FOfficeLines;
};
