#pragma once

#include "BlockGrammar.h"
#include "CodeLists.h"
#include "ContentFinding.h"
#include "ContentLine.h"
#include "Lines.h"
#include "VerdictCache.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The content check of one transfer file: fed the same bytes as the structure
// check, in chunks of any size, it cuts them with the one line cutter, walks
// them with the one block walk under the check's rules, and judges the fields
// of header lines and parameter lines by the rules that need no list and by
// the lists given. Memory grows with the findings only.
//
// Its findings mean something only for a file that passes the structure
// check: the caller drops them otherwise (see ContentFileCheck.h).
class TContentCheck {
public:
    // interfaceKind: the file name's verdict (field 5 is required in interface 2 only).
    TContentCheck(const TCodeLists& lists, std::int32_t interfaceKind);

    void Feed(const char* bytes, std::size_t count)
    {
        FCutter.Feed(bytes, count);
        FLine.Keep();
    }
    // True once a NUL has ended the text: later bytes are ignored.
    bool Ended() const { return FCutter.Ended(); }
    // Call once after the last chunk.
    void Finish();

    // The findings in file order; complete after Finish.
    const std::vector<TContentFinding>& Findings() const { return FFindings; }
    std::vector<TContentFinding> TakeFindings() { return std::move(FFindings); }

    // What the line cutter calls.
    void BeginLine(const char* at);
    void LineBytes(const char* p, std::size_t n, std::uint64_t separators)
    {
        FLine.Add(p, n, separators);
    }
    void EndLine() { FPending = true; }

    // What the block walk calls.
    void BlockLine(EBlockLine role, const TContentLine& line, std::int64_t number);

private:
    void Header1(const TContentLine& line, std::int32_t number);
    void Header2(const TContentLine& line, std::int32_t number);
    void Parameter(const TContentLine& line, std::int32_t number);
    void MeasuredValue(const TContentLine& line, std::int32_t number);
    // Judges field 25 against the health office of field 35 (empty when the
    // examination has no header line 2) and hands on header line 1's findings.
    void CloseHeader1(std::string_view healthOffice);

    void Add(std::vector<TContentFinding>& to, ECheckMessage code, int field, std::int32_t line, std::string_view value);
    void Required(std::vector<TContentFinding>& to, const TContentLine& line, int field, ECheckMessage code, std::int32_t number);
    void Listed(std::vector<TContentFinding>& to, const TContentLine& line, int field, ECheckMessage code, std::int32_t number);
    // A value as it fills "$": cut ones marked as such.
    std::string_view Shown(const TContentLine& line, int index);

    const TCodeLists& FLists;
    std::int32_t FInterfaceKind;
    TContentLine FLine;
    bool FPending = false; // FLine holds a finished line not yet walked
    TLineCutter<TContentCheck> FCutter;
    TBlockWalk<TContentCheck> FWalk;

    std::vector<TContentFinding> FFindings;
    std::int32_t FInvestigation = 0;
    std::int32_t FInvestigationLine = 0;
    std::int32_t FParameter = -1;
    // Header line 1 waits for header line 2, whose field 35 judges field 25.
    bool FHeader1Open = false;
    std::vector<TContentFinding> FHeader1Findings;
    std::string FSupplyArea;
    bool FSupplyAreaOverlong = false;
    std::string FShown;
    // Parameter lines whose fields but the measured value passed before.
    TVerdictCache FPassedParameters;
    // Whether a list judges a parameter field other than the measured value.
    bool FParameterLists;
};
