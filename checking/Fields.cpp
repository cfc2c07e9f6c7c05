#include "Fields.h"

const TSeparatorSet& TSeparatorSet::Bar()
{
    static const TSeparatorSet bar{'|'};
    return bar;
}

void AppendFields(std::string_view line, TFieldList& fields, const TSeparatorSet& separators)
{
    if (line.empty())
        return;
    std::size_t start = 0;
    for (;;) {
        std::size_t pos = start;
        while (pos < line.size() && !separators.Contains(line[pos]))
            ++pos;
        fields.emplace_back(TrimField(line.substr(start, pos - start)));
        // pos is 0-based here: "at or beyond the length" means no character follows it.
        if (pos + 1 >= line.size())
            return;
        start = pos + 1;
    }
}

void SplitFields(std::string_view line, TFieldList& fields, const TSeparatorSet& separators)
{
    fields.clear();
    AppendFields(line, fields, separators);
}
