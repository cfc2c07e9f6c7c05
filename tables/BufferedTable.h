#pragma once

#include "InvestigationWalk.h"
#include "Output.h"
#include "ParallelExport.h"
#include "Utf8Text.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// A table sink that fills an output buffer and hands it on in large pieces.
// Rows are written straight into the buffer, without a copy per field.
class TBufferedTable : public TPartSink {
public:
    static constexpr std::size_t DefaultFlushSize = 256 << 10;

    // Hands on the buffer whenever it holds flushSize bytes.
    explicit TBufferedTable(TOutput& output, std::size_t flushSize = DefaultFlushSize);
    // The file whose examinations follow: its path as given on the command line.
    virtual void BeginFile(std::string_view path) { FFileName = BytesToUtf8(path); }
    // Hands on what is buffered; call at the end and whenever the caller writes elsewhere.
    void Flush() override;

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

// What the tables share in writing their rows.
namespace TableBytes {

constexpr int FirstParameterField = MasterFieldCount + 1;
constexpr std::size_t NumberRoom = 20;

inline char* WriteNumber(char* out, std::int64_t value)
{
    return std::to_chars(out, out + NumberRoom, value).ptr;
}

// The bytes from the first field's start to the last field's end: an upper
// bound of the fields' total length, as all are views into one line.
inline std::size_t Span(const TParameterFields& fields)
{
    return static_cast<std::size_t>(fields.back().data() + fields.back().size() - fields.front().data());
}

} // namespace TableBytes
