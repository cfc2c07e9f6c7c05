#include "Main.h"

#include "ui_Main.h"

#include <algorithm>
#include <string>
#include <vector>

#include "Cp1252.h"
#include "FieldCaptions.h"
#include "InvestigationCells.h"
#include "InvestigationSearch.h"
#include "StringGrid.h"

namespace {

// The list's columns after the running number; field N is entry N - 1.
const std::vector<int>& ListedEntries()
{
    static const std::vector<int> entries = [] {
        std::vector<int> e;
        for (std::size_t col = 1; col < ObjectListColumnCount; ++col)
            e.push_back(ObjectListColumns()[col].Field - 1);
        std::sort(e.begin(), e.end());
        return e;
    }();
    return entries;
}

} // namespace

void TMainForm::SetUpFind()
{
    FInvestigations.SetKeyEntries(ListedEntries());
    ui->sgObjectList->SetRowFinder(
        [this](const QString& text, int fromRow) { return FindInObjectList(text, fromRow); });
}

int TMainForm::FindInObjectList(const QString& text, int fromRow) const
{
    constexpr int HeaderRows = TInvestigationCells::HeaderRows;
    // The list belongs to no loaded file while the error panel is up.
    if (FInvestigationCount == 0 || ui->pnlErrorText->isVisibleTo(this))
        return -1;
    // A character that Windows-1252 lacks can stand in no field of the file.
    std::string bytes;
    if (!Utf8ToCp1252(text.toStdString(), bytes))
        return -1;
    const int found = FindInvestigation(FInvestigations, ListedEntries(), bytes, fromRow - HeaderRows);
    return found < 0 ? -1 : found + HeaderRows;
}
