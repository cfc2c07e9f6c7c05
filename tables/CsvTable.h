#pragma once

#include "BufferedTable.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// RFC 4180: comma, double quotes around a field that holds a comma or a
// quote, LF after every row, UTF-8, a heading row first; nothing at all when
// no file is exported.
class TCsvTable : public TBufferedTable {
public:
    explicit TCsvTable(TOutput& output);
    void BeginFile(std::string_view path) override;
    std::unique_ptr<TPartSink> Continuation(TOutput& output, std::size_t flushSize) const override;
    void BeginInvestigation(const TWalkInvestigation& investigation) override;
    void Parameter(const TWalkInvestigation& investigation, std::int64_t line, const TParameterFields& fields) override;
    void EndInvestigation(const TWalkInvestigation& investigation, std::int64_t parameterCount) override;

private:
    TCsvTable(TOutput& output, std::size_t flushSize) : TBufferedTable(output, flushSize) { }
    void AppendHeading();

    bool FHeadingDue = false;
    std::string FFileCell;
    std::string FRowStart; // file, number, first line and master data of the examination, as CSV
};
