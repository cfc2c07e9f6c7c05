#pragma once

#include "ByteSource.h"
#include "ExportTable.h"
#include "InvestigationWalk.h"

#include <string>
#include <vector>

// Formats the parts of one checked file on up to threads threads at once,
// each into a continuation of table, and writes them to output in file
// order, so that the output is byte for byte what one walk of the whole file
// writes. table must be flushed before. Each thread holds at most about
// flushSize bytes of its part's rows before it waits for its turn to write;
// 0 shares 2 MB among the threads.
// Throws what the walk or output throws; everything before the failing place
// has then been written, nothing behind it.
void ExportParts(TByteSource& file, const std::vector<TFilePart>& parts, const TBufferedTable& table,
                 TOutput& output, unsigned threads, std::size_t flushSize = 0);

// How many threads the export may use here.
unsigned ExportThreads();
