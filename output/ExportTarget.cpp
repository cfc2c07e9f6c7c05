#include "ExportTarget.h"

#include "Output.h"
#include "OutputFile.h"
#include "SystemErrorText.h"
#include "Utf8Text.h"
#include "WideText.h"

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// One file whatever the names that lead to it: device and inode, on Windows
// the volume and the file index.
struct TFileId {
    std::uint64_t Device = 0;
    std::uint64_t Index = 0;
    bool operator==(const TFileId&) const = default;
};

struct TProbe {
    enum class EKind { Missing,
                       Regular,
                       Folder,
                       Device,
                       Pipe,
                       Other };
    EKind Kind = EKind::Missing;
    TFileId Id;
    std::string Head; // the first bytes of a regular file
    TSystemError Error; // why the file could not be looked at
};

constexpr int MaxLinks = 40;

#ifdef _WIN32

HANDLE OpenToLook(const std::string& path)
{
    // Backup semantics open folders too; no access right is needed to look.
    return CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

std::optional<TFileId> IdOf(HANDLE h)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info))
        return std::nullopt;
    return TFileId{info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::optional<TFileId> IdOf(const std::string& path)
{
    const HANDLE h = OpenToLook(path);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const std::optional<TFileId> id = IdOf(h);
    CloseHandle(h);
    return id;
}

// The file a symbolic link names, as the system resolves it.
TSystemError FollowLinks(const std::string& path, std::string& resolved)
{
    resolved = path;
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return {};
    const HANDLE h = OpenToLook(path);
    if (h == INVALID_HANDLE_VALUE)
        return LastPlatformError();
    std::wstring final(32768, L'\0');
    const DWORD n = GetFinalPathNameByHandleW(h, final.data(), static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    const TSystemError why = n == 0 || n >= final.size() ? LastPlatformError() : TSystemError{};
    CloseHandle(h);
    if (why.Origin != TSystemError::EOrigin::None)
        return why;
    final.resize(n);
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0)
        final = L"\\\\" + final.substr(8);
    else if (final.rfind(L"\\\\?\\", 0) == 0 && final.size() < MAX_PATH + 4)
        final = final.substr(4);
    resolved = WideToUtf8(final);
    return {};
}

TProbe Probe(const std::string& path)
{
    TProbe probe;
    const HANDLE h = OpenToLook(path);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (!IsMissing(error))
            probe.Error = {TSystemError::EOrigin::Windows, static_cast<long>(error)};
        return probe;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const DWORD type = GetFileType(h);
    if (type == FILE_TYPE_CHAR) {
        probe.Kind = TProbe::EKind::Device;
    } else if (type == FILE_TYPE_PIPE) {
        probe.Kind = TProbe::EKind::Pipe;
    } else if (type != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info)) {
        probe.Kind = TProbe::EKind::Other;
    } else {
        probe.Id = *IdOf(h);
        if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            probe.Kind = TProbe::EKind::Folder;
        } else {
            probe.Kind = TProbe::EKind::Regular;
            char head[4];
            DWORD got = 0;
            if (ReadFile(h, head, sizeof head, &got, nullptr))
                probe.Head.assign(head, got);
            else
                probe.Error = LastPlatformError();
        }
    }
    CloseHandle(h);
    return probe;
}

#else

std::optional<TFileId> IdOf(const std::string& path)
{
    struct stat st { };
    if (stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return TFileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

// Follows symbolic links one by one, so that a link to a file not yet there
// leads to where that file will be.
TSystemError FollowLinks(const std::string& path, std::string& resolved)
{
    resolved = path;
    for (int followed = 0; followed <= MaxLinks; ++followed) {
        struct stat st { };
        if (lstat(resolved.c_str(), &st) != 0)
            return errno == ENOENT ? TSystemError{} : LastErrno();
        if (!S_ISLNK(st.st_mode))
            return {};
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = readlink(resolved.c_str(), link.data(), link.size());
        if (n < 0)
            return LastErrno();
        link.resize(static_cast<std::size_t>(n));
        // A relative link is read from the folder that holds it.
        const std::size_t cut = resolved.rfind('/');
        resolved = link.starts_with('/') || cut == std::string::npos ? link : resolved.substr(0, cut + 1) + link;
    }
    return TSystemError::FromErrno(ELOOP);
}

TProbe Probe(const std::string& path)
{
    TProbe probe;
    struct stat st { };
    if (stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT)
            probe.Error = LastErrno();
        return probe;
    }
    probe.Id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    if (S_ISDIR(st.st_mode)) {
        probe.Kind = TProbe::EKind::Folder;
    } else if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) {
        probe.Kind = TProbe::EKind::Device;
    } else if (S_ISFIFO(st.st_mode)) {
        probe.Kind = TProbe::EKind::Pipe;
    } else if (!S_ISREG(st.st_mode)) {
        probe.Kind = TProbe::EKind::Other;
    } else {
        probe.Kind = TProbe::EKind::Regular;
        // Only a regular file is opened: opening a device or a FIFO may act.
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        char head[4];
        const ssize_t got = fd < 0 ? -1 : pread(fd, head, sizeof head, 0);
        if (got < 0)
            probe.Error = LastErrno();
        else
            probe.Head.assign(head, static_cast<std::size_t>(got));
        if (fd >= 0)
            close(fd);
    }
    return probe;
}

#endif

bool EndsInXlsx(std::string_view name)
{
    constexpr std::string_view Suffix = ".xlsx";
    if (name.size() < Suffix.size())
        return false;
    const std::string_view tail = name.substr(name.size() - Suffix.size());
    for (std::size_t i = 0; i < Suffix.size(); ++i) {
        const char c = tail[i] >= 'A' && tail[i] <= 'Z' ? static_cast<char>(tail[i] - 'A' + 'a') : tail[i];
        if (c != Suffix[i])
            return false;
    }
    return true;
}

// A workbook is a ZIP file: a local header first, or the end record of an empty archive.
bool LooksLikeWorkbook(std::string_view head)
{
    return head.empty() || head == std::string_view("PK\x03\x04", 4) || head == std::string_view("PK\x05\x06", 4);
}

} // namespace

std::string CheckWorkbookTarget(const std::string& target, const std::vector<std::string>& inputs)
{
    std::string shown = BytesToUtf8(target);
    const auto refuse = [&](const std::string& reason, const TSystemError& why = {}) {
        return EOutputError(WithReason("Die Arbeitsmappe " + shown + " wird nicht geschrieben: " + reason + ".", why));
    };
    if (!EndsInXlsx(target))
        throw refuse("der Name endet nicht auf .xlsx");
    std::string place;
    const TSystemError linkError = FollowLinks(target, place);
    if (linkError.Origin != TSystemError::EOrigin::None) {
        const bool throughLink = place != target || linkError == TSystemError::FromErrno(ELOOP);
        throw refuse(throughLink ? "die Verknüpfung kann nicht aufgelöst werden" : "sie kann nicht geprüft werden",
                     linkError);
    }
    if (place != target)
        shown += " (verweist auf " + BytesToUtf8(place) + ")";
    const TProbe probe = Probe(place);
    if (probe.Error.Origin != TSystemError::EOrigin::None)
        throw refuse("die vorhandene Datei kann nicht gelesen werden", probe.Error);
    switch (probe.Kind) {
    case TProbe::EKind::Missing:
        return place;
    case TProbe::EKind::Folder:
        throw refuse("es ist ein Ordner");
    case TProbe::EKind::Device:
        throw refuse("es ist ein Gerät, keine gewöhnliche Datei");
    case TProbe::EKind::Pipe:
        throw refuse("es ist eine Pipe (FIFO), keine gewöhnliche Datei");
    case TProbe::EKind::Other:
        throw refuse("es ist keine gewöhnliche Datei");
    case TProbe::EKind::Regular:
        break;
    }
    for (const std::string& input : inputs) {
        if (IdOf(input) == probe.Id)
            throw refuse("es ist dieselbe Datei wie die Eingabedatei " + BytesToUtf8(input));
    }
    if (!LooksLikeWorkbook(probe.Head))
        throw refuse("die vorhandene Datei ist weder leer noch eine Arbeitsmappe und bleibt, wie sie ist");
    return place;
}
