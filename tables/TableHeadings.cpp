#include "TableHeadings.h"

#include "FieldCaptions.h"
#include "InvestigationWalk.h"

#include <string_view>

namespace {

constexpr int FirstParameterField = MasterFieldCount + 1;

// The examination's first line and, in the parameter table, the parameter's
// own line, named as the window names it.
std::vector<std::string> LeadingHeadings()
{
    return {"Datei", "Untersuchung Nr.", "Erste Zeile der Untersuchung"};
}

constexpr std::string_view ParameterLineHeading = "Zeilen-Nr. in Datei";

} // namespace

std::vector<std::string> ParameterTableHeadings()
{
    std::vector<std::string> headings = LeadingHeadings();
    for (int field = 1; field < FirstParameterField + ParameterFieldCount; ++field) {
        if (field == FirstParameterField)
            headings.emplace_back(ParameterLineHeading);
        headings.push_back(FieldHeading(field));
    }
    return headings;
}

std::vector<std::string> InvestigationTableHeadings()
{
    std::vector<std::string> headings = LeadingHeadings();
    for (int field = 1; field <= MasterFieldCount; ++field)
        headings.push_back(FieldHeading(field));
    headings.emplace_back("Anzahl Parameter");
    return headings;
}
