#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// What a printed report holds, as text ready to be laid out on pages: the
// window decides what goes in, ReportLayout decides where it stands. Every
// section begins on a new page and carries its own page heading.

// One value of a block: its caption with the field number, and its text.
struct TReportField {
    QString Caption;
    QString Value;
};

// A block as the window groups it: a title on the block's colour, free lines
// (the file format block) and fields.
struct TReportBlock {
    QString Title;
    QColor Colour;
    QColor TitleColour;
    QStringList Lines;
    std::vector<TReportField> Fields;
};

// A column of a table: its two heading rows and its share of the width. The
// layout sizes columns by what they hold; the shares divide what is left
// once every value fits on one line.
struct TReportColumn {
    QString Heading;
    QString Second;
    int Width = 1;
};

// A table whose rows are asked for as they are laid out, so that a long one
// is never held as text twice.
struct TReportTable {
    QString Title;
    QColor Colour;
    QColor TitleColour;
    std::vector<TReportColumn> Columns;
    int RowCount = 0;
    std::function<QString(int row, int col)> Cell;
};

struct TReportSection {
    // Below the report's title on every page of the section: file, path, examination.
    QStringList Heading;
    std::vector<TReportBlock> Blocks;
    TReportTable Table; // none when it has no columns
    // Plain lines after the blocks (the findings), each wrapped on its own.
    QString TextTitle;
    QStringList TextLines;
};

struct TReport {
    QString Title; // the program's name
    QString Printed; // when it was printed, as the pages say it
    int SectionCount = 0;
    // Built when the layout needs it; a report of every examination never
    // holds them all at once.
    std::function<TReportSection(int index)> Section;
};
