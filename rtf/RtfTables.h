#pragma once

#include "RtfSymbolFont.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>

// The tables of an RTF header that the text refers to by number, each filled
// entry by entry while the reader walks its destination.

// Font numbers to families; a symbol font's codes are mapped to Unicode.
class TRtfFontTable {
public:
    struct TFont {
        QString Family;
        TSymbolFont Symbol = TSymbolFont::None;
    };

    void SetDefault(int font) { FDefault = font; }
    // \f inside the table: the entry so far ends, a new one begins.
    void BeginEntry(int font);
    void SetCharset(int charset) { FCharset = charset; }
    // Text of the entry; ";" ends it.
    void AddChar(QChar ch);
    void EndEntry();

    // The font numbered font (-1: the default), else the default font.
    const TFont* FontOf(int font) const;
    // The font numbered font, or nullptr.
    const TFont* Find(int font) const;

private:
    QHash<int, TFont> FFonts;
    int FDefault = -1;
    int FId = -1;
    int FCharset = 0;
    QString FName;
};

// Colour numbers to colours; an entry without components is the automatic
// colour, which leaves the text in the view's own colour.
class TRtfColorTable {
public:
    void SetRed(int value) { SetComponent(FRed, value); }
    void SetGreen(int value) { SetComponent(FGreen, value); }
    void SetBlue(int value) { SetComponent(FBlue, value); }
    // Text of the table; ";" ends an entry.
    void AddChar(QChar ch);

    // The colour numbered index, invalid for the automatic colour or none.
    QColor At(int index) const { return index >= 0 && index < FColors.size() ? FColors.at(index) : QColor(); }

private:
    void SetComponent(int& component, int value);

    QList<QColor> FColors;
    int FRed = 0, FGreen = 0, FBlue = 0;
    bool FSet = false;
};

// The list table and the list override table: what a paragraph's list
// override number leads to. Only the first level of a list is kept.
class TRtfListTable {
public:
    struct TList {
        QString LevelText;
        int Font = -1;
        int FirstIndent = 0;
        int LeftIndent = 0;
        int Levels = 0;
        int Id = 0;
    };

    void BeginList() { FList = TList(); }
    void EndList();
    void BeginLevel();
    void EndLevel() { FInFirstLevel = false; }
    // Whether the words read now describe the first level of a list.
    bool InFirstLevel() const { return FInFirstLevel; }
    void SetListId(int id) { FList.Id = id; }
    void SetLevelFont(int font) { FList.Font = font; }
    void SetLevelLeftIndent(int twips) { FList.LeftIndent = twips; }
    void SetLevelFirstIndent(int twips) { FList.FirstIndent = twips; }
    // Text of the level text destination; ";" ends it.
    void AddLevelTextChar(QChar ch);

    void SetOverrideListId(int id) { FOverrideListId = id; }
    void SetOverrideNumber(int number) { FOverrideNumber = number; }
    void EndOverride();

    // The list that list override number listOverride stands for, or nullptr.
    const TList* ListOf(int listOverride) const;

private:
    QHash<int, TList> FLists; // by list id
    QHash<int, int> FOverrides; // list override number -> list id
    TList FList;
    bool FInFirstLevel = false;
    bool FLevelTextDone = false;
    int FOverrideListId = 0;
    int FOverrideNumber = 0;
};
