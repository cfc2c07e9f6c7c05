#pragma once

#include "ByteSource.h"
#include "InvestigationWalk.h"
#include "Output.h"

#include <cstddef>
#include <memory>

#include <string>
#include <vector>

// A sink that formats rows into an output (a table), and can begin again for
// a later part of the same file.
class TPartSink : public TInvestigationSink {
public:
    // A sink for rows of the same file further on, written as this one
    // writes them but without a heading, to output: the file is cut into
    // parts that are formatted side by side.
    virtual std::unique_ptr<TPartSink> Continuation(TOutput& output, std::size_t flushSize) const = 0;
    // Hands on what is buffered.
    virtual void Flush() = 0;
};

// Formats the parts of one checked file on up to threads threads at once,
// each into a continuation of table, and writes them to output in file
// order, so that the output is byte for byte what one walk of the whole file
// writes. table must be flushed before. Each thread holds at most about
// flushSize bytes of its part's rows before it waits for its turn to write;
// 0 shares 2 MB among the threads.
// Throws what the walk or output throws; everything before the failing place
// has then been written, nothing behind it.
void ExportParts(TByteSource& file, const std::vector<TFilePart>& parts, const TPartSink& table,
                 TOutput& output, unsigned threads, std::size_t flushSize = 0);

// How many threads the export may use here.
unsigned ExportThreads();
