#include "DifferenceStream.h"

#include "DifferenceReport.h"

void TDifferenceStream::Counted(const TComparison& comparison)
{
    if (FFormat == EReportFormat::Text)
        FWrite(ComparisonHeadText(comparison));
    else if (FFormat == EReportFormat::Csv)
        FWrite(DifferenceCsvHeading());
}

void TDifferenceStream::Difference(const TDifference& d)
{
    switch (FFormat) {
    case EReportFormat::Text:
        FWrite(DifferenceText(d, FHasPrevious ? &FPrevious : nullptr));
        FPrevious = d;
        FHasPrevious = true;
        return;
    case EReportFormat::JsonLines:
        FWrite(DifferenceJsonLine(d) + "\n");
        return;
    case EReportFormat::Csv:
        FWrite(DifferenceCsvRow(d));
        return;
    }
}
