#pragma once

#include "ExportPlan.h"
#include "Progress.h"
#include "XlsxTable.h"

#include <cstdint>
#include <string>

// The rows the sheets of a workbook get from the files checked so far, counted
// before anything is written: a workbook that cannot hold them is refused at
// once instead of after minutes of writing.
class TWorkbookRows {
public:
    void Add(const TExportPlan& plan)
    {
        FParameters += plan.ParameterRows();
        FExaminations += plan.Examinations();
    }
    // Empty when both sheets hold their rows, else why not (UTF-8), for the
    // workbook shown.
    std::string Overflow(const std::string& shown) const;

private:
    std::int64_t FParameters = 0, FExaminations = 0;
};

// Walks the checked file at path into workbook and tells progress of every
// byte read. Throws as WalkInvestigations.
void WalkIntoWorkbook(const std::string& path, TXlsxTable& workbook, TProgress& progress);
