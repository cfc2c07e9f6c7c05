#include "Main.h"

#include "ui_Main.h"

#include <QLabel>

#include "DisplayText.h"
#include "FieldCaptions.h"
#include "StringGrid.h"
#include "ValueLabel.h"

namespace {

// A caption as a name: without the blanks and the colon around it.
QString NameOf(const QString& caption)
{
    QString name = caption.trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name.trimmed();
}

} // namespace

// Screen readers announce each value box by its block, its caption and its
// field number, as a sighted user reads them off the layout.
void TMainForm::SetUpAccessibility()
{
    for (TValueLabel* label : ui->gbObjectData->findChildren<TValueLabel*>()) {
        const int field = label->property("tag").toInt();
        const TFieldCaption& caption = FieldCaption(field);
        QString name = QStringLiteral("Feld %1").arg(field);
        if (caption.Shown)
            name = Utf8ToQString(caption.Block) + QStringLiteral(", ") + Utf8ToQString(caption.Caption) + QStringLiteral(", ") + name;
        label->setAccessibleName(name);
    }
    ui->sgObjectList->setAccessibleName(NameOf(ui->gbObjectList->title()));
    ui->sgSamples->setAccessibleName(NameOf(ui->lblSampleTitle->text()));
    ui->memErrorText->setAccessibleName(NameOf(ui->Label66->text()));
}
