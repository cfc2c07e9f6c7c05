// Windows only: the system's open dialog as the viewer asks for it. A second
// thread plays the user: it waits for the dialog, reads its title, folder and
// filters through the dialog's own messages, then types a name or cancels.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <windows.h>
// After windows.h, whose declarations it needs.
#include <commdlg.h>
#include <dlgs.h>

#include <chrono>
#include <thread>

#include "SystemOpenDialog.h"

namespace {

const QString KTitle = QStringLiteral("Morvask-Betrachter  -  Schnittstellen-Datei öffnen ...");
const QStringList KFilters = {QStringLiteral("DAT-Dateien (*.dat)"), QStringLiteral("Alle Dateien (*.*)")};

struct TSeen {
    QString Folder;
    QStringList Filters;
    int Selected = -1;
};

HWND WaitForDialog()
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        if (HWND dialog = FindWindowW(L"#32770", reinterpret_cast<LPCWSTR>(KTitle.utf16())))
            return dialog;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return nullptr;
}

// What the dialog shows, then the user's answer: a typed name, or Escape when empty.
void PlayUser(const QString& typed, TSeen& seen)
{
    const HWND dialog = WaitForDialog();
    if (dialog == nullptr)
        return;
    wchar_t folder[MAX_PATH * 4] = {};
    if (SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH * 4, reinterpret_cast<LPARAM>(folder)) > 0)
        seen.Folder = QDir::fromNativeSeparators(QString::fromWCharArray(folder));
    const HWND types = GetDlgItem(dialog, cmb1);
    const int count = static_cast<int>(SendMessageW(types, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        seen.Filters << QString::fromWCharArray(text);
    }
    seen.Selected = static_cast<int>(SendMessageW(types, CB_GETCURSEL, 0, 0));
    if (typed.isEmpty()) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(typed.utf16()));
    SendMessageW(dialog, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(typed.utf16()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

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
    const std::optional<QString> answer = SystemOpenDialog(nullptr, KTitle, KFilters, folder.path());
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
