#pragma once

#include <string>
#include <vector>

// Column names of the parameter table (one row per parameter) and of the
// examination table (one row per examination), UTF-8.
std::vector<std::string> ParameterTableHeadings();
std::vector<std::string> InvestigationTableHeadings();
