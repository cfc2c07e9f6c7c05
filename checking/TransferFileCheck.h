#pragma once

#include "FileNameCheck.h"
#include "SamplingData.h"
#include "StructureWalk.h"

#include <cstddef>
#include <string>
#include <string_view>

// The whole check of one transfer file: resets data and InterfaceKind, judges
// the bare file name, then streams the file through the structure check.
// Throws EFileOpenError when the file cannot be read; data then holds only the
// file-name verdict. observer, when given, hears where each examination begins;
// year gives the year that two-digit years in the name are judged by.
void CheckTransferFile(const std::string& path, TSamplingData& data, TInvestigationObserver* observer = nullptr,
                       TYearSource year = CurrentYear);

// The structure part of the check on bytes already in memory, fed in chunks of
// chunkSize (any size from 1 on gives the same result). Adds to data as the
// file check does after the file name; the caller resets data first.
void CheckTransferBytes(std::string_view bytes, TSamplingData& data, std::size_t chunkSize = 256 * 1024,
                        TInvestigationObserver* observer = nullptr);
