#pragma once

#include "Comparison.h"

#include <functional>
#include <string_view>
#include <utility>

enum class EReportFormat { Text,
                           JsonLines,
                           Csv };

// Writes each difference as the comparison finds it, so that their number
// costs no memory; the summary first, as the counts come before them.
class TDifferenceStream : public TDifferenceSink {
public:
    using TWrite = std::function<void(std::string_view utf8)>;
    TDifferenceStream(EReportFormat format, TWrite write) : FFormat(format),
                                                            FWrite(std::move(write)) { }

    void Counted(const TComparison& comparison) override;
    void Difference(const TDifference& d) override;

private:
    EReportFormat FFormat;
    TWrite FWrite;
    TDifference FPrevious;
    bool FHasPrevious = false;
};
