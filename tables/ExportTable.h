#pragma once

#include "InvestigationWalk.h"
#include "JsonWriter.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Where a table goes. Write throws EOutputError when the bytes cannot be written.
class TOutput {
public:
    virtual ~TOutput() = default;
    virtual void Write(std::string_view bytes) = 0;
};

class EOutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Column names of the parameter table (one row per parameter) and of the
// examination table (one row per examination), UTF-8.
std::vector<std::string> ParameterTableHeadings();
std::vector<std::string> InvestigationTableHeadings();

// Appends Windows-1252 bytes as UTF-8.
void AppendCp1252AsUtf8(std::string& out, std::string_view cp1252);

// A table sink that fills an output buffer and hands it on in large pieces.
// Rows are written straight into the buffer, without a copy per field.
class TBufferedTable : public TInvestigationSink {
public:
    static constexpr std::size_t DefaultFlushSize = 256 << 10;

    // Hands on the buffer whenever it holds flushSize bytes.
    explicit TBufferedTable(TOutput& output, std::size_t flushSize = DefaultFlushSize);
    // The file whose examinations follow: its path as given on the command line.
    virtual void BeginFile(std::string_view path) { FFileName = BytesToUtf8(path); }
    // Hands on what is buffered; call at the end and whenever the caller writes elsewhere.
    void Flush();
    // A table for rows of the same file further on, written as this one
    // writes them but without a heading, to output: the file is cut into
    // parts that are formatted side by side.
    virtual std::unique_ptr<TBufferedTable> Continuation(TOutput& output, std::size_t flushSize) const = 0;

protected:
    // Where the next n bytes go; hands on the buffer first when they do not fit.
    char* Room(std::size_t n)
    {
        if (FCapacity - FSize < n)
            MakeRoom(n);
        return FData.get() + FSize;
    }
    // The bytes up to end, written at Room(), are part of the output.
    void Commit(const char* end) { FSize = static_cast<std::size_t>(end - FData.get()); }
    void Append(std::string_view bytes);
    void FlushIfFull()
    {
        if (FSize >= FFlushSize)
            Flush();
    }

    std::string FFileName;

private:
    void MakeRoom(std::size_t n);

    TOutput& FOutput;
    std::size_t FFlushSize;
    std::unique_ptr<char[]> FData;
    std::size_t FCapacity = 0;
    std::size_t FSize = 0;
};

// RFC 4180: comma, double quotes around a field that holds a comma or a
// quote, LF after every row, UTF-8, a heading row first; nothing at all when
// no file is exported.
class TCsvTable : public TBufferedTable {
public:
    explicit TCsvTable(TOutput& output);
    void BeginFile(std::string_view path) override;
    std::unique_ptr<TBufferedTable> Continuation(TOutput& output, std::size_t flushSize) const override;
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

// JSON Lines: one object per examination with file, number, firstLine, fields
// ("1" to "42") and parameters, each with its line and fields "43" to "53".
class TJsonLinesTable : public TBufferedTable {
public:
    using TBufferedTable::TBufferedTable;
    std::unique_ptr<TBufferedTable> Continuation(TOutput& output, std::size_t flushSize) const override;
    void BeginInvestigation(const TWalkInvestigation& investigation) override;
    void Parameter(const TWalkInvestigation& investigation, std::int64_t line, const TParameterFields& fields) override;
    void EndInvestigation(const TWalkInvestigation& investigation, std::int64_t parameterCount) override;

    void BeginFile(std::string_view path) override;

private:
    std::string FHead; // {"file":"...","number":
    bool FFirstParameter = true;
};
