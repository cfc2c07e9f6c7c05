#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <new>
#include <stdexcept>

#include "ErrorDisplay.h"
#include "FileOpenError.h"

namespace {

struct TShown {
    int Count = 0;
    QString Title;
    QString Text;
};

// Captures what the display would show.
TErrorSink Recorder(TShown& shown)
{
    return [&shown](const QString& title, const QString& text) {
        ++shown.Count;
        shown.Title = title;
        shown.Text = text;
    };
}

enum class TThrow { OpenError,
                    OutOfMemory,
                    Runtime,
                    NotAnException };

void ThrowOne(TThrow kind, const QByteArray& detail)
{
    switch (kind) {
    case TThrow::OpenError:
        throw EFileOpenError(detail.toStdString());
    case TThrow::OutOfMemory:
        throw std::bad_alloc();
    case TThrow::Runtime:
        throw std::runtime_error(detail.toStdString());
    case TThrow::NotAnException:
        throw 42;
    }
}

} // namespace

Q_DECLARE_METATYPE(TThrow)

class TErrorDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void fullStop_data();
    void fullStop();
    void title_data();
    void title();
    void guardedShowsText_data();
    void guardedShowsText();
    void guardedQuietWithoutFailure();
    void messageBoxLooksAsExpected();
};

void TErrorDisplayTest::fullStop_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "kann nicht geöffnet werden"
                            << "kann nicht geöffnet werden.";
    QTest::newRow("digit") << "Zeile 12"
                           << "Zeile 12.";
    QTest::newRow("umlaut") << "zu groß"
                            << "zu groß.";
    QTest::newRow("slash sorts after the dot") << "a/"
                                               << "a/.";
    QTest::newRow("colon") << "Wert:"
                           << "Wert:.";
    QTest::newRow("exclamation") << "NICHT möglich !!!"
                                 << "NICHT möglich !!!";
    QTest::newRow("closing parenthesis") << "(Feld 3)"
                                         << "(Feld 3)";
    QTest::newRow("full stop") << "Ende."
                               << "Ende.";
    QTest::newRow("hyphen sorts before the dot") << "a -"
                                                 << "a -";
    QTest::newRow("trailing blank") << "a "
                                    << "a ";
    QTest::newRow("line break") << "a\n"
                                << "a\n";
    QTest::newRow("empty") << ""
                           << "";
}

void TErrorDisplayTest::fullStop()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(WithFullStop(text), shown);
}

void TErrorDisplayTest::title_data()
{
    QTest::addColumn<QString>("programFile");
    QTest::addColumn<QString>("title");
    QTest::newRow("installed name stays") << "/usr/bin/morvask-betrachter"
                                          << "morvask-betrachter";
    QTest::newRow("extension cut, rest lowered") << "C:/Programme/MORVASK.EXE"
                                                 << "Morvask";
    QTest::newRow("cut at the first dot") << "/opt/Viewer.bin.old"
                                          << "Viewer";
    QTest::newRow("first character kept as is") << "/opt/dATEN-Sicht"
                                                << "daten-sicht";
    QTest::newRow("umlauts lowered") << "/opt/ÜBERSICHT.X"
                                     << "Übersicht";
    QTest::newRow("dot in a folder does not count") << "/home/a.b/Viewer"
                                                    << "Viewer";
    QTest::newRow("leading dot keeps the name") << "/tmp/.Hidden"
                                                << ".hidden";
}

void TErrorDisplayTest::title()
{
    QFETCH(QString, programFile);
    QFETCH(QString, title);
    QCOMPARE(ApplicationTitleFor(programFile), title);
}

void TErrorDisplayTest::guardedShowsText_data()
{
    QTest::addColumn<TThrow>("kind");
    QTest::addColumn<QByteArray>("detail");
    QTest::addColumn<QString>("text");
    QTest::newRow("missing file, absolute")
        << TThrow::OpenError << QByteArray("/tmp/nicht da.dat") << "Datei /tmp/nicht da.dat kann nicht geöffnet werden.";
    QTest::newRow("missing file, relative path stays relative")
        << TThrow::OpenError << QByteArray("examples/X.DAT") << "Datei examples/X.DAT kann nicht geöffnet werden.";
    // The path is a file-system name (UTF-8 here), not Windows-1252.
    QTest::newRow("path decoded as a file name")
        << TThrow::OpenError << QByteArray("/daten/Prüfung.dat") << "Datei /daten/Prüfung.dat kann nicht geöffnet werden.";
    QTest::newRow("path with markup characters")
        << TThrow::OpenError << QByteArray("<b>&a.dat") << "Datei <b>&a.dat kann nicht geöffnet werden.";
    QTest::newRow("out of memory") << TThrow::OutOfMemory << QByteArray() << "Nicht genügend Arbeitsspeicher.";
    QTest::newRow("other failure, UTF-8 text")
        << TThrow::Runtime << QByteArray("Fehler in Zeile \xC3\xA4") << "Fehler in Zeile ä.";
    QTest::newRow("other failure ending in !") << TThrow::Runtime << QByteArray("Abbruch !") << "Abbruch !";
    QTest::newRow("not an exception") << TThrow::NotAnException << QByteArray() << "Unbekannter Fehler.";
}

void TErrorDisplayTest::guardedShowsText()
{
    QFETCH(TThrow, kind);
    QFETCH(QByteArray, detail);
    QFETCH(QString, text);

    TShown shown;
    bool reachedEnd = false;
    Guarded(
        [&] {
            ThrowOne(kind, detail);
            reachedEnd = true;
        },
        Recorder(shown));
    QVERIFY(!reachedEnd);
    QCOMPARE(shown.Count, 1);
    QCOMPARE(shown.Text, text);
    QCOMPARE(shown.Title, ApplicationTitleFor(QCoreApplication::applicationFilePath()));
}

void TErrorDisplayTest::guardedQuietWithoutFailure()
{
    TShown shown;
    int runs = 0;
    Guarded([&] { ++runs; }, Recorder(shown));
    QCOMPARE(runs, 1);
    QCOMPARE(shown.Count, 0);
}

// Without a sink the real message box comes up: stop icon, one "OK" button,
// the text shown literally; "OK" closes it and the program goes on.
void TErrorDisplayTest::messageBoxLooksAsExpected()
{
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString text;
    QString title;
    Qt::TextFormat format = Qt::AutoText;
    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || seen)
            return;
        seen = true;
        icon = box->icon();
        for (QAbstractButton* button : box->buttons())
            buttons << button->text();
        text = box->text();
        title = box->windowTitle();
        format = box->textFormat();
        box->button(QMessageBox::Ok)->click();
    });
    poll.start();
    QTimer::singleShot(5000, &poll, [&] { QApplication::exit(); }); // never hang the run

    Guarded([] { throw EFileOpenError("/tmp/<fehlt>.dat"); });
    poll.stop();

    QVERIFY(seen);
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(buttons, QStringList{QStringLiteral("OK")});
    QCOMPARE(text, QStringLiteral("Datei /tmp/<fehlt>.dat kann nicht geöffnet werden."));
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(title, ApplicationTitle());
}

QTEST_MAIN(TErrorDisplayTest)
#include "ErrorDisplayTest.moc"
