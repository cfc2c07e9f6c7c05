#include "Fields.h"

const TSeparatorSet& TSeparatorSet::Bar()
{
    static const TSeparatorSet bar{FieldSeparator};
    return bar;
}

void AppendFields(std::string_view line, TFieldList& fields, const TSeparatorSet& separators)
{
    CutFields(
        line,
        [&separators](std::string_view text, std::size_t pos) {
            while (pos < text.size() && !separators.Contains(text[pos]))
                ++pos;
            return pos;
        },
        [&fields](std::string_view field) { fields.emplace_back(field); });
}

void SplitFields(std::string_view line, TFieldList& fields, const TSeparatorSet& separators)
{
    fields.clear();
    AppendFields(line, fields, separators);
}
