#pragma once

#include "Tool.h"

#include <string>
#include <vector>

// The export of checked files into one table, as morvask-export runs it:
// each file checked, its findings reported as morvask-check reports them,
// the files that pass written. Each returns the exit status.

enum class EFormat { Csv,
                     JsonLines,
                     Xlsx };

int ExportToStandardOutput(TTool& tool, const std::vector<std::string>& files, EFormat format);
#ifdef MORVASK_HAVE_XLSX
int ExportToWorkbook(TTool& tool, const std::vector<std::string>& files, const std::string& target, bool quiet);
#endif
