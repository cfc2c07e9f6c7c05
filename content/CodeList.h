#pragma once

#include "ListChecks.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
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
    // The lines of code, nullptr when the list lacks it.
    const std::vector<TParameter>* FindParameter(std::string_view code) const;
    // Whether a line's text or unit allows the file's value (not empty).
    static bool TextMatches(std::string_view listed, std::string_view value);

    // Feld25.txt: the health offices whose area the supply area id spans,
    // nullptr when the list lacks it.
    const std::vector<std::string>* FindSupplyArea(std::string_view id) const;

private:
    struct THash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    template <class T>
    using TMap = std::unordered_map<std::string, T, THash, std::equal_to<>>;

    void AddLine(std::string_view line, std::int64_t number, const std::string& path);
    // The value as entries are keyed; a view of value itself where nothing
    // changes, else of a buffer of the calling thread's.
    static std::string_view Key(std::string_view value, bool foldCase);
    // key in a buffer of the calling thread's.
    static const std::string& Owned(std::string_view key);

    ECodeListKind FKind = ECodeListKind::Codes;
    std::size_t FEntries = 0;
    std::unordered_set<std::string, THash, std::equal_to<>> FValues;
    TMap<std::vector<TParameter>> FParameters;
    TMap<std::vector<std::string>> FSupplyAreas;
};
