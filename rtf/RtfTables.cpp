#include "RtfTables.h"

#include <algorithm>

void TRtfFontTable::BeginEntry(int font)
{
    EndEntry();
    FId = font;
}

void TRtfFontTable::AddChar(QChar ch)
{
    if (ch == u';')
        EndEntry();
    else
        FName.append(ch);
}

void TRtfFontTable::EndEntry()
{
    const QString family = FName.trimmed();
    if (FId >= 0 && !family.isEmpty() && !FFonts.contains(FId))
        FFonts.insert(FId, TFont{family, SymbolFontOf(family, FCharset)});
    FName.clear();
    FCharset = 0;
}

const TRtfFontTable::TFont* TRtfFontTable::FontOf(int font) const
{
    auto it = FFonts.constFind(font < 0 ? FDefault : font);
    if (it == FFonts.constEnd())
        it = FFonts.constFind(FDefault);
    return it == FFonts.constEnd() ? nullptr : &it.value();
}

const TRtfFontTable::TFont* TRtfFontTable::Find(int font) const
{
    const auto it = FFonts.constFind(font);
    return it == FFonts.constEnd() ? nullptr : &it.value();
}

void TRtfColorTable::SetComponent(int& component, int value)
{
    component = std::clamp(value, 0, 255);
    FSet = true;
}

void TRtfColorTable::AddChar(QChar ch)
{
    if (ch != u';')
        return;
    FColors.append(FSet ? QColor(FRed, FGreen, FBlue) : QColor());
    FRed = FGreen = FBlue = 0;
    FSet = false;
}

void TRtfListTable::EndList()
{
    if (FList.Levels > 0 && !FLists.contains(FList.Id))
        FLists.insert(FList.Id, FList);
    FList = TList();
}

void TRtfListTable::BeginLevel()
{
    FInFirstLevel = FList.Levels == 0;
    FLevelTextDone = false;
    ++FList.Levels;
}

void TRtfListTable::AddLevelTextChar(QChar ch)
{
    if (ch == u';')
        FLevelTextDone = true;
    else if (!FLevelTextDone && FList.LevelText.size() < 64)
        FList.LevelText.append(ch);
}

void TRtfListTable::EndOverride()
{
    FOverrides.insert(FOverrideNumber, FOverrideListId);
    FOverrideListId = 0;
    FOverrideNumber = 0;
}

const TRtfListTable::TList* TRtfListTable::ListOf(int listOverride) const
{
    if (listOverride == 0)
        return nullptr;
    const auto override = FOverrides.constFind(listOverride);
    if (override == FOverrides.constEnd())
        return nullptr;
    const auto list = FLists.constFind(override.value());
    return list == FLists.constEnd() ? nullptr : &list.value();
}
