#pragma once

#include "SamplingData.h"

#include <cstdint>
#include <ostream>
#include <utility>
#include <vector>

// (line, message index) pairs in the order the check added them.
using TFindings = std::vector<std::pair<std::int32_t, int>>;

inline TFindings FindingsOf(const TSamplingData& data)
{
    TFindings findings;
    for (const TCheckMessage& m : data.Messages)
        findings.emplace_back(m.Line, m.Code);
    return findings;
}

// Everything a check run reports, for comparing two runs at once.
struct TVerdict {
    std::int32_t InvestigationCount;
    std::int32_t ParameterCount;
    std::int32_t LineCount;
    std::int32_t MessageCount;
    std::string MessageText;
    TFindings Findings;
    bool operator==(const TVerdict&) const = default;
};

inline TVerdict VerdictOf(const TSamplingData& d)
{
    return {d.InvestigationCount, d.ParameterCount, d.LineCount, d.MessageCount, d.MessageText, FindingsOf(d)};
}

inline std::ostream& operator<<(std::ostream& out, const TVerdict& v)
{
    out << "{investigations " << v.InvestigationCount << ", parameters " << v.ParameterCount << ", lines "
        << v.LineCount << ", messages " << v.MessageCount << ":";
    for (const auto& [line, code] : v.Findings)
        out << " " << code << "@" << line;
    return out << "}";
}
