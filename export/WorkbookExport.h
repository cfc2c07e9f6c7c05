#pragma once

#include "ExportPlan.h"
#include "Progress.h"
#include "XlsxTable.h"

#include <cstdint>
#include <optional>
#include <string>

// A field too long for a cell, where the file holds it.
struct TLongField {
    std::int64_t Line = 0;
    int Field = 0; // 1 to 53
    std::uint64_t Chars = 0;
};

// What a workbook gets from the files checked so far, known before anything
// is written: the rows of its sheets, the width of each column, and at most
// how large each of its parts grows. A workbook that cannot hold it is refused
// at once instead of after minutes of writing.
class TWorkbookRows {
public:
    void Add(const TExportPlan& plan)
    {
        FParameters += plan.ParameterRows();
        FInvestigations += plan.Investigations();
    }
    // Walks the checked file at path for its column widths and text. A field
    // longer than a cell stops the walk and is returned; nothing of the file
    // counts then. Throws as WalkInvestigationsPart.
    std::optional<TLongField> Measure(const std::string& path);
    // Empty when the sheets hold their rows and no part passes partLimit
    // bytes, else why not (UTF-8), for the workbook shown.
    std::string Overflow(const std::string& shown, std::uint64_t partLimit = TXlsxTable::MaxPartSize) const;
    const TColumnWidths& Widths() const { return FWidths; }

private:
    std::int64_t FParameters = 0, FInvestigations = 0;
    std::uint64_t FSharedText = 0; // at most what the shared strings hold
    TColumnWidths FWidths;
};

// The finding for a long field, in the form of a check's (FILE:LINE: TEXT).
std::string LongFieldText(const std::string& path, const TLongField& field);

// Walks the checked file at path into workbook and tells progress of every
// byte read. Throws EFileOpenError when it cannot be read and ETransferChanged
// where a line breaks the checked structure.
void WalkIntoWorkbook(const std::string& path, TXlsxTable& workbook, TProgress& progress);
