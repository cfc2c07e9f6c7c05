#pragma once

// Windows only: plays the user of the system's open dialog from a second
// thread. It waits for the dialog by its title, reads its folder and filters
// through the dialog's own messages, then types a name or cancels.

#include <QDir>
#include <QString>
#include <QStringList>

#include <windows.h>
// After windows.h, whose declarations it needs.
#include <commdlg.h>
#include <dlgs.h>

#include <chrono>
#include <thread>

namespace SystemDialogUser {

const QString KOpenTitle = QStringLiteral("Morvask-Betrachter  -  Schnittstellen-Datei öffnen ...");

struct TSeen {
    QString Folder;
    QStringList Filters;
    int Selected = -1;
};

inline HWND WaitForDialog(const QString& title)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        if (HWND dialog = FindWindowW(L"#32770", reinterpret_cast<LPCWSTR>(title.utf16())))
            return dialog;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return nullptr;
}

// What the dialog shows, then the user's answer: a typed name, or Escape when empty.
inline void PlayUser(const QString& typed, TSeen& seen)
{
    const HWND dialog = WaitForDialog(KOpenTitle);
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

} // namespace SystemDialogUser
