#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Writes realistic, well-formed transfer files for benchmarks and robustness
// runs: German master data and analysis results in Windows-1252, CR LF line
// ends. The same seed always gives the same bytes, on every platform (own
// random generator, no library distributions).
class TTransferFileGenerator {
public:
    explicit TTransferFileGenerator(uint64_t seed);

    // Appends one examination block (header lines 1 and 2, the parameter
    // lines, the end line) to out. parameterCount < 0 picks 5 to 30.
    void AppendInvestigation(std::string& out, int parameterCount = -1);

    // Writes examinations until at least targetBytes are written; the file
    // always ends after a complete block. Returns the bytes written.
    uint64_t WriteBySize(std::FILE* file, uint64_t targetBytes);

    // Writes exactly investigationCount examinations of parameterCount
    // parameter lines each (parameterCount < 0: 5 to 30 each).
    uint64_t WriteByCount(std::FILE* file, uint64_t investigationCount, int parameterCount);

    uint64_t InvestigationsWritten() const { return FInvestigations; }
    uint64_t ParametersWritten() const { return FParameters; }
    uint64_t LinesWritten() const { return FLines; }

private:
    uint64_t Next();
    uint32_t Below(uint32_t bound);
    template <size_t N>
    const std::string& Pick(const std::string (&choices)[N]) { return choices[Below(N)]; }

    void AppendHeaderLine1(std::string& out);
    void AppendHeaderLine2(std::string& out);
    void AppendParameterLine(std::string& out);
    // The end line, and the counts of the examination it ends.
    void AppendEndLine(std::string& out, int parameterCount);
    void AppendDate(std::string& out, int day, int month, int year, int hour, int minute);
    void AppendNumber(std::string& out, uint64_t value, int width = 0);
    void AppendMeasuredValue(std::string& out, uint32_t scale, int decimals);

    uint64_t FState;
    uint64_t FInvestigations = 0;
    uint64_t FParameters = 0;
    uint64_t FLines = 0;
    uint64_t FSampleNumber = 4700;
};
