#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QUrl>

#include "CheckPath.h"
#include "ClassicLook.h"
#include "ErrorDisplay.h"
#include "FindComponent.h"
#include "HelpInfoForm.h"
#include "Main.h"
#include "MainFormFixture.h"
#include "RtfView.h"
#include "StringGrid.h"
#include "TransferFiles.h"

using namespace TransferFiles;

// What the main window offers beyond its layout: copying rows and values,
// find as you type in the examination list, and files dropped on the window.
class TMainWorkingAidsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void LooksTheSameAfterUse();
    void CopyRows_data();
    void CopyRows();
    void CopyKeys();
    void GridMenus_data();
    void GridMenus();
    void CopyValue();
    void Find_data();
    void Find();
    void FindInAMillion();
    void Drop_data();
    void Drop();
    void DropOnErrorText();
    void AccessibleValues_data();
    void AccessibleValues();
    void AccessibleGridsAndTexts();

private:
    template <class T = QWidget>
    T* Find(const char* name) const { return FindComponent<T>(*FForm, name); }
    TStringGrid* ObjectList() const { return Find<TStringGrid>("sgObjectList"); }
    TStringGrid* Samples() const { return Find<TStringGrid>("sgSamples"); }
    void Open(const QByteArray& text);
    QMenu* OpenMenu(QWidget* widget, QContextMenuEvent::Reason reason);

    QTemporaryDir FDir;
    TMainFormFixture FForm;
    int FFileNumber = 0;
    int64_t FNow = 0;
    QStringList FLaunched;
};

namespace {

const QString ObjectListHeading = QStringLiteral(
    "Nr.\tProben-ID des Labors Feld 3\tEntnahmestelle Feld 14\tProbenahme Feld 22\tVers.-Gebiet Feld 25\t"
    "Zust. GA Feld 35\n");
const QString SamplesHeading = QStringLiteral(
    "Nr.\tZeilen-Nr. in Datei\tParam.-ID Feld 44\tParam.-Text Feld 45\tU-Wert Feld 48\tEinheit Feld 50\t"
    "Beurteilung Feld 49\tVerfahren Feld 51\tU-Stelle Feld 52\tAusnahme Feld 53\n");

// Header line 1 of a block with some fields given.
QByteArray Header1With(int block, const QMap<int, QByteArray>& fields)
{
    QByteArray line = "1|E|";
    for (int field = 3; field <= 32; ++field)
        line += fields.value(field, "b" + QByteArray::number(block) + "f" + QByteArray::number(field)) + "|";
    return line;
}

// Three blocks; field 14 of block 2 holds Windows-1252 letters, leading
// zeros and a run of blanks, field 45 of its first parameter a tab.
QByteArray ThreeBlocks()
{
    QList<QByteArray> lines = Block(1, 2);
    lines += QList<QByteArray>{Header1With(2, {{14, "007 Gro\xDF  M\xFChle \x80"}}), Header2(2),
                               "2|b2p0f44|tab\there|" + Parameter(2, 0).mid(QByteArray("2|b2p0f44|b2p0f45|").size()),
                               Parameter(2, 1), Parameter(2, 2), EndLine(3)};
    lines += Block(3, 1);
    return Join(lines);
}

QString ListRow(int block)
{
    return QStringLiteral("%1\tb%1f3\tb%1f14\tb%1f22\tb%1f25\tb%1f35\n").arg(block);
}

QString SampleRow(int block, int k, int firstLine)
{
    QString row = QStringLiteral("%1\t%2").arg(k + 1).arg(firstLine + 3 + k);
    for (int field : {44, 45, 48, 50, 49, 51, 52, 53})
        row += QStringLiteral("\tb%1p%2f%3").arg(block).arg(k).arg(field);
    return row + QLatin1Char('\n');
}

// Types text key by key, as a keyboard layout with those letters would.
void Type(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &release);
    }
}

QMimeData* Urls(const QList<QUrl>& urls)
{
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

} // namespace

void TMainWorkingAidsTest::initTestCase()
{
    QVERIFY(FDir.isValid());
    FForm.Start();
    FForm->SetFileLauncher([this](const QString& path) {
        FLaunched << path;
        return true;
    });
    ObjectList()->SetTypeAheadClock([this] { return FNow; });
    QVERIFY(FForm.Show());
}

void TMainWorkingAidsTest::cleanupTestCase()
{
    FForm.Stop();
}

void TMainWorkingAidsTest::init()
{
    FLaunched.clear();
    FNow += 10 * TTypeAhead::Pause;
    QGuiApplication::clipboard()->clear();
    FForm->activateWindow();
    ObjectList()->setFocus();
}

void TMainWorkingAidsTest::Open(const QByteArray& text)
{
    const QString path = Write(FDir, text, QStringLiteral("file%1.dat").arg(++FFileNumber));
    QVERIFY(!path.isEmpty());
    FForm->LoadInvestigations(CheckPathBytes(path));
    FForm->ShowInvestigation();
}

QMenu* TMainWorkingAidsTest::OpenMenu(QWidget* widget, QContextMenuEvent::Reason reason)
{
    QWidget* target = widget;
    if (auto* view = qobject_cast<QAbstractScrollArea*>(widget))
        target = view->viewport();
    QContextMenuEvent event(reason, QPoint(5, 5), target->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(target, &event);
    QMenu* menu = nullptr;
    [&] { QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr); }();
    return menu;
}

void TMainWorkingAidsTest::LooksTheSameAfterUse()
{
    Open(ThreeBlocks());
    QCoreApplication::processEvents();
    const QImage before = FForm->grab().toImage();

    QTest::keyClick(ObjectList(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(ObjectList(), Qt::Key_Q); // matches nothing
    QMenu* menu = OpenMenu(Samples(), QContextMenuEvent::Mouse);
    QVERIFY(menu != nullptr);
    menu->close();
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    ObjectList()->setFocus();
    std::unique_ptr<QMimeData> web(Urls({QUrl(QStringLiteral("https://example.org/a.dat"))}));
    QDragEnterEvent refused(QPoint(100, 100), Qt::CopyAction, web.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(FForm.get(), &refused);

    QVERIFY(!QGuiApplication::clipboard()->text().isEmpty());
    QCOMPARE(FForm->grab().toImage(), before);
}

void TMainWorkingAidsTest::CopyRows_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("top"); // grid rows; -1: every row through the menu's "all rows"
    QTest::addColumn<int>("bottom");
    QTest::addColumn<QString>("expected");

    const QString block2 = QStringLiteral("2\tb2f3\t007 Gro\u00DF  M\u00FChle \u20AC\tb2f22\tb2f25\tb2f35\n");
    QTest::newRow("one examination") << "sgObjectList" << 3 << 3 << ObjectListHeading + block2;
    QTest::newRow("all examinations") << "sgObjectList" << -1 << -1
                                      << ObjectListHeading + ListRow(1) + block2 + ListRow(3);
    // The second block begins on line 6; its parameter 0 carries a tab.
    QString withTab = SampleRow(2, 0, 5);
    withTab.replace(QStringLiteral("b2p0f45"), QStringLiteral("\"tab\there\""));
    QTest::newRow("one parameter row") << "sgSamples" << 3 << 3 << SamplesHeading + SampleRow(2, 1, 5);
    QTest::newRow("range of parameter rows") << "sgSamples" << 2 << 3 << SamplesHeading + withTab + SampleRow(2, 1, 5);
    QTest::newRow("all parameter rows") << "sgSamples" << -1 << -1
                                        << SamplesHeading + withTab + SampleRow(2, 1, 5) + SampleRow(2, 2, 5);
}

void TMainWorkingAidsTest::CopyRows()
{
    QFETCH(QString, grid);
    QFETCH(int, top);
    QFETCH(int, bottom);
    QFETCH(QString, expected);
    Open(ThreeBlocks());
    ObjectList()->SetRow(3);
    emit ObjectList()->Click();
    auto* sg = Find<TStringGrid>(qPrintable(grid));
    sg->setFocus();
    if (top < 0) {
        if (sg == Samples())
            QTest::keyClick(sg, Qt::Key_A, Qt::ControlModifier);
        else
            QVERIFY(sg->CopyAllRows());
    } else {
        sg->SetRow(top);
        for (int row = top; row < bottom; ++row)
            QTest::keyClick(sg, Qt::Key_Down, Qt::ShiftModifier);
    }
    if (top >= 0 || sg == Samples())
        QTest::keyClick(sg, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
}

void TMainWorkingAidsTest::CopyKeys()
{
    Open(ThreeBlocks());
    ObjectList()->SetRow(4);
    // Ctrl+A keeps the list's one selected row; Ctrl+Insert copies it.
    QTest::keyClick(ObjectList(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(ObjectList()->SelectionTop(), 4);
    QCOMPARE(ObjectList()->SelectionBottom(), 4);
    QTest::keyClick(ObjectList(), Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), ObjectListHeading + ListRow(3));
    // An examination without parameters: nothing to copy, the clipboard stays.
    Open(Join(Block(1, 0)));
    QTest::keyClick(Samples(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), ObjectListHeading + ListRow(3));
}

void TMainWorkingAidsTest::GridMenus_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("reason");
    QTest::addColumn<QStringList>("actions");
    // Printing follows behind a separator.
    const QStringList print{"", "Drucken…", "Alle Untersuchungen drucken…", "Druckvorschau…"};
    const QStringList samples = QStringList{"Kopieren", "Alles markieren"} + print;
    const QStringList list = QStringList{"Kopieren", "Alle Zeilen kopieren", "Mit anderer Datei vergleichen…", "Inhalt prüfen…"} + print;
    QTest::newRow("list, right button") << "sgObjectList" << int(QContextMenuEvent::Mouse) << list;
    QTest::newRow("list, menu key") << "sgObjectList" << int(QContextMenuEvent::Keyboard) << list;
    QTest::newRow("analysis grid, right button") << "sgSamples" << int(QContextMenuEvent::Mouse) << samples;
    QTest::newRow("analysis grid, menu key") << "sgSamples" << int(QContextMenuEvent::Keyboard) << samples;
}

void TMainWorkingAidsTest::GridMenus()
{
    QFETCH(QString, grid);
    QFETCH(int, reason);
    QFETCH(QStringList, actions);
    Open(ThreeBlocks());
    auto* sg = Find<TStringGrid>(qPrintable(grid));
    sg->setFocus();
    QMenu* menu = OpenMenu(sg, static_cast<QContextMenuEvent::Reason>(reason));
    QVERIFY(menu != nullptr);
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text();
    QCOMPARE(texts, actions);
    // The second entry: every row on the clipboard, or every row selected.
    menu->actions().at(1)->trigger();
    menu->close();
    if (sg == Samples()) {
        QCOMPARE(sg->SelectionTop(), 2);
        QCOMPARE(sg->SelectionBottom(), 3);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    } else {
        QCOMPARE(QGuiApplication::clipboard()->text(), ObjectListHeading + ListRow(1) +
                                                           QStringLiteral("2\tb2f3\t007 Gro\u00DF  M\u00FChle "
                                                                          "\u20AC\tb2f22\tb2f25\tb2f35\n") +
                                                           ListRow(3));
    }
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
}

void TMainWorkingAidsTest::CopyValue()
{
    Open(ThreeBlocks());
    ObjectList()->SetRow(3);
    emit ObjectList()->Click();
    QMenu* menu = OpenMenu(Find<QLabel>("Label10"), QContextMenuEvent::Mouse);
    QVERIFY(menu != nullptr);
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("Wert kopieren"));
    menu->actions().at(0)->trigger();
    menu->close();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("007 Gro\u00DF  M\u00FChle \u20AC"));
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
}

void TMainWorkingAidsTest::Find_data()
{
    QTest::addColumn<int>("startRow");
    QTest::addColumn<QStringList>("keys"); // typed one after the other
    QTest::addColumn<QList<int>>("pauses"); // milliseconds before each key
    QTest::addColumn<int>("expectedRow");

    // Rows 2 to 9 show: Hamburg, Hannover, Berlin, bremen, Überlingen, Hamm,
    // Hamburg-Altona, Hamburg-Bergedorf.
    QTest::newRow("first letters") << 2 << QStringList{"h", "a", "n"} << QList<int>{0, 10, 10} << 3;
    QTest::newRow("without regard to case") << 2 << QStringList{"B", "R"} << QList<int>{0, 10} << 5;
    QTest::newRow("umlaut in either case") << 2 << QStringList{"\u00FC"} << QList<int>{0} << 6;
    QTest::newRow("same letter again goes on") << 2 << QStringList{"h"} << QList<int>{0} << 3;
    QTest::newRow("wraps at the end") << 9 << QStringList{"h"} << QList<int>{0} << 2;
    QTest::newRow("longer than the kept beginning") << 2 << QStringList{"hamburg-b"} << QList<int>{0} << 9;
    QTest::newRow("longer text may stay on the row") << 6 << QStringList{"h", "a"} << QList<int>{0, 999} << 7;
    QTest::newRow("a pause begins a new text") << 2 << QStringList{"h", "b"} << QList<int>{0, 1000} << 4;
    QTest::newRow("no match stays") << 4 << QStringList{"x"} << QList<int>{0} << 4;
    QTest::newRow("no match for the longer text") << 2 << QStringList{"h", "x"} << QList<int>{0, 10} << 3;
    QTest::newRow("a blank begins no text") << 2 << QStringList{" ", "\u00DC"} << QList<int>{0, 10} << 6;
    QTest::newRow("running number") << 2 << QStringList{"5"} << QList<int>{0} << 6;
    QTest::newRow("other column") << 2 << QStringList{"z", "z"} << QList<int>{0, 10} << 5;
    QTest::newRow("character the file cannot hold") << 2 << QStringList{"\u0142"} << QList<int>{0} << 2;
}

void TMainWorkingAidsTest::Find()
{
    QFETCH(int, startRow);
    QFETCH(QStringList, keys);
    QFETCH(QList<int>, pauses);
    QFETCH(int, expectedRow);
    const QList<QByteArray> places{"Hamburg", "Hannover", "Berlin", "bremen", "\xDC"
                                                                              "berlingen",
                                   "Hamm",
                                   "Hamburg-Altona", "Hamburg-Bergedorf"};
    QList<QByteArray> lines;
    for (int i = 0; i < places.size(); ++i) {
        QMap<int, QByteArray> fields{{14, places[i]}};
        if (i == 3)
            fields.insert(22, "ZZ-Probe");
        lines += QList<QByteArray>{Header1With(i + 1, fields), Header2(i + 1), EndLine(0)};
    }
    Open(Join(lines));
    ObjectList()->SetRow(startRow);
    emit ObjectList()->Click();
    for (int i = 0; i < keys.size(); ++i) {
        FNow += pauses[i];
        Type(ObjectList(), keys[i]);
    }
    QCOMPARE(ObjectList()->Row(), expectedRow);
    // The detail display follows the selection.
    QCOMPARE(FForm->CurrentIndex(), expectedRow - 2);
    QCOMPARE(Find<QLabel>("Label10")->text(), QString::fromLatin1(places[expectedRow - 2]));
}

void TMainWorkingAidsTest::FindInAMillion()
{
    // A million examinations of empty fields; the last one has a place.
    constexpr int Count = 1000000;
    const QByteArray empty = "1|E|" + QByteArray(30, '|') + "\n2|MATW|" + QByteArray(8, '|') + "\n3|0\n";
    QByteArray text;
    text.reserve(empty.size() * Count + 100);
    for (int i = 1; i < Count; ++i)
        text += empty;
    text += Header1With(Count, {{14, "Zwiesel"}}) + "\n" + Header2(Count) + "\n3|0\n";
    Open(text);
    QCOMPARE(FForm->InvestigationCount(), Count);
    Type(ObjectList(), QStringLiteral("zwi"));
    QCOMPARE(ObjectList()->Row(), Count + 1);
    QCOMPARE(FForm->CurrentIndex(), Count - 1);
    Type(ObjectList(), QStringLiteral("x"));
    QCOMPARE(ObjectList()->Row(), Count + 1);
}

void TMainWorkingAidsTest::Drop_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("launched");

    const QUrl one = QUrl::fromLocalFile(QStringLiteral("/tmp/a b/\u00C4rger 'x'.dat"));
    const QUrl folder = QUrl::fromLocalFile(QDir::tempPath());
    const QUrl web(QStringLiteral("https://example.org/WVMO_261015_093000.DAT"));
    QList<QUrl> twelve;
    for (int i = 0; i < 12; ++i)
        twelve << QUrl::fromLocalFile(QStringLiteral("/tmp/file%1.dat").arg(i));
    QTest::newRow("one file") << QList<QUrl>{one} << true << 1;
    QTest::newRow("three files") << twelve.mid(0, 3) << true << 3;
    QTest::newRow("at most ten") << twelve << true << 10;
    QTest::newRow("web address") << QList<QUrl>{web} << false << 0;
    QTest::newRow("file and web address") << QList<QUrl>{one, web} << false << 0;
    QTest::newRow("folder") << QList<QUrl>{folder} << false << 0;
    QTest::newRow("text only") << QList<QUrl>{} << false << 0;
}

void TMainWorkingAidsTest::Drop()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(bool, accepted);
    QFETCH(int, launched);
    std::unique_ptr<QMimeData> data(Urls(urls));
    if (urls.isEmpty())
        data->setText(QStringLiteral("/tmp/a.dat"));
    const QString title = FForm->windowTitle();
    const QPoint point(300, 400);
    QDragEnterEvent enter(point, Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(FForm.get(), &enter);
    QCOMPARE(enter.isAccepted(), accepted);
    QDropEvent drop(point, Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(FForm.get(), &drop);
    QCOMPARE(drop.isAccepted(), accepted);
    QCOMPARE(FLaunched.size(), launched);
    for (int i = 0; i < launched; ++i)
        QCOMPARE(FLaunched[i], urls[i].toLocalFile());
    // This window keeps its own file.
    QCOMPARE(FForm->windowTitle(), title);
}

void TMainWorkingAidsTest::DropOnErrorText()
{
    auto* memo = Find<QPlainTextEdit>("memErrorText");
    memo->setPlainText(QStringLiteral("Zeile 1"));
    std::unique_ptr<QMimeData> data(Urls({QUrl::fromLocalFile(QStringLiteral("/tmp/x.dat"))}));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(memo->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPoint(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(memo->viewport(), &drop);
    QCOMPARE(FLaunched, QStringList{QStringLiteral("/tmp/x.dat")});
    QCOMPARE(memo->toPlainText(), QStringLiteral("Zeile 1"));
    memo->clear();
}

void TMainWorkingAidsTest::AccessibleValues_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::newRow("beside its caption") << "Label33"
                                        << "Entnahmestelle, Kurzbez., Feld 16"
                                        << "b2f16";
    QTest::newRow("Windows-1252 value") << "Label10"
                                        << "Entnahmestelle, Bezeich., Feld 14"
                                        << "007 Gro\u00DF  M\u00FChle \u20AC";
    QTest::newRow("continues the line above") << "Label11"
                                              << "Entnahmestelle, Bezeich., Feld 15"
                                              << "b2f15";
    QTest::newRow("second box of a line") << "Label28"
                                          << "Betreiber (WVU), Adresse, Feld 10"
                                          << "b2f10";
    QTest::newRow("two captions on a line") << "Label30"
                                            << "Betreiber (WVU), Fax, Feld 12"
                                            << "b2f12";
    QTest::newRow("sample data") << "Label1"
                                 << "Probe-Daten, Proben-ID des Labors, Feld 3"
                                 << "b2f3";
}

void TMainWorkingAidsTest::AccessibleValues()
{
    QFETCH(QString, label);
    QFETCH(QString, name);
    QFETCH(QString, value);
    Open(ThreeBlocks());
    ObjectList()->SetRow(3);
    emit ObjectList()->Click();
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(Find<QLabel>(qPrintable(label)));
    QVERIFY(box != nullptr);
    QCOMPARE(box->text(QAccessible::Name), name);
    QCOMPARE(box->text(QAccessible::Value), value);
    QAccessibleTextInterface* text = box->textInterface();
    QVERIFY(text != nullptr);
    QCOMPARE(text->text(0, text->characterCount()), value);
}

void TMainWorkingAidsTest::AccessibleGridsAndTexts()
{
    Open(ThreeBlocks());
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(ObjectList());
    QCOMPARE(list->role(), QAccessible::Table);
    QCOMPARE(list->text(QAccessible::Name), QStringLiteral("\u00DCbermittelte Objekte"));
    QAccessibleTableInterface* table = list->tableInterface();
    QVERIFY(table != nullptr);
    QCOMPARE(table->columnDescription(2), QStringLiteral("Entnahmestelle Feld 14"));
    QCOMPARE(table->cellAt(1, 2)->text(QAccessible::Name), QStringLiteral("007 Gro\u00DF  M\u00FChle \u20AC"));
    QAccessibleInterface* samples = QAccessible::queryAccessibleInterface(Samples());
    QCOMPARE(samples->text(QAccessible::Name), QStringLiteral("Analyse-Daten"));
    QCOMPARE(samples->tableInterface()->columnDescription(1), QStringLiteral("Zeilen-Nr. in Datei"));

    const QList<QPair<const char*, QString>> named{
        {"memErrorText", QStringLiteral("Beim \u00D6ffnen der Datei sind die folgenden Fehler aufgetreten")},
        {"bbtnClose", QStringLiteral("OK")},
        {"bbtnHelpInfo", QStringLiteral("Hilfe / Nutzungsbedingungen")}};
    for (const auto& [component, name] : named)
        QCOMPARE(QAccessible::queryAccessibleInterface(Find(component))->text(QAccessible::Name), name);

    TfrmInfoHelp help;
    QAccessibleTextInterface* guide = QAccessible::queryAccessibleInterface(help.RichEditView())->textInterface();
    QVERIFY(guide != nullptr);
    QVERIFY(guide->text(0, guide->characterCount()).contains(QStringLiteral("Nutzungsbedingungen")));
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    ApplyClassicLook(application);
    TMainWorkingAidsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainWorkingAidsTest.moc"
