#include "Main.h"

#include "ui_Main.h"

#include <array>
#include <string>

#include "Cp1252.h"
#include "FieldCaptions.h"
#include "InvestigationCells.h"
#include "InvestigationSearch.h"
#include "StringGrid.h"

void TMainForm::SetUpFind()
{
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
    // The list's columns after the running number; field N is entry N - 1.
    static const std::array<int, ObjectListColumnCount - 1> entries = [] {
        std::array<int, ObjectListColumnCount - 1> e{};
        for (std::size_t col = 1; col < ObjectListColumnCount; ++col)
            e[col - 1] = ObjectListColumns()[col].Field - 1;
        return e;
    }();
    const int found = FindInvestigation(FInvestigations, entries, bytes, fromRow - HeaderRows);
    return found < 0 ? -1 : found + HeaderRows;
}
