// Windows only: the system's open dialog as the viewer asks for it. A second
// thread plays the user: it waits for the dialog, reads its title, folder and
// filters through the dialog's own messages, then types a name or cancels.
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

#include "SystemDialogUser.h"
#include "SystemOpenDialog.h"

namespace {

using namespace SystemDialogUser;
const QStringList KFilters = {QStringLiteral("DAT-Dateien (*.dat)"), QStringLiteral("Alle Dateien (*.*)")};

} // namespace

class TSystemOpenDialogTest : public QObject {
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
};

void TSystemOpenDialogTest::answers_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("chosen");
    QTest::newRow("cancelled") << QString() << false;
    QTest::newRow("a name outside Windows-1252") << QStringLiteral("Prüfung Łódź.dat") << true;
    QTest::newRow("a missing name comes back too") << QStringLiteral("fehlt.dat") << true;
}

void TSystemOpenDialogTest::answers()
{
    QFETCH(QString, typed);
    QFETCH(bool, chosen);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    if (typed.startsWith(QStringLiteral("Prüfung"))) {
        QFile file(folder.filePath(typed));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString before = QDir::currentPath();

    TSeen seen;
    std::thread user(PlayUser, typed, std::ref(seen));
    const std::optional<QString> answer = SystemOpenDialog(nullptr, KOpenTitle, KFilters, folder.path());
    user.join();

    QCOMPARE(seen.Folder, QDir(folder.path()).absolutePath());
    QCOMPARE(seen.Filters, KFilters);
    QCOMPARE(seen.Selected, 0);
    QCOMPARE(answer.has_value(), chosen);
    if (chosen)
        QCOMPARE(QDir::fromNativeSeparators(*answer), QDir(folder.path()).absoluteFilePath(typed));
    QCOMPARE(QDir::currentPath(), before);
}

QTEST_MAIN(TSystemOpenDialogTest)
#include "SystemOpenDialogTest.moc"
