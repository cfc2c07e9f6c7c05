#pragma once

#include "ByteSource.h"
#include "ExportPlan.h"
#include "SamplingData.h"

#include <string>

// The check of one file before its export, as CheckTransferFile does it, and
// the plan of its parts. A large file is checked in pieces side by side: cut
// where an examination begins, each piece checked as a file of its own. When
// every piece passes and each ends just before the next begins a new
// examination, the whole file passes, since the check knows nothing of a
// block once its end line is passed. Otherwise the file is checked again
// whole, so findings are always those of CheckTransferFile; when the file
// passes, data says only that and which line was not examined. Throws EFileOpenError as CheckTransferFile.
void CheckForExport(const std::string& path, TSamplingData& data, TExportPlan& plan, unsigned threads,
                    std::uint64_t minPieceSize = 4 << 20);

// The check in pieces alone: true when every piece passed and plan (empty
// before) holds the file's plan; false when the file must be checked whole.
// unexaminedLine, when given, then gets the file's UnexaminedLine.
bool CheckPassesInPieces(TByteSource& file, TExportPlan& plan, unsigned threads, std::uint64_t minPieceSize,
                         std::int32_t* unexaminedLine = nullptr);

// Where an examination begins at or behind from, as far as the file shows
// within reach of it; 0 when none is found. A cut there is a guess that the
// check of the pieces proves or refutes.
std::uint64_t FindInvestigationStart(TByteSource& file, std::uint64_t from);
