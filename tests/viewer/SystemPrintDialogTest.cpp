// Windows only: the system's print dialog as the viewer asks for it. A second
// thread plays the user: it waits for a dialog window of this process and
// cancels it.
#include <QPrinter>
#include <QtTest>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "ReportPrinter.h"
#include "WineTestPrinter.h"

namespace {

struct TSearch {
    DWORD Process;
    HWND Found = nullptr;
};

BOOL CALLBACK OwnDialog(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<TSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t kind[16] = {};
    GetClassNameW(window, kind, 16);
    if (process == search->Process && IsWindowVisible(window) && std::wstring(kind) == L"#32770") {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

// Cancels the first dialog of this process to appear; false when none came.
void PlayUser(std::atomic<bool>& seen)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        TSearch search{GetCurrentProcessId()};
        EnumWindows(OwnDialog, reinterpret_cast<LPARAM>(&search));
        if (search.Found != nullptr) {
            seen = true;
            PostMessageW(search.Found, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace

class TSystemPrintDialogTest : public QObject {
    Q_OBJECT

private slots:
    void Cancelled();
};

void TSystemPrintDialogTest::Cancelled()
{
    EnsureWineTestPrinter();
    QPrinter printer(QPrinter::HighResolution);
    if (printer.outputFormat() != QPrinter::NativeFormat) {
        // The viewer then says so instead of opening the dialog.
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, SystemPrintDialog(printer, nullptr));
        QSKIP("no printer in this Windows: the system shows no print dialog without one");
    }
    std::atomic<bool> seen = false;
    std::thread user(PlayUser, std::ref(seen));
    const bool confirmed = SystemPrintDialog(printer, nullptr);
    user.join();
    QVERIFY(seen);
    QVERIFY(!confirmed);
}

QTEST_MAIN(TSystemPrintDialogTest)
#include "SystemPrintDialogTest.moc"
