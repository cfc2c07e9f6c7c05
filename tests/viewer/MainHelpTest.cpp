// The main window's ways into the help: F1 with any modifiers, whatever the
// window shows, consumed before the focused component sees it; other keys pass
// on; the help button; the same help window each time, never reloaded.
#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <functional>
#include <memory>

#include "ClassicLook.h"
#include "ErrorDisplay.h"
#include "HelpInfoForm.h"
#include "Main.h"
#include "MainFormFixture.h"
#include "RtfView.h"

namespace {

// Counts the key presses and show events an object receives.
class TEventCounter : public QObject {
public:
    int Count(int key) const { return FKeys.count(key); }
    int Shows = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            FKeys.append(static_cast<QKeyEvent*>(event)->key());
        else if (event->type() == QEvent::Show)
            ++Shows;
        return false;
    }

private:
    QList<int> FKeys;
};

} // namespace

class TMainHelpTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void f1OpensHelpModally_data();
    void f1OpensHelpModally();
    void otherKeysPassOn_data();
    void otherKeysPassOn();
    void helpButtonOpensHelp();
    void secondShowingIsTheSameWindow();
    void f1WhileHelpIsOpenDoesNothing();
    void withoutHelpWindowNothingOpens();

private:
    // Presses key at the focused component; whileShown runs if the help opens
    // and closes it. Returns whether the help was shown modally.
    bool PressAndWatch(int key, Qt::KeyboardModifiers modifiers, const std::function<void()>& whileShown = {});
    // Runs action; whileShown runs inside every modal showing of the help that
    // it starts, which is then closed. Returns whether it was shown exactly once.
    bool WatchShowings(const std::function<void()>& action, const std::function<void()>& whileShown);
    QWidget* Focused() const;

    TMainFormFixture FForm;
    QTemporaryDir FDir;
    QString FBadFile;
};

void TMainHelpTest::initTestCase()
{
    ApplyClassicLook(*qApp);
    QVERIFY(FDir.isValid());
    FBadFile = FDir.filePath(QStringLiteral("kaputt.dat"));
    QFile bad(FBadFile);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    const QByteArray text = "keine|Transferdatei\r\n";
    QVERIFY(bad.write(text) == text.size() && bad.flush());
    bad.close();

    FForm.Start(TMainFormFixture::Silent(), true);
    QVERIFY(FForm.Show());
}

void TMainHelpTest::cleanupTestCase()
{
    FForm.Stop();
}

QWidget* TMainHelpTest::Focused() const
{
    QWidget* focused = QApplication::focusWidget();
    return focused != nullptr && focused->window() == FForm.get() ? focused : FForm.get();
}

bool TMainHelpTest::WatchShowings(const std::function<void()>& action, const std::function<void()>& whileShown)
{
    // The showing is modal: action returns once the help has closed again.
    // Every showing is closed, so a fault that opens the help more than once
    // fails the test instead of hanging it.
    int showings = 0;
    bool shownModally = false;
    struct TShowWatch : QObject {
        std::function<void()> OnShow;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Show)
                QTimer::singleShot(0, this, OnShow);
            return false;
        }
    } watcher;
    watcher.OnShow = [&] {
        if (++showings == 1) {
            shownModally = QApplication::activeModalWidget() == FForm.Help();
            if (whileShown)
                whileShown();
        }
        FForm.Help()->close();
    };
    FForm.Help()->installEventFilter(&watcher);
    action();
    FForm.Help()->removeEventFilter(&watcher);
    if (showings > 1)
        qWarning("the help was shown %d times for one request", showings);
    return shownModally && showings == 1;
}

bool TMainHelpTest::PressAndWatch(int key, Qt::KeyboardModifiers modifiers, const std::function<void()>& whileShown)
{
    return WatchShowings([&] { QTest::keyClick(Focused(), static_cast<Qt::Key>(key), modifiers); }, whileShown);
}

void TMainHelpTest::f1OpensHelpModally_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    // The rows run in order: nothing is shown until the first file is opened.
    QTest::newRow("nothing shown") << u"nothing"_qs << Qt::KeyboardModifiers();
    QTest::newRow("nothing shown, Shift") << u"nothing"_qs << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("error panel") << u"error"_qs << Qt::KeyboardModifiers();
    QTest::newRow("error panel, Ctrl") << u"error"_qs << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("data") << u"data"_qs << Qt::KeyboardModifiers();
    QTest::newRow("data, Alt") << u"data"_qs << Qt::KeyboardModifiers(Qt::AltModifier);
    QTest::newRow("data, Ctrl+Shift+Alt")
        << u"data"_qs << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
}

void TMainHelpTest::f1OpensHelpModally()
{
    QFETCH(QString, view);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    auto* errorPanel = FForm->findChild<QWidget*>(QStringLiteral("pnlErrorText"));
    QVERIFY(errorPanel != nullptr);
    if (view == u"error"_qs) {
        Guarded([&] { FForm->OpenTransferFile(FBadFile); }, FForm->ErrorSink());
        QVERIFY(errorPanel->isVisible());
    } else if (view == u"data"_qs) {
        Guarded([&] { FForm->OpenTransferFile(QStringLiteral(MORVASK_EXAMPLES_DIR "/WVMO_261015_093000.DAT")); }, FForm->ErrorSink());
        QVERIFY(!errorPanel->isVisible());
        QVERIFY(FForm->InvestigationCount() > 0);
    } else {
        QVERIFY(!errorPanel->isVisible());
        QCOMPARE(FForm->InvestigationCount(), 0);
    }
    FForm->activateWindow();
    auto* grid = FForm->findChild<QWidget*>(QStringLiteral("sgObjectList"));
    QVERIFY(grid != nullptr);
    grid->setFocus();
    QWidget* focused = Focused();
    TEventCounter counter;
    focused->installEventFilter(&counter);

    QVERIFY(PressAndWatch(Qt::Key_F1, modifiers));
    focused->removeEventFilter(&counter);
    QCOMPARE(counter.Count(Qt::Key_F1), 0); // consumed before the focused component
    QVERIFY(!FForm.Help()->isVisible());
}

void TMainHelpTest::otherKeysPassOn_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("F2") << int(Qt::Key_F2);
    QTest::newRow("letter") << int(Qt::Key_A);
    QTest::newRow("arrow") << int(Qt::Key_Down);
}

void TMainHelpTest::otherKeysPassOn()
{
    QFETCH(int, key);
    FForm->findChild<QWidget*>(QStringLiteral("sgObjectList"))->setFocus();
    QWidget* focused = Focused();
    TEventCounter counter;
    focused->installEventFilter(&counter);
    QVERIFY(!PressAndWatch(key, Qt::NoModifier));
    focused->removeEventFilter(&counter);
    QCOMPARE(counter.Count(key), 1);
}

void TMainHelpTest::helpButtonOpensHelp()
{
    auto* button = FForm->findChild<QPushButton*>(QStringLiteral("bbtnHelpInfo"));
    QVERIFY(button != nullptr);
    QVERIFY(WatchShowings([&] { QTest::mouseClick(button, Qt::LeftButton); }, {}));
    QVERIFY(!FForm.Help()->isVisible());
}

void TMainHelpTest::secondShowingIsTheSameWindow()
{
    TRtfView* view = FForm.Help()->RichEditView();
    QSignalSpy reloads(view->document(), &QTextDocument::contentsChange);
    QVERIFY(PressAndWatch(Qt::Key_F1, Qt::NoModifier, [&] { view->verticalScrollBar()->setValue(250); }));
    int scroll = -1;
    QVERIFY(PressAndWatch(Qt::Key_F1, Qt::NoModifier, [&] { scroll = view->verticalScrollBar()->value(); }));
    QCOMPARE(scroll, 250);
    QCOMPARE(reloads.count(), 0);
}

void TMainHelpTest::f1WhileHelpIsOpenDoesNothing()
{
    TEventCounter counter;
    FForm.Help()->installEventFilter(&counter);
    QVERIFY(PressAndWatch(Qt::Key_F1, Qt::NoModifier, [&] {
        QWidget* inHelp = FForm.Help()->focusWidget() != nullptr ? FForm.Help()->focusWidget() : FForm.Help();
        QTest::keyClick(inHelp, Qt::Key_F1);
        QTest::keyClick(FForm.get(), Qt::Key_F1); // the blocked main window
        QVERIFY(FForm.Help()->isVisible());
    }));
    FForm.Help()->removeEventFilter(&counter);
    QCOMPARE(counter.Shows, 1);
}

void TMainHelpTest::withoutHelpWindowNothingOpens()
{
    FForm->SetHelpForm(nullptr);
    FForm->findChild<QWidget*>(QStringLiteral("sgObjectList"))->setFocus();
    QWidget* focused = Focused();
    TEventCounter counter;
    focused->installEventFilter(&counter);
    const bool opened = PressAndWatch(Qt::Key_F1, Qt::NoModifier);
    focused->removeEventFilter(&counter);
    QTest::mouseClick(FForm->findChild<QPushButton*>(QStringLiteral("bbtnHelpInfo")), Qt::LeftButton);
    FForm->SetHelpForm(FForm.Help());
    QVERIFY(!opened);
    QCOMPARE(counter.Count(Qt::Key_F1), 0); // still consumed
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    TMainHelpTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainHelpTest.moc"
