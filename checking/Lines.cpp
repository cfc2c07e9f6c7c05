#include "Lines.h"

#include "FileText.h"

void SplitTextIntoLines(std::string_view text, TLineList& lines)
{
    lines.clear();
    ForEachLine(text, [&lines](std::string_view line) { lines.emplace_back(line); });
}

void ReadFileIntoLines(const std::string& path, TLineList& lines)
{
    const TFileText file = TFileText::Read(path);
    SplitTextIntoLines(file.Text(), lines);
}
