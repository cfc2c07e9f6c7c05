#pragma once

#include "StyledWorkbook.h"

#include <cstdint>
#include <cstdio>
#include <string>

// The rows of a styled sheet kept in a nameless file beside the workbook's
// target as they come, so that their number costs no memory. Throws
// EOutputError when the file cannot be written or read.
class TScratchRows : public TStyledWorkbook::TRowSource {
public:
    explicit TScratchRows(const std::string& target);
    ~TScratchRows() override;
    TScratchRows(const TScratchRows&) = delete;
    TScratchRows& operator=(const TScratchRows&) = delete;

    void Add(const TStyledWorkbook::TRow& row);
    std::uint64_t Count() const { return FCount; }

    void Rewind() override;
    bool Next(TStyledWorkbook::TRow& row) override;

private:
    [[noreturn]] void Fail() const;

    std::string FShown;
    std::FILE* FFile = nullptr;
    std::string FBytes; // a row as it is kept
    std::uint64_t FCount = 0;
    bool FWriting = true;
};
