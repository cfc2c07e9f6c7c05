#pragma once

#include "BufferedTable.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// JSON Lines: one object per examination with file, number, firstLine, fields
// ("1" to "42") and parameters, each with its line and fields "43" to "53".
class TJsonLinesTable : public TBufferedTable {
public:
    using TBufferedTable::TBufferedTable;
    std::unique_ptr<TPartSink> Continuation(TOutput& output, std::size_t flushSize) const override;
    void BeginInvestigation(const TWalkInvestigation& investigation) override;
    void Parameter(const TWalkInvestigation& investigation, std::int64_t line, const TParameterFields& fields) override;
    void EndInvestigation(const TWalkInvestigation& investigation, std::int64_t parameterCount) override;

    void BeginFile(std::string_view path) override;

private:
    std::string FHead; // {"file":"...","number":
    bool FFirstParameter = true;
};
