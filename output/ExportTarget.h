#pragma once

#include <string>
#include <vector>

// The workbook's target, judged before any input is read, so that an export
// never replaces a file the user did not mean: the name ends in ".xlsx" (any
// case); it is none of the inputs, not even through a link; and an existing
// target is a regular file that is empty or a ZIP file (a workbook). A
// symbolic link is followed: the file it names is replaced, the link stays.
// Returns the path to write; throws EOutputError with a German text that names
// the file and the reason.
std::string CheckWorkbookTarget(const std::string& target, const std::vector<std::string>& inputs);
