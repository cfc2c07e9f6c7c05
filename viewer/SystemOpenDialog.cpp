#include "SystemOpenDialog.h"

#ifdef _WIN32

#include <QDir>
#include <QWidget>

#include <windows.h>
// After windows.h, whose declarations they need.
#include <commdlg.h>
#include <shlobj.h>

#include <vector>

namespace {

// "DAT-Dateien (*.dat)" gives the text and the pattern, each ended by a NUL;
// the list ends with a second NUL.
std::wstring FilterList(const QStringList& filters)
{
    std::wstring list;
    for (const QString& filter : filters) {
        const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
        const QString pattern = open >= 0 ? filter.mid(open + 1).chopped(1) : QStringLiteral("*.*");
        list += filter.toStdWString() + L'\0' + pattern.toStdWString() + L'\0';
    }
    return list + L'\0';
}

struct TFolderStart {
    const std::wstring* Title;
    const std::wstring* Folder;
};

// The dialog takes its window title and first folder once it stands.
int CALLBACK FolderDialogEvent(HWND dialog, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED) {
        const auto* start = reinterpret_cast<const TFolderStart*>(data);
        SetWindowTextW(dialog, start->Title->c_str());
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start->Folder->c_str()));
    }
    return 0;
}

} // namespace

std::optional<QString> SystemOpenDialog(QWidget* owner, const QString& title, const QStringList& filters,
                                        const QString& folder)
{
    const std::wstring filterList = FilterList(filters);
    const std::wstring titleText = title.toStdWString();
    const std::wstring start = QDir::toNativeSeparators(QDir(folder).absolutePath()).toStdWString();
    // Room for a long path: the dialog fails rather than cut a name.
    std::vector<wchar_t> chosen(32768, L'\0');

    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner != nullptr ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
    request.lpstrFilter = filterList.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = chosen.data();
    request.nMaxFile = static_cast<DWORD>(chosen.size());
    request.lpstrInitialDir = start.c_str();
    request.lpstrTitle = titleText.c_str();
    // A typed name of a missing file comes back, so that the viewer says why
    // it cannot open it, as with every other path.
    request.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                    OFN_DONTADDTORECENT | OFN_LONGNAMES;
    if (!GetOpenFileNameW(&request))
        return std::nullopt;
    return QString::fromWCharArray(chosen.data());
}

std::optional<QString> SystemFolderDialog(QWidget* owner, const QString& title, const QString& folder)
{
    const std::wstring titleText = title.toStdWString();
    const std::wstring start = QDir::toNativeSeparators(QDir(folder).absolutePath()).toStdWString();
    const TFolderStart startData{&titleText, &start};
    BROWSEINFOW request{};
    request.hwndOwner = owner != nullptr ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
    request.lpszTitle = L"Ordner mit den Kodelisten (Feld10.txt, Feld44.txt, ...):";
    // Folders of the file system only; the toolkit has COM set up for the newer look.
    request.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
    request.lpfn = FolderDialogEvent;
    request.lParam = reinterpret_cast<LPARAM>(&startData);
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&request);
    if (item == nullptr)
        return std::nullopt;
    // Room for a long path, as for a file.
    std::vector<wchar_t> chosen(32768, L'\0');
    const bool named = SHGetPathFromIDListEx(item, chosen.data(), static_cast<DWORD>(chosen.size()), GPFIDL_DEFAULT);
    CoTaskMemFree(item);
    if (!named)
        return std::nullopt;
    return QString::fromWCharArray(chosen.data());
}

#endif
