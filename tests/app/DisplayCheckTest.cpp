#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "DisplayCheck.h"

namespace {

const char* const KVariables[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"};

// A Unix socket that accepts connections, standing in for a compositor.
class TListeningSocket {
public:
    explicit TListeningSocket(const QString& path)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray bytes = QFile::encodeName(path);
        if (std::size_t(bytes.size()) >= sizeof address.sun_path)
            return;
        std::memcpy(address.sun_path, bytes.constData(), bytes.size() + 1);
        FFd = socket(AF_UNIX, SOCK_STREAM, 0);
        FListening = FFd >= 0 && bind(FFd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(FFd, 4) == 0;
    }
    ~TListeningSocket()
    {
        if (FFd >= 0)
            close(FFd);
    }
    bool Listening() const { return FListening; }

private:
    int FFd = -1;
    bool FListening = false;
};

} // namespace

class TDisplayCheckTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void verdict_data();
    void verdict();
};

void TDisplayCheckTest::init()
{
    for (const char* name : KVariables)
        unsetenv(name);
}

void TDisplayCheckTest::verdict_data()
{
    // Environment as "NAME=value" entries; RUNTIME stands for a folder holding
    // a live socket "wayland-live". An empty expectation means "reachable or
    // left to the toolkit".
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QString>("messagePart");

    QTest::newRow("nothing set") << QStringList() << "weder DISPLAY noch WAYLAND_DISPLAY";
    QTest::newRow("offscreen platform is the toolkit's business")
        << QStringList{"QT_QPA_PLATFORM=offscreen"} << "";
    QTest::newRow("platform with options") << QStringList{"QT_QPA_PLATFORM=vnc:size=800x600"} << "";
    QTest::newRow("X display that nobody serves")
        << QStringList{"DISPLAY=:987"} << "Die Anzeige \":987\" ist nicht erreichbar";
    QTest::newRow("xcb asked for, no display") << QStringList{"QT_QPA_PLATFORM=xcb"} << "weder DISPLAY";
    QTest::newRow("compositor socket missing")
        << QStringList{"WAYLAND_DISPLAY=wayland-gone", "XDG_RUNTIME_DIR=RUNTIME"}
        << "\"wayland-gone\" ist nicht erreichbar";
    QTest::newRow("compositor without runtime folder")
        << QStringList{"WAYLAND_DISPLAY=wayland-live"} << "\"wayland-live\"";
    QTest::newRow("live compositor")
        << QStringList{"WAYLAND_DISPLAY=wayland-live", "XDG_RUNTIME_DIR=RUNTIME"} << "";
    QTest::newRow("live compositor by absolute path")
        << QStringList{"WAYLAND_DISPLAY=RUNTIME/wayland-live"} << "";
    QTest::newRow("wayland listed before xcb")
        << QStringList{"QT_QPA_PLATFORM=wayland;xcb", "WAYLAND_DISPLAY=wayland-live", "XDG_RUNTIME_DIR=RUNTIME"}
        << "";
    QTest::newRow("xcb only although a compositor runs")
        << QStringList{"QT_QPA_PLATFORM=xcb", "WAYLAND_DISPLAY=wayland-live", "XDG_RUNTIME_DIR=RUNTIME"}
        << "(DISPLAY ist nicht gesetzt)";
}

void TDisplayCheckTest::verdict()
{
    QFETCH(QStringList, environment);
    QFETCH(QString, messagePart);

    // A socket's path holds at most 107 bytes: under a long temporary folder
    // the runtime folder goes to /tmp, as a compositor's would be short too.
    QTemporaryDir runtime;
    if (runtime.isValid() && QFile::encodeName(runtime.path()).size() > 80)
        runtime = QTemporaryDir(QStringLiteral("/tmp/morvask-XXXXXX"));
    QVERIFY(runtime.isValid());
    TListeningSocket compositor(runtime.path() + QStringLiteral("/wayland-live"));
    QVERIFY2(compositor.Listening(), qPrintable(runtime.path()));

    for (const QString& entry : environment) {
        const qsizetype equals = entry.indexOf(QLatin1Char('='));
        QString value = entry.mid(equals + 1);
        value.replace(QStringLiteral("RUNTIME"), runtime.path());
        QVERIFY(setenv(entry.left(equals).toLocal8Bit().constData(), value.toLocal8Bit().constData(), 1) == 0);
    }
    const QString message = QString::fromStdString(MissingDisplayMessage());
    if (messagePart.isEmpty()) {
        QCOMPARE(message, QString());
    } else {
        QVERIFY2(message.contains(messagePart), qPrintable(message));
        QVERIFY(message.startsWith(QStringLiteral("morvask-betrachter: ")));
        QVERIFY(!message.contains(QLatin1Char('\n')));
    }
}

QTEST_GUILESS_MAIN(TDisplayCheckTest)
#include "DisplayCheckTest.moc"
