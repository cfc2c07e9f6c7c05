// The help window: its components, the document loaded once, modal showing and
// its results, hiding on close with everything kept for the next showing, and
// the window's own scroll bars.
#include <QApplication>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <functional>

#include "BitBtn.h"
#include "ClassicLook.h"
#include "HelpInfoForm.h"
#include "PixelProbe.h"
#include "RtfView.h"

namespace {

// Shows form modally; whileShown runs inside the modal loop once the window
// is exposed and must end the showing. Returns the modal result.
int ShowModalAndDo(TfrmInfoHelp& form, const std::function<void()>& whileShown)
{
    bool ran = false;
    QTimer::singleShot(0, &form, [&] {
        ran = QTest::qWaitForWindowExposed(&form);
        whileShown();
    });
    const int result = form.ShowModal();
    if (!ran)
        qWarning("the modal showing ended before the test could act");
    return result;
}

QWidget* Component(TfrmInfoHelp& form, const char* name)
{
    return form.findChild<QWidget*>(QLatin1String(name));
}

} // namespace

class THelpInfoFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void window();
    void components_data();
    void components();
    void richEditIsAReadOnlyPage();
    void modalResult_data();
    void modalResult();
    void secondShowingKeepsState();
    void firstShowingFocusesOk();
    void scrollBarsOnlyWhenSmallerThanContents();
    void scrollBarThumbStandsOut();
};

void THelpInfoFormTest::initTestCase()
{
    ApplyClassicLook(*qApp);
}

void THelpInfoFormTest::window()
{
    TfrmInfoHelp form;
    QCOMPARE(form.objectName(), u"frmInfoHelp"_qs);
    QCOMPARE(form.windowTitle(), u"Hilfe und Informationen zum Programm"_qs);
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowMaximizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(!form.isVisible()); // created hidden

    QRect outer;
    ShowModalAndDo(form, [&] {
        outer = form.frameGeometry();
        form.close();
    });
    QCOMPARE(outer.topLeft(), QPoint(273, 103));
    QCOMPARE(outer.size(), QSize(545, 630));
}

void THelpInfoFormTest::components_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("Shape1") << u"Shape1"_qs << QRect(2, 4, 13, 546);
    QTest::newRow("BitBtn1") << u"BitBtn1"_qs << QRect(400, 568, 129, 28);
    QTest::newRow("RichEdit") << u"RichEdit"_qs << QRect(14, 4, 521, 545);
}

void THelpInfoFormTest::components()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    TfrmInfoHelp form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget* component = Component(form, qPrintable(name));
    QVERIFY(component != nullptr);
    QCOMPARE(component->geometry(), geometry);
    QVERIFY(component->isVisible());
    if (name == u"Shape1"_qs) {
        QVERIFY(component->autoFillBackground());
        QCOMPARE(component->palette().color(QPalette::Window), QColor(255, 255, 255));
        QCOMPARE(component->focusPolicy(), Qt::NoFocus);
    } else if (name == u"BitBtn1"_qs) {
        auto* button = qobject_cast<TBitBtn*>(component);
        QVERIFY(button != nullptr);
        QCOMPARE(button->text(), u"OK"_qs);
        QVERIFY(button->isDefault());
        QVERIFY(!button->icon().isNull());
        QCOMPARE(button->ModalResult(), 1);
        // Tab order: the button, then the text.
        QCOMPARE(button->nextInFocusChain(), Component(form, "RichEdit"));
    }
    // Seen on screen: the white margin and the white page meet; most of a
    // band across the page's middle is white, whatever the fonts put there.
    const QImage shot = form.grab().toImage();
    const QPoint origin = component->mapTo(&form, QPoint(0, 0));
    if (name != u"BitBtn1"_qs)
        QCOMPARE(DominantColour(shot, QRect(origin + QPoint(geometry.width() / 4, 250), QSize(geometry.width() / 2, 100))),
                 QColor(255, 255, 255));
}

void THelpInfoFormTest::richEditIsAReadOnlyPage()
{
    TfrmInfoHelp form;
    TRtfView* view = form.RichEditView();
    QCOMPARE(view, Component(form, "RichEdit"));
    QVERIFY(view->isReadOnly());
    QCOMPARE(view->frameShape(), QFrame::NoFrame);
    QCOMPARE(view->lineWrapMode(), QTextEdit::WidgetWidth);
    QCOMPARE(view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(view->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff);
    QCOMPARE(view->palette().color(QPalette::Base), QColor(255, 255, 255));
    // The document is there as formatted text, not as its source.
    const QString text = view->document()->toPlainText();
    QVERIFY(text.startsWith(u"Landesamt"_qs));
    QVERIFY(!text.contains(QLatin1Char('\\')));
    QVERIFY(view->document()->blockCount() > 30);
    // Typing changes nothing.
    form.show();
    view->setFocus();
    QTest::keyClicks(view, u"abc"_qs);
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(view->document()->toPlainText(), text);
}

void THelpInfoFormTest::modalResult_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("expected");
    QTest::newRow("click on OK") << u"click"_qs << 1;
    QTest::newRow("Enter on OK") << u"enter-button"_qs << 1;
    QTest::newRow("Enter in the text") << u"enter-text"_qs << 1;
    QTest::newRow("Escape") << u"escape"_qs << 1;
    QTest::newRow("close box") << u"close"_qs << 2;
}

void THelpInfoFormTest::modalResult()
{
    QFETCH(QString, how);
    QFETCH(int, expected);
    TfrmInfoHelp form;
    QWidget* main = new QWidget;
    main->show();
    bool modal = false;
    bool mainBlocked = false;
    const int result = ShowModalAndDo(form, [&] {
        modal = QApplication::activeModalWidget() == &form;
        mainBlocked = main->testAttribute(Qt::WA_Disabled) || QApplication::activeModalWidget() != nullptr;
        auto* button = qobject_cast<QPushButton*>(Component(form, "BitBtn1"));
        QWidget* text = Component(form, "RichEdit");
        if (how == u"click"_qs) {
            QTest::mouseClick(button, Qt::LeftButton);
        } else if (how == u"enter-button"_qs) {
            button->setFocus();
            QTest::keyClick(button, Qt::Key_Return);
        } else if (how == u"enter-text"_qs) {
            text->setFocus();
            QTest::keyClick(text, Qt::Key_Return);
        } else if (how == u"escape"_qs) {
            text->setFocus();
            QTest::keyClick(text, Qt::Key_Escape);
        } else {
            form.close();
        }
    });
    delete main;
    QVERIFY(modal);
    QVERIFY(mainBlocked);
    QCOMPARE(result, expected);
    // Closed means hidden: the window lives on.
    QVERIFY(!form.isVisible());
    QVERIFY(!form.testAttribute(Qt::WA_DeleteOnClose));
}

void THelpInfoFormTest::secondShowingKeepsState()
{
    TfrmInfoHelp form;
    TRtfView* view = form.RichEditView();
    QSignalSpy reloads(view->document(), &QTextDocument::contentsChange);

    ShowModalAndDo(form, [&] {
        form.resize(420, 360);
        form.move(150, 90);
        view->setFocus();
        view->verticalScrollBar()->setValue(300);
        form.close();
    });
    QRect geometry;
    int scroll = -1;
    QWidget* focused = nullptr;
    bool visible = false;
    ShowModalAndDo(form, [&] {
        visible = form.isVisible();
        geometry = QRect(form.frameGeometry().topLeft(), form.size());
        scroll = view->verticalScrollBar()->value();
        focused = form.focusWidget();
        form.close();
    });
    QVERIFY(visible);
    QCOMPARE(geometry.topLeft(), QPoint(150, 90));
    QCOMPARE(geometry.size(), QSize(420, 360));
    QCOMPARE(scroll, 300);
    QCOMPARE(focused, static_cast<QWidget*>(view));
    QCOMPARE(reloads.count(), 0);
}

void THelpInfoFormTest::firstShowingFocusesOk()
{
    TfrmInfoHelp form;
    QWidget* focused = nullptr;
    int scroll = -1;
    ShowModalAndDo(form, [&] {
        focused = form.focusWidget();
        scroll = form.RichEditView()->verticalScrollBar()->value();
        form.close();
    });
    QCOMPARE(focused, Component(form, "BitBtn1"));
    QCOMPARE(scroll, 0); // the document opens at its top
}

void THelpInfoFormTest::scrollBarsOnlyWhenSmallerThanContents()
{
    TfrmInfoHelp form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* box = form.findChild<QScrollArea*>();
    QVERIFY(box != nullptr);
    QWidget* button = Component(form, "BitBtn1");
    QWidget* text = Component(form, "RichEdit");

    form.resize(300, 200);
    QTRY_VERIFY(box->horizontalScrollBar()->isVisible());
    QTRY_VERIFY(box->verticalScrollBar()->isVisible());
    // Scrolled to the far corner, the button is reached.
    box->horizontalScrollBar()->setValue(box->horizontalScrollBar()->maximum());
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
    const QRect seen = QRect(button->mapTo(box->viewport(), QPoint(0, 0)), button->size());
    QVERIFY(box->viewport()->rect().contains(seen));

    form.resize(900, 900);
    QTRY_VERIFY(!box->horizontalScrollBar()->isVisible());
    QTRY_VERIFY(!box->verticalScrollBar()->isVisible());
    QCOMPARE(text->geometry(), QRect(14, 4, 521, 545));
    QCOMPARE(button->geometry(), QRect(400, 568, 129, 28));
    QCOMPARE(text->mapTo(&form, QPoint(0, 0)), QPoint(14, 4));
}

void THelpInfoFormTest::scrollBarThumbStandsOut()
{
    TfrmInfoHelp form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QScrollBar* bar = form.RichEditView()->verticalScrollBar();
    QTRY_VERIFY(bar->isVisible() && bar->maximum() > 0);

    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    QVERIFY(thumb.height() > 8);
    // Button face inside a dark lower and right edge, on the white page.
    const QImage shot = bar->grab().toImage();
    QCOMPARE(PixelAt(shot, thumb.center()), QColor(240, 240, 240));
    QVERIFY(qGray(PixelAt(shot, {thumb.center().x(), thumb.bottom()}).rgb()) < 128);
    QVERIFY(qGray(PixelAt(shot, {thumb.right(), thumb.center().y()}).rgb()) < 128);
}

QTEST_MAIN(THelpInfoFormTest)
#include "HelpInfoFormTest.moc"
