#pragma once

#include "CodeLists.h"
#include "ContentFinding.h"
#include "FileNameCheck.h"
#include "SamplingData.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The check of one transfer file with its content: the file name and the
// structure exactly as CheckTransferFile judges them, and in the same read
// loop the content check fed the same bytes. findings gets the content
// findings only when the check found nothing, so that a file with findings
// of its name or structure gets those alone. Throws EFileOpenError as
// CheckTransferFile does. Returns the interface kind the name gives and, unlike
// CheckTransferFile, leaves the process-wide InterfaceKind alone, so that it
// may run on a thread beside other checks.
std::int32_t CheckTransferFileContent(const std::string& path, TSamplingData& data, const TCodeLists& lists,
                                      std::vector<TContentFinding>& findings, TYearSource year = CurrentYear);

// The same on bytes in memory, fed in chunks of chunkSize; the caller resets
// data and gives the interface kind the file name would have.
void CheckTransferBytesContent(std::string_view bytes, TSamplingData& data, const TCodeLists& lists,
                               std::int32_t interfaceKind, std::vector<TContentFinding>& findings,
                               std::size_t chunkSize = 256 * 1024);

// Adds the findings to data as messages of the table, each at its line with
// its value, in the usual line format: for a report that lists them with the
// check's messages. Returns the index of the first one in data.Messages.
std::size_t AddContentMessages(TSamplingData& data, const std::vector<TContentFinding>& findings);
