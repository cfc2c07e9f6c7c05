#pragma once

#include "FieldLayout.h"
#include "Fields.h"
#include "LineFacts.h"

#include <cstdint>
#include <string_view>

// The grammar of examinations: which line of a transfer file is header line 1,
// header line 2, a parameter line or the end line of an examination, and which
// lines belong to none. Every reader of examinations goes through this one
// walk: the check, the whole-file index (the viewer's list, the comparison),
// the export's streaming walk and its search for where to cut a file. How an
// examination is delimited is changed here.
//
// An examination is header line 1, header line 2, then parameter lines up to
// its end line. The line after an end line begins the next examination. A line
// is known as an end line by the rules' end rule; the check's rule is "its first
// field, trimmed, is 3". Whether a line is the file's last line matters:
// - the single line behind the last complete examination begins nothing;
// - a header line that is the file's last line is what TBlockRules::LastHeader says.

enum class EBlockLine : std::uint8_t {
    Header1,
    Header2,
    Parameter,
    End,
    // Only under ELastHeader::AsShown: an end line in the place of header line 2
    // as the file's last line. It stands as header line 2 and ends the
    // examination, which has no parameters.
    EndAsHeader2,
    // No examination's line: behind the last examination, or before the first
    // end line of a walk that begins inside a file.
    Outside,
};

struct TBlockRules {
    enum class EEnd : std::uint8_t {
        FirstField, // its first field, trimmed, is "3"
        FirstByte, // its very first byte is "3", whatever follows
    };
    enum class ELastHeader : std::uint8_t {
        // Read as a parameter line or end line of its examination.
        ParameterStep,
        // As the window shows it: header line 1 begins nothing (Outside),
        // header line 2 stays header line 2 (EndAsHeader2 when it is an end line).
        AsShown,
    };

    EEnd End = EEnd::FirstField;
    // A blank line (bytes 0 to 32 only) right after an end line ends the
    // examinations: it and every line behind it are Outside.
    bool BlankLineStops = false;
    ELastHeader LastHeader = ELastHeader::ParameterStep;
};

namespace BlockRules {
// The structure check.
constexpr TBlockRules Check{};
// The viewer's list, and the comparison, whose examinations are the window's:
// the first byte tells an end line, and a blank line after one ends the
// file's examinations, as the window always showed them.
constexpr TBlockRules Viewer{TBlockRules::EEnd::FirstByte, true, TBlockRules::ELastHeader::AsShown};
// The export, which walks files that passed the check and shows their
// examinations as the window does.
constexpr TBlockRules Export{TBlockRules::EEnd::FirstField, false, TBlockRules::ELastHeader::AsShown};
} // namespace BlockRules

// Whether a line is an end line, by the rules' end rule. The first-field rule
// without a search: blanks, "3", blanks, then "|" or the line's end.
inline bool IsEndLine(std::string_view line, const TBlockRules& rules)
{
    static_assert(FieldLayout::EndKind.size() == 1);
    const char end = FieldLayout::EndKind.front();
    if (rules.End == TBlockRules::EEnd::FirstByte)
        return !line.empty() && line.front() == end;
    std::size_t i = 0;
    while (i < line.size() && IsTrimmed(line[i]))
        ++i;
    if (i == line.size() || line[i] != end)
        return false;
    for (++i; i < line.size() && line[i] != FieldSeparator; ++i) {
        if (!IsTrimmed(line[i]))
            return false;
    }
    return true;
}
// The same for a line the check has reduced to its facts (first-field rule only).
inline bool IsEndLine(const TLineFacts& line, const TBlockRules&) { return line.First.Equals(FieldLayout::EndKind); }

inline bool IsBlankLine(std::string_view line) { return TrimField(line).empty(); }
inline bool IsBlankLine(const TLineFacts&) { return false; } // the check has no blank-line rule

// The state of the grammar between lines.
class TBlockGrammar {
public:
    constexpr explicit TBlockGrammar(const TBlockRules& rules) : FRules(rules) { }

    // A walk that begins somewhere inside a file, maybe inside an examination:
    // lines are Outside up to the first end line, and the line after it begins
    // an examination.
    static constexpr TBlockGrammar MidFile(const TBlockRules& rules)
    {
        TBlockGrammar grammar(rules);
        grammar.FStep = EStep::Searching;
        return grammar;
    }

    const TBlockRules& Rules() const { return FRules; }

    // The role of the next line. blank is asked only under BlankLineStops.
    EBlockLine Next(bool isEnd, bool blank, bool isLast)
    {
        // Most lines are parameter lines: they skip the switch.
        if (FStep == EStep::Parameters && !isEnd)
            return EBlockLine::Parameter;
        switch (FStep) {
        case EStep::Done:
            return EBlockLine::Outside;
        case EStep::Searching:
            if (isEnd)
                FStep = EStep::BetweenBlocks;
            return EBlockLine::Outside;
        case EStep::BetweenBlocks:
            if (isLast || (FRules.BlankLineStops && blank)) {
                FStep = EStep::Done;
                return EBlockLine::Outside;
            }
            FStep = EStep::Header1;
            [[fallthrough]];
        case EStep::Header1:
            if (!isLast) {
                FStep = EStep::Header2;
                return EBlockLine::Header1;
            }
            if (FRules.LastHeader == TBlockRules::ELastHeader::AsShown) {
                FStep = EStep::Done;
                return EBlockLine::Outside;
            }
            return ParameterOrEnd(isEnd, isLast);
        case EStep::Header2:
            if (!isLast) {
                FStep = EStep::Parameters;
                return EBlockLine::Header2;
            }
            if (FRules.LastHeader == TBlockRules::ELastHeader::AsShown) {
                FStep = isEnd ? EStep::Done : EStep::Parameters;
                return isEnd ? EBlockLine::EndAsHeader2 : EBlockLine::Header2;
            }
            [[fallthrough]];
        case EStep::Parameters:
            return ParameterOrEnd(isEnd, isLast);
        }
        return EBlockLine::Outside;
    }

    // No end line closed what was begun: an examination is open, or none was
    // begun in a walk from a file's start (an empty file).
    bool Open() const { return FStep == EStep::Header1 || FStep == EStep::Header2 || FStep == EStep::Parameters; }
    // Both header lines are read and the end line is still missing.
    bool InParameters() const { return FStep == EStep::Parameters; }
    // The last line was an end line that another line follows.
    bool BetweenBlocks() const { return FStep == EStep::BetweenBlocks; }

private:
    enum class EStep : std::uint8_t { Header1,
                                      Header2,
                                      Parameters,
                                      BetweenBlocks,
                                      Searching,
                                      Done };

    EBlockLine ParameterOrEnd(bool isEnd, bool isLast)
    {
        if (!isEnd)
            return EBlockLine::Parameter;
        FStep = isLast ? EStep::Done : EStep::BetweenBlocks;
        return EBlockLine::End;
    }

    TBlockRules FRules;
    EStep FStep = EStep::Header1;
};

// The block walk: fed one line at a time, with whether it is the file's last
// line (the caller reads one line ahead), it numbers the line and tells the
// observer its role:
//   observer.BlockLine(EBlockLine role, const TLine& line, std::int64_t number)
// TLine is the caller's view of a line: its text (std::string_view) or the
// check's TLineFacts; where it begins in the file is the caller's to tell.
template <class TObserver>
class TBlockWalk {
public:
    // linesBefore: the lines of the file before the first one fed.
    TBlockWalk(TObserver& observer, TBlockGrammar grammar, std::int64_t linesBefore = 0)
        : FObserver(observer),
          FGrammar(grammar),
          FLine(linesBefore)
    {
    }

    template <class TLine>
    void OnLine(const TLine& line, bool isLast)
    {
        const TBlockRules& rules = FGrammar.Rules();
        const EBlockLine role = FGrammar.Next(IsEndLine(line, rules), rules.BlankLineStops && IsBlankLine(line), isLast);
        FObserver.BlockLine(role, line, ++FLine);
    }

    // The number of the last line fed.
    std::int64_t Lines() const { return FLine; }
    const TBlockGrammar& Grammar() const { return FGrammar; }

private:
    TObserver& FObserver;
    TBlockGrammar FGrammar;
    std::int64_t FLine;
};
