// The main window as laid out: every named component with its kind, place,
// tag, text and colours; the tag rule; the grids as designed; the default and
// cancel keys; and the colours that really reach the screen.
#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <vector>

#include "BitBtn.h"
#include "CaptionLabel.h"
#include "ClassicLook.h"
#include "ErrorDisplay.h"
#include "Image.h"
#include "LayoutBlocks.h"
#include "Main.h"
#include "MainFormFixture.h"
#include "Panel.h"
#include "PixelProbe.h"
#include "StringGrid.h"
#include "ValueLabel.h"

namespace {

// Background kinds of a component.
const QColor Transparent; // shows its parent's colour
const QColor ButtonFace(240, 240, 240);
const QColor White(255, 255, 255);

struct TExpected {
    const char* Name;
    const char* Class;
    const char* Parent;
    int Left, Top, Width, Height;
    int Tag;
    const char* Text;
    QColor Background;
    QColor TextColour; // invalid: the window-text colour, black
    int Bold; // -1: not checked
};

// Typed from the layout tables, one row per named component.
const std::vector<TExpected>& Components()
{
    static const std::vector<TExpected> components = {
        // The window's own children, in creation order.
        {"Label3", "TCaptionLabel", "MainForm", 16, 24, 106, 13, 0, "Proben-ID des Labors:", Transparent, {}, 0},
        {"Label4", "TValueLabel", "MainForm", 138, 23, 183, 13, 22, "Label1", White, {}, 0},
        {"Image1", "TImage", "MainForm", 5, 672, 200, 30, 0, nullptr, Transparent, {}, -1},
        {"pnlErrorText", "TPanel", "MainForm", 4, 8, 772, 660, 0, nullptr, QColor(255, 0, 0), {}, -1},
        {"bbtnClose", "TBitBtn", "MainForm", 658, 673, 120, 28, 0, "OK", Transparent, {}, -1},
        {"gbObjectList", "QGroupBox", "MainForm", 4, 1, 773, 126, 0, " Übermittelte Objekte: ", ButtonFace, {}, 1},
        {"gbObjectData", "QGroupBox", "MainForm", 4, 128, 774, 540, 0, " Objekt- und Untersuchungsdaten: ", ButtonFace, {}, 1},
        {"bbtnHelpInfo", "TBitBtn", "MainForm", 463, 673, 186, 28, 0, "&Hilfe / Nutzungsbedingungen", Transparent, {}, -1},
        // Error panel.
        {"Label66", "TCaptionLabel", "pnlErrorText", 8, 5, 354, 13, 0,
         " Beim Öffnen der Datei sind die folgenden Fehler aufgetreten: ", Transparent, White, 1},
        {"memErrorText", "QPlainTextEdit", "pnlErrorText", 13, 24, 746, 623, 0, "", White, {}, 0},
        // Examination list.
        {"sgObjectList", "TStringGrid", "gbObjectList", 9, 16, 755, 104, 0, nullptr, Transparent, {}, 0},
        // Detail blocks.
        {"Panel2", "TPanel", "gbObjectData", 8, 20, 367, 172, 1, nullptr, QColor(166, 202, 240), {}, 0},
        {"Panel1", "TPanel", "gbObjectData", 8, 197, 367, 127, 1, nullptr, QColor(192, 220, 192), {}, 0},
        {"Panel5", "TPanel", "gbObjectData", 383, 20, 383, 75, 0, nullptr, QColor(255, 210, 255), {}, -1},
        {"Panel3", "TPanel", "gbObjectData", 383, 101, 383, 223, 1, nullptr, QColor(255, 255, 174), {}, 0},
        {"Panel4", "TPanel", "gbObjectData", 8, 330, 758, 202, 1, nullptr, QColor(168, 213, 213), {}, 0},
        // Block titles.
        {"Label9", "TCaptionLabel", "Panel2", 8, 5, 91, 13, 0, "Entnahmestelle:", Transparent, QColor(0, 0, 128), 1},
        {"Label21", "TCaptionLabel", "Panel1", 8, 5, 97, 13, 0, "Betreiber (WVU):", Transparent, QColor(0, 128, 0), 1},
        {"Label37", "TCaptionLabel", "Panel3", 8, 5, 76, 13, 0, "Probe-Daten:", Transparent, QColor(255, 128, 0), 1},
        {"lblSampleTitle", "TCaptionLabel", "Panel4", 8, 5, 95, 13, 0, " Analyse-Daten: ", Transparent, QColor(50, 105, 105), 1},
        {"Label64", "TCaptionLabel", "Panel5", 8, 5, 77, 13, 0, "Datei-Format:", QColor(255, 210, 255), QColor(128, 0, 0), 1},
        // Sampling point.
        {"Label13", "TCaptionLabel", "Panel2", 178, 8, 44, 13, 0, "Kurzbez.:", Transparent, {}, 0},
        {"Label33", "TValueLabel", "Panel2", 229, 8, 132, 13, 16, "", White, {}, 0},
        {"Label61", "TCaptionLabel", "Panel2", 8, 23, 44, 13, 0, "Bezeich.:", Transparent, {}, 0},
        {"Label10", "TValueLabel", "Panel2", 56, 23, 305, 13, 14, "", White, {}, 0},
        {"Label11", "TValueLabel", "Panel2", 56, 38, 305, 13, 15, "", White, {}, 0},
        {"Label54", "TCaptionLabel", "Panel2", 8, 53, 35, 13, 0, "Details:", Transparent, {}, 0},
        {"Label58", "TValueLabel", "Panel2", 56, 53, 305, 13, 38, "", White, {}, 0},
        {"Label60", "TCaptionLabel", "Panel2", 8, 72, 41, 13, 0, "Adresse:", Transparent, {}, 0},
        {"Label20", "TValueLabel", "Panel2", 56, 72, 305, 13, 17, "", White, {}, 0},
        {"Label15", "TValueLabel", "Panel2", 56, 87, 39, 13, 18, "", White, {}, 0},
        {"Label16", "TValueLabel", "Panel2", 99, 87, 262, 13, 19, "", White, {}, 0},
        {"Label18", "TCaptionLabel", "Panel2", 9, 106, 85, 13, 0, "Codierung Objekt:", Transparent, {}, 0},
        {"Label35", "TValueLabel", "Panel2", 109, 106, 252, 13, 24, "", White, {}, 0},
        {"Label34", "TCaptionLabel", "Panel2", 9, 121, 91, 13, 0, "Versorgungsgebiet:", Transparent, {}, 0},
        {"Label36", "TValueLabel", "Panel2", 109, 121, 252, 13, 25, "", White, {}, 0},
        {"Label38", "TCaptionLabel", "Panel2", 9, 136, 88, 13, 0, "Geogenes Umfeld:", Transparent, {}, 0},
        {"Label40", "TValueLabel", "Panel2", 109, 136, 253, 13, 26, "", White, {}, 0},
        {"Label39", "TCaptionLabel", "Panel2", 9, 151, 92, 13, 0, "GW-Überschr. weil:", Transparent, {}, 0},
        {"Label41", "TValueLabel", "Panel2", 109, 151, 253, 13, 27, "", White, {}, 0},
        // Operator.
        {"Label52", "TCaptionLabel", "Panel1", 8, 23, 44, 13, 0, "Bezeich.:", Transparent, {}, 0},
        {"Label22", "TValueLabel", "Panel1", 56, 23, 305, 13, 6, "", White, {}, 0},
        {"Label23", "TValueLabel", "Panel1", 56, 38, 305, 13, 7, "", White, {}, 0},
        {"Label62", "TCaptionLabel", "Panel1", 8, 58, 41, 13, 0, "Adresse:", Transparent, {}, 0},
        {"Label32", "TValueLabel", "Panel1", 56, 57, 305, 13, 8, "", White, {}, 0},
        {"Label27", "TValueLabel", "Panel1", 56, 73, 39, 13, 9, "", White, {}, 0},
        {"Label28", "TValueLabel", "Panel1", 99, 72, 262, 13, 10, "", White, {}, 0},
        {"Label26", "TCaptionLabel", "Panel1", 8, 91, 39, 13, 0, "Telefon:", Transparent, {}, 0},
        {"Label29", "TValueLabel", "Panel1", 56, 91, 116, 13, 11, "", White, {}, 0},
        {"Label25", "TCaptionLabel", "Panel1", 178, 91, 20, 13, 0, "Fax:", Transparent, {}, 0},
        {"Label30", "TValueLabel", "Panel1", 201, 91, 160, 13, 12, "", White, {}, 0},
        {"Label24", "TCaptionLabel", "Panel1", 8, 106, 28, 13, 0, "Email:", Transparent, {}, 0},
        {"Label31", "TValueLabel", "Panel1", 56, 106, 305, 13, 13, "", White, {}, 0},
        // Sample data.
        {"Label5", "TCaptionLabel", "Panel3", 8, 21, 64, 13, 0, "Auftraggeber:", Transparent, {}, 0},
        {"Label6", "TValueLabel", "Panel3", 129, 21, 247, 13, 4, "", White, {}, 0},
        {"Label12", "TCaptionLabel", "Panel3", 9, 40, 80, 13, 0, "Probenahme am:", Transparent, {}, 0},
        {"Label19", "TValueLabel", "Panel3", 129, 40, 247, 13, 22, "", White, {}, 0},
        {"Label14", "TCaptionLabel", "Panel3", 9, 55, 93, 13, 0, "Probenahme durch:", Transparent, {}, 0},
        {"Label17", "TValueLabel", "Panel3", 129, 55, 247, 13, 23, "", White, {}, 0},
        {"Label42", "TCaptionLabel", "Panel3", 9, 70, 112, 13, 0, "Probenahme-Verfahren:", Transparent, {}, 0},
        {"Label43", "TValueLabel", "Panel3", 129, 70, 247, 13, 28, "", White, {}, 0},
        {"Label44", "TCaptionLabel", "Panel3", 9, 85, 97, 13, 0, "Probenahme-Anlass:", Transparent, {}, 0},
        {"Label45", "TValueLabel", "Panel3", 129, 85, 247, 13, 29, "", White, {}, 0},
        {"Label48", "TCaptionLabel", "Panel3", 9, 104, 103, 13, 0, "Schlüssel des Labors:", Transparent, {}, 0},
        {"Label49", "TValueLabel", "Panel3", 129, 104, 247, 13, 31, "", White, {}, 0},
        {"Label46", "TCaptionLabel", "Panel3", 9, 119, 105, 13, 0, "Probeneingang Labor:", Transparent, {}, 0},
        {"Label47", "TValueLabel", "Panel3", 129, 119, 247, 13, 30, "", White, {}, 0},
        {"Label2", "TCaptionLabel", "Panel3", 8, 134, 106, 13, 0, "Proben-ID des Labors:", Transparent, {}, 0},
        {"Label1", "TValueLabel", "Panel3", 129, 134, 247, 13, 3, "", White, {}, 0},
        {"Label53", "TCaptionLabel", "Panel3", 8, 153, 106, 13, 0, "Zust. Gesundheitsamt:", Transparent, {}, 0},
        {"Label57", "TValueLabel", "Panel3", 129, 153, 247, 13, 35, "", White, {}, 0},
        {"Label7", "TCaptionLabel", "Panel3", 8, 168, 89, 13, 0, "Proben-ID des GA:", Transparent, {}, 0},
        {"Label8", "TValueLabel", "Panel3", 129, 168, 247, 13, 5, "", White, {}, 0},
        {"Label55", "TCaptionLabel", "Panel3", 8, 187, 70, 13, 0, "Datenfreigabe:", Transparent, {}, 0},
        {"Label59", "TValueLabel", "Panel3", 129, 187, 26, 13, 39, "", White, {}, 0},
        {"Label56", "TCaptionLabel", "Panel3", 166, 187, 201, 13, 0, "1 = Morvask,  2 = EU-Berichterstattung", Transparent, {}, 0},
        {"Label50", "TCaptionLabel", "Panel3", 9, 202, 86, 13, 0, "Weitere Angaben:", Transparent, {}, 0},
        {"Label51", "TValueLabel", "Panel3", 129, 202, 247, 13, 32, "", White, {}, 0},
        // Analysis block and format block.
        {"sgSamples", "TStringGrid", "Panel4", 11, 22, 737, 170, 0, nullptr, Transparent, {}, 0},
        {"Label65", "TCaptionLabel", "Panel5", 8, 24, 290, 13, 0, "Übermittlung der Ergebnisse von Trinkwasseruntersuchungen", Transparent, {}, 0},
        {"lblSchnittstelle1", "TCaptionLabel", "Panel5", 8, 40, 0, 13, 0, "", Transparent, {}, 0},
        {"lblSchnittstelle2", "TCaptionLabel", "Panel5", 8, 56, 0, 13, 0, "", Transparent, {}, 0},
    };
    return components;
}

QString TextOf(const QWidget* widget)
{
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* box = qobject_cast<const QGroupBox*>(widget))
        return box->title();
    if (auto* button = qobject_cast<const QPushButton*>(widget))
        return button->text();
    if (auto* memo = qobject_cast<const QPlainTextEdit*>(widget))
        return memo->toPlainText();
    return QString();
}

// Widgets that size themselves to their text measure it in our stand-in
// font, which is a few pixels off the design font's widths.
int WidthTolerance(const QWidget* widget, int designWidth)
{
    if (qobject_cast<const TCaptionLabel*>(widget) == nullptr)
        return 0;
    return std::max(6, designWidth / 10);
}

} // namespace

class TMainLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void Window();
    void Component_data();
    void Component();
    void EveryComponentIsListed();
    void DialogFont();
    void TagRule();
    void BlocksAsPrinted();
    void GridsAsDesigned();
    void StackingAndFocusOrder();
    void ErrorPanelLiesReady();
    void Labels_data();
    void Labels();
    void DefaultAndCancelKeys_data();
    void DefaultAndCancelKeys();
    void ScreenColours_data();
    void ScreenColours();
    void ErrorViewColours_data();
    void ErrorViewColours();

private:
    template <class T = QWidget>
    T* Find(const char* name) const
    {
        return FForm->findChild<T*>(QString::fromLatin1(name));
    }
    void ShowForm();

    TMainFormFixture FForm;
    QImage FPicture;
    QImage FErrorPicture;
};

void TMainLayoutTest::initTestCase()
{
    // Without a path source the window opens nothing and stays as created.
    FForm.Start();
}

void TMainLayoutTest::cleanupTestCase()
{
    FForm.Stop();
}

void TMainLayoutTest::ShowForm()
{
    if (!FForm->isVisible()) {
        QVERIFY(FForm.Show());
    }
}

void TMainLayoutTest::Window()
{
    QCOMPARE(FForm->objectName(), QStringLiteral("MainForm"));
    QCOMPARE(FForm->windowTitle(), QStringLiteral("Morvask-Betrachter"));
    QCOMPARE(FForm->size(), QSize(782, 707));
    QCOMPARE(FForm->minimumSize(), QSize(782, 707));
    QCOMPARE(FForm->maximumSize(), QSize(782, 707));
    QCOMPARE(FForm->pos(), QPoint(348, 136));
    const Qt::WindowFlags flags = FForm->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(FForm->palette().color(QPalette::Window), ButtonFace);
}

void TMainLayoutTest::Component_data()
{
    QTest::addColumn<int>("row");
    for (int row = 0; row < static_cast<int>(Components().size()); ++row)
        QTest::newRow(Components()[row].Name) << row;
}

void TMainLayoutTest::Component()
{
    QFETCH(int, row);
    const TExpected& expected = Components()[row];
    QWidget* widget = Find(expected.Name);
    QVERIFY2(widget != nullptr, expected.Name);
    QCOMPARE(widget->metaObject()->className(), expected.Class);
    QCOMPARE(widget->parentWidget()->objectName(), QString::fromLatin1(expected.Parent));

    const QRect area = widget->geometry();
    QCOMPARE(area.topLeft(), QPoint(expected.Left, expected.Top));
    QCOMPARE(area.height(), expected.Height);
    const int tolerance = WidthTolerance(widget, expected.Width);
    QVERIFY2(std::abs(area.width() - expected.Width) <= tolerance,
             qPrintable(QStringLiteral("width %1, designed %2").arg(area.width()).arg(expected.Width)));

    const QVariant tag = widget->property("tag");
    QVERIFY2(tag.isValid(), "no tag");
    QCOMPARE(tag.toInt(), expected.Tag);

    if (expected.Text != nullptr)
        QCOMPARE(TextOf(widget), QString::fromUtf8(expected.Text));

    if (auto* panel = qobject_cast<TPanel*>(widget)) {
        QCOMPARE(panel->Color(), expected.Background);
    } else if (expected.Background.isValid()) {
        QVERIFY(widget->autoFillBackground() || qobject_cast<QPlainTextEdit*>(widget) != nullptr);
        const QPalette::ColorRole role = qobject_cast<QPlainTextEdit*>(widget) ? QPalette::Base : QPalette::Window;
        QCOMPARE(widget->palette().color(role), expected.Background);
    } else if (qobject_cast<QLabel*>(widget) != nullptr) {
        QVERIFY2(!widget->autoFillBackground(), "a caption label shows its parent's colour");
    }
    const QColor textColour = expected.TextColour.isValid() ? expected.TextColour : QColor(0, 0, 0);
    const QPalette::ColorRole textRole = qobject_cast<QPlainTextEdit*>(widget) ? QPalette::Text : QPalette::WindowText;
    QCOMPARE(widget->palette().color(textRole), textColour);
    if (expected.Bold >= 0)
        QCOMPARE(widget->font().bold(), expected.Bold == 1);
}

void TMainLayoutTest::EveryComponentIsListed()
{
    // Every named widget of the window is one of the table, and no table row is named twice.
    QSet<QString> listed;
    for (const TExpected& expected : Components()) {
        QVERIFY2(!listed.contains(QString::fromLatin1(expected.Name)), expected.Name);
        listed.insert(QString::fromLatin1(expected.Name));
    }
    const auto widgets = FForm->findChildren<QWidget*>();
    int named = 0;
    for (QWidget* widget : widgets) {
        if (widget->property("tag").isValid()) {
            ++named;
            QVERIFY2(listed.contains(widget->objectName()), qPrintable(widget->objectName()));
        }
    }
    QCOMPARE(named, static_cast<int>(Components().size()));
}

void TMainLayoutTest::DialogFont()
{
    const auto widgets = FForm->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (!widget->property("tag").isValid())
            continue;
        QCOMPARE(widget->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(widget->font().pixelSize(), 11);
    }
    // The dialog font is there in a free stand-in of close metrics.
    const QFontInfo shown(FForm->font());
    QCOMPARE(shown.pixelSize(), 11);
    QVERIFY2(QFontMetrics(FForm->font()).height() <= 13, "a line must fit a 13-pixel label");
}

void TMainLayoutTest::TagRule()
{
    // Data blocks: the panels directly inside gbObjectData with tag 1.
    auto* details = Find("gbObjectData");
    QStringList blocks;
    QSet<int> fields;
    int valueLabels = 0;
    for (QObject* child : details->children()) {
        auto* panel = qobject_cast<TPanel*>(child);
        if (panel == nullptr || panel->property("tag").toInt() != 1)
            continue;
        blocks << panel->objectName();
        for (QObject* inner : panel->children()) {
            auto* label = qobject_cast<QLabel*>(inner);
            if (label == nullptr)
                continue;
            const int tag = label->property("tag").toInt();
            if (tag <= 0) {
                QVERIFY2(qobject_cast<TCaptionLabel*>(label) != nullptr, qPrintable(label->objectName()));
                continue;
            }
            ++valueLabels;
            QVERIFY2(qobject_cast<TValueLabel*>(label) != nullptr, qPrintable(label->objectName()));
            QVERIFY2(!fields.contains(tag), qPrintable(QStringLiteral("tag %1 twice").arg(tag)));
            fields.insert(tag);
            QVERIFY(label->text().isEmpty());
        }
    }
    blocks.sort();
    QCOMPARE(blocks, QStringList({"Panel1", "Panel2", "Panel3", "Panel4"}));
    QCOMPARE(valueLabels, 31);
    QSet<int> shown;
    for (int field = 3; field <= 19; ++field)
        shown.insert(field);
    for (int field = 22; field <= 32; ++field)
        shown.insert(field);
    shown.unite(QSet<int>{35, 38, 39});
    QCOMPARE(fields, shown);

    // Panel4 is a data block without value labels; Panel5 is no data block.
    for (QObject* inner : Find("Panel4")->children())
        if (auto* label = qobject_cast<QLabel*>(inner))
            QCOMPARE(label->property("tag").toInt(), 0);

    // The only other label with a positive tag is Label4, outside every data block.
    QStringList others;
    for (QLabel* label : FForm->findChildren<QLabel*>()) {
        if (label->property("tag").toInt() > 0 && !blocks.contains(label->parentWidget()->objectName()))
            others << label->objectName();
    }
    QCOMPARE(others, QStringList({"Label4"}));
    auto* label4 = Find<TValueLabel>("Label4");
    QCOMPARE(label4->parentWidget(), FForm.get());
    QVERIFY(!label4->ShowHint());
}

// The table of blocks that printing reads, held against the window it was
// generated from: each block is one panel of the detail area, in its colours,
// with its value boxes and text labels.
void TMainLayoutTest::BlocksAsPrinted()
{
    auto* details = Find("gbObjectData");
    QSet<QObject*> printed;
    for (const TLayoutBlock& block : LayoutBlocks()) {
        const QString title = QString::fromUtf8(block.Title.data(), qsizetype(block.Title.size()));
        TPanel* panel = nullptr;
        TCaptionLabel* titleLabel = nullptr;
        for (auto* label : details->findChildren<TCaptionLabel*>()) {
            if (label->font().bold() && label->text() == title + QLatin1Char(':')) {
                QVERIFY2(panel == nullptr, qPrintable(title));
                panel = qobject_cast<TPanel*>(label->parentWidget());
                titleLabel = label;
            }
        }
        QVERIFY2(panel != nullptr && panel->parentWidget() == details, qPrintable(title));
        printed.insert(panel);
        QCOMPARE(panel->Color(), QColor(block.Colour.Red, block.Colour.Green, block.Colour.Blue));
        QCOMPARE(titleLabel->FontColor(), QColor(block.TitleColour.Red, block.TitleColour.Green, block.TitleColour.Blue));
        QSet<int> tags;
        for (auto* value : panel->findChildren<TValueLabel*>())
            tags.insert(value->property("tag").toInt());
        QCOMPARE(tags, QSet<int>(block.Fields.begin(), block.Fields.end()));
        for (const std::string_view name : block.TextLabels) {
            auto* label = details->findChild<TCaptionLabel*>(QString::fromUtf8(name.data(), qsizetype(name.size())));
            QVERIFY2(label != nullptr && label->parentWidget() == panel, name.data());
        }
    }
    // Every panel but the analysis grid's is printed.
    for (auto* panel : details->findChildren<TPanel*>(Qt::FindDirectChildrenOnly))
        QCOMPARE(printed.contains(panel), panel->findChild<TStringGrid*>() == nullptr);
}

void TMainLayoutTest::GridsAsDesigned()
{
    struct TGrid {
        const char* Name;
        int Cols, Rows;
        std::vector<int> Widths;
        QColor Color, FixedColor;
        bool Range;
    };
    const TGrid grids[] = {
        {"sgObjectList", 6, 8, {40, 176, 267, 114, 79, 55}, White, ButtonFace, false},
        {"sgSamples", 10, 10, {40, 50, 52, 220, 63, 73, 60, 52, 46, 55}, QColor(140, 198, 198), QColor(69, 146, 146), true},
    };
    for (const TGrid& expected : grids) {
        auto* grid = Find<TStringGrid>(expected.Name);
        QVERIFY(grid != nullptr);
        QCOMPARE(grid->ColCount(), expected.Cols);
        QCOMPARE(grid->RowCount(), expected.Rows);
        QCOMPARE(grid->FixedRows(), 2);
        QCOMPARE(grid->FixedCols(), 1);
        QCOMPARE(grid->DefaultRowHeight(), 16);
        for (int col = 0; col < expected.Cols; ++col)
            QCOMPARE(grid->ColWidth(col), expected.Widths[col]);
        QCOMPARE(grid->Color(), expected.Color);
        QCOMPARE(grid->FixedColor(), expected.FixedColor);
        QCOMPARE(grid->RangeSelect(), expected.Range);
        QCOMPARE(grid->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        // The first scrolling row is selected from the start.
        QCOMPARE(grid->Row(), 2);
        // Columns plus their grid lines fill the grid beside the scroll bar exactly.
        int columns = 0;
        for (int width : expected.Widths)
            columns += width + 1;
        QCOMPARE(columns + 16 + 2 * grid->frameWidth(), grid->width());
    }
    QCOMPARE(Find<QFrame>("sgObjectList")->frameWidth(), 1);
    QCOMPARE(Find<QFrame>("sgSamples")->frameWidth(), 0);
}

void TMainLayoutTest::StackingAndFocusOrder()
{
    // Creation order is stacking order: the labels and the picture lie lowest,
    // the error panel beneath both group boxes.
    QStringList order;
    for (QObject* child : FForm->children())
        if (child->isWidgetType() && child->property("tag").isValid())
            order << child->objectName();
    QCOMPARE(order, QStringList({"Label3", "Label4", "Image1", "pnlErrorText", "bbtnClose", "gbObjectList",
                                 "gbObjectData", "bbtnHelpInfo"}));
    QStringList panels;
    for (QObject* child : Find("gbObjectData")->children())
        if (qobject_cast<TPanel*>(child) != nullptr)
            panels << child->objectName();
    QCOMPARE(panels, QStringList({"Panel1", "Panel2", "Panel3", "Panel4", "Panel5"}));

    // Hidden labels lie wholly inside the list's group box.
    const QRect list = Find("gbObjectList")->geometry();
    QVERIFY(list.contains(Find("Label3")->geometry()));
    QVERIFY(list.contains(Find("Label4")->geometry()));

    // Tab order, with the error panel shown so that its memo takes part.
    const QStringList focusOrder = {"sgObjectList", "sgSamples", "bbtnClose", "memErrorText", "bbtnHelpInfo"};
    QWidget* widget = Find(focusOrder[0].toLatin1());
    for (int i = 1; i < focusOrder.size(); ++i) {
        widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus || widget->property("tag").isNull())
            widget = widget->nextInFocusChain();
        QCOMPARE(widget->objectName(), focusOrder[i]);
    }
    for (const char* passive : {"Label3", "Label4", "Image1", "pnlErrorText", "gbObjectList", "gbObjectData", "Panel1"})
        QCOMPARE(Find(passive)->focusPolicy(), Qt::NoFocus);
}

void TMainLayoutTest::ErrorPanelLiesReady()
{
    auto* panel = Find<TPanel>("pnlErrorText");
    QVERIFY(panel->isHidden());
    QVERIFY(!panel->RaisedBevel());
    auto* memo = Find<QPlainTextEdit>("memErrorText");
    QVERIFY(!memo->isReadOnly());
    QCOMPARE(memo->frameShape(), QFrame::NoFrame);
    QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    QVERIFY(memo->toPlainText().isEmpty());

    // Anchored to all four sides of its panel.
    TPanel scratch;
    scratch.resize(200, 100);
    scratch.show();
    auto* box = new QWidget(&scratch);
    box->setGeometry(10, 20, 170, 60);
    box->setProperty("anchors", memo->property("anchors"));
    scratch.resize(260, 150);
    QCOMPARE(box->geometry(), QRect(10, 20, 230, 110));
}

void TMainLayoutTest::Labels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("cutOff");
    QTest::newRow("ampersand shows literally") << "Label10"
                                               << "Müller & Söhne" << false;
    QTest::newRow("markup shows literally") << "Label22"
                                            << "<b>fett</b>" << false;
    QTest::newRow("wider than its box") << "Label59"
                                        << "Eine sehr lange Angabe" << true;
    QTest::newRow("empty white box") << "Label31"
                                     << "" << false;
    QTest::newRow("hidden label") << "Label4"
                                  << "Label1" << false;
}

void TMainLayoutTest::Labels()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(bool, cutOff);
    auto* label = Find<QLabel>(name.toLatin1());
    const QSize size = label->size();
    const QString before = label->text();
    label->setText(text);
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QVERIFY(!label->wordWrap());
    QCOMPARE(label->size(), size); // value labels never resize themselves
    QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(QFontMetrics(label->font()).horizontalAdvance(text) > label->width(), cutOff);
    const QImage picture = label->grab().toImage();
    QCOMPARE(picture.size() / picture.devicePixelRatio(), size);
    // The box stays white at its lower right corner, where no short text reaches.
    QCOMPARE(picture.pixelColor(picture.width() - 1, picture.height() - 1), White);
    label->setText(before);
}

void TMainLayoutTest::DefaultAndCancelKeys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Enter in the list") << "sgObjectList" << int(Qt::Key_Return) << true;
    QTest::newRow("keypad Enter in the list") << "sgObjectList" << int(Qt::Key_Enter) << true;
    QTest::newRow("Escape in the list") << "sgObjectList" << int(Qt::Key_Escape) << true;
    QTest::newRow("Escape in the analysis grid") << "sgSamples" << int(Qt::Key_Escape) << true;
    QTest::newRow("Enter on OK") << "bbtnClose" << int(Qt::Key_Return) << true;
    QTest::newRow("Escape on the help button") << "bbtnHelpInfo" << int(Qt::Key_Escape) << true;
    QTest::newRow("Enter in the error text") << "memErrorText" << int(Qt::Key_Return) << false;
    QTest::newRow("Escape in the error text") << "memErrorText" << int(Qt::Key_Escape) << false;
    QTest::newRow("other keys in the list") << "sgObjectList" << int(Qt::Key_Space) << false;
}

void TMainLayoutTest::DefaultAndCancelKeys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(bool, closes);
    ShowForm();
    auto* panel = Find("pnlErrorText");
    const bool panelShown = focus == QLatin1String("memErrorText");
    if (panelShown) {
        panel->raise();
        panel->show();
    }
    QWidget* target = Find(focus.toLatin1());
    FForm->activateWindow();
    target->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), target);

    QSignalSpy pressed(Find<QPushButton>("bbtnClose"), &QPushButton::pressed);
    QSignalSpy clicked(Find<QPushButton>("bbtnClose"), &QPushButton::clicked);
    const int linesBefore = Find<QPlainTextEdit>("memErrorText")->blockCount();
    // Closing is observed at the button; the window itself stays for the next rows.
    FForm->setAttribute(Qt::WA_DeleteOnClose, false);
    QTest::keyClick(target, static_cast<Qt::Key>(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    if (closes) {
        QTRY_COMPARE(clicked.count(), 1);
        QTRY_VERIFY(!FForm->isVisible());
        ShowForm();
    } else {
        // A key that works the button presses it at once; the click follows later.
        QCOMPARE(pressed.count(), 0);
        QCOMPARE(clicked.count(), 0);
        QVERIFY(FForm->isVisible());
        if (panelShown && key == Qt::Key_Return)
            QCOMPARE(Find<QPlainTextEdit>("memErrorText")->blockCount(), linesBefore + 1);
    }
    if (panelShown) {
        Find<QPlainTextEdit>("memErrorText")->clear();
        panel->hide();
        panel->stackUnder(Find("bbtnClose"));
    }
}

void TMainLayoutTest::ScreenColours_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QColor>("colour");
    // Points in window coordinates inside each block, well clear of any text
    // in any font: a header probe lies right of its column's short heading.
    QTest::newRow("window face") << QPoint(300, 690) << ButtonFace;
    // The list: frame line, two header rows of 17, the selected row, then a white row.
    QTest::newRow("list cells") << QPoint(4 + 9 + 1 + 300, 1 + 16 + 1 + 34 + 17 + 8) << White;
    QTest::newRow("list selection") << QPoint(4 + 9 + 1 + 300, 1 + 16 + 1 + 34 + 8) << QColor(0, 120, 215);
    QTest::newRow("list header") << QPoint(4 + 9 + 1 + 420, 1 + 16 + 1 + 8) << ButtonFace;
    QTest::newRow("detail frame") << QPoint(4 + 379, 128 + 60) << ButtonFace;
    QTest::newRow("sampling point") << QPoint(4 + 8 + 360, 128 + 20 + 3) << QColor(166, 202, 240);
    QTest::newRow("operator") << QPoint(4 + 8 + 360, 128 + 197 + 120) << QColor(192, 220, 192);
    QTest::newRow("file format") << QPoint(4 + 383 + 370, 128 + 20 + 70) << QColor(255, 210, 255);
    QTest::newRow("sample data") << QPoint(4 + 383 + 10, 128 + 101 + 215) << QColor(255, 255, 174);
    QTest::newRow("analysis") << QPoint(4 + 8 + 750, 128 + 330 + 10) << QColor(168, 213, 213);
    QTest::newRow("analysis cells") << QPoint(4 + 8 + 11 + 300, 128 + 330 + 22 + 34 + 40) << QColor(140, 198, 198);
    QTest::newRow("analysis header") << QPoint(4 + 8 + 11 + 320, 128 + 330 + 22 + 8) << QColor(69, 146, 146);
    QTest::newRow("empty value box") << QPoint(4 + 8 + 56 + 300, 128 + 20 + 23 + 6) << White;
    QTest::newRow("beside the sampling title") << QPoint(4 + 8 + 130, 128 + 20 + 7) << QColor(166, 202, 240);
    QTest::newRow("caption label background") << QPoint(4 + 8 + 8, 128 + 20 + 72) << QColor(166, 202, 240);
    QTest::newRow("error panel hidden") << QPoint(400, 127) << ButtonFace;
    QTest::newRow("Label4 stays beneath the list") << QPoint(200, 24) << ButtonFace;
}

void TMainLayoutTest::ScreenColours()
{
    QFETCH(QPoint, point);
    QFETCH(QColor, colour);
    if (FPicture.isNull()) {
        ShowForm();
        FPicture = FForm->grab().toImage();
        const QString path = QStringLiteral(MORVASK_TEST_OUTPUT_DIR "/MainForm.png");
        QVERIFY(FPicture.save(path));
        const QByteArray extra = qgetenv("MORVASK_WINDOW_PNG");
        if (!extra.isEmpty())
            QVERIFY(FPicture.save(QString::fromLocal8Bit(extra)));
    }
    // Most of a small square around the point, within a little: a stray
    // antialiased pixel of another machine's fonts does not decide.
    const QColor seen = DominantColour(FPicture, QRect(point - QPoint(2, 2), QSize(5, 5)));
    QVERIFY2(NearColour(seen, colour, 8), qPrintable(ColourPair(seen, colour)));
}

void TMainLayoutTest::ErrorViewColours_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QColor>("colour");
    // Brought to the front and shown, the red panel covers both group boxes
    // except the strip above it; the buttons and the logo stay visible.
    QTest::newRow("panel beside its caption") << QPoint(4 + 500, 8 + 10) << QColor(255, 0, 0);
    QTest::newRow("panel over the list") << QPoint(4 + 3, 60) << QColor(255, 0, 0);
    QTest::newRow("panel over the analysis block") << QPoint(4 + 765, 8 + 655) << QColor(255, 0, 0);
    QTest::newRow("text box") << QPoint(4 + 13 + 400, 8 + 24 + 300) << White;
    QTest::newRow("text box scroll bar corner") << QPoint(4 + 13 + 746 - 8, 8 + 24 + 623 - 8) << ButtonFace;
    QTest::newRow("strip above the panel") << QPoint(400, 3) << ButtonFace;
    QTest::newRow("bottom row") << QPoint(300, 690) << ButtonFace;
    QTest::newRow("caption is white") << QPoint(-1, -1) << White;
}

void TMainLayoutTest::ErrorViewColours()
{
    QFETCH(QPoint, point);
    QFETCH(QColor, colour);
    if (FErrorPicture.isNull()) {
        ShowForm();
        auto* panel = Find("pnlErrorText");
        panel->raise();
        panel->show();
        FErrorPicture = FForm->grab().toImage();
        panel->hide();
        panel->stackUnder(Find("bbtnClose"));
        QVERIFY(FErrorPicture.save(QStringLiteral(MORVASK_TEST_OUTPUT_DIR "/MainFormErrorView.png")));
    }
    if (point.x() < 0) {
        // Some pixel of the bold caption is white, or nearly so where the
        // machine's fonts blend every stroke, on the red panel.
        const QRect caption = Find("Label66")->geometry().translated(4, 8);
        bool white = false;
        for (int y = caption.top(); y <= caption.bottom() && !white; ++y)
            for (int x = caption.left(); x <= caption.right() && !white; ++x)
                white = NearColour(PixelAt(FErrorPicture, {x, y}), colour, 64);
        QVERIFY(white);
        return;
    }
    const QColor seen = PixelAt(FErrorPicture, point);
    QVERIFY2(NearColour(seen, colour, 8), qPrintable(ColourPair(seen, colour)));
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ApplyClassicLook(application);
    TMainLayoutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainLayoutTest.moc"
