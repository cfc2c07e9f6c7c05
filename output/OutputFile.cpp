#include "OutputFile.h"

#include "SystemErrorText.h"
#include "ToolPlatform.h"
#include "Utf8Text.h"
#include "WideText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

EOutputError NotWritten()
{
    return EOutputError(WithReason("Die Ausgabe kann nicht geschrieben werden.", LastErrno()));
}

// Where the name in path begins: after the last separator, on Windows also
// after a drive ("C:name" lies in the current folder of drive C).
std::size_t NameStart(const std::string& path)
{
#ifdef _WIN32
    const std::size_t separator = path.find_last_of("/\\:");
#else
    const std::size_t separator = path.rfind('/');
#endif
    return separator == std::string::npos ? 0 : separator + 1;
}

// How many bytes at the end of text begin a UTF-8 character that is not complete.
std::size_t IncompleteTail(std::string_view text)
{
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, text.size()); ++back) {
        const auto c = static_cast<unsigned char>(text[text.size() - back]);
        if ((c & 0xC0) != 0x80) {
            const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3
                                                   : c >= 0xC0   ? 2
                                                                 : 1;
            return length > back ? back : 0;
        }
    }
    return 0;
}

} // namespace

void TStandardOutput::Write(std::string_view bytes)
{
    std::string_view whole = bytes;
    if (!FPartial.empty()) {
        FPartial += bytes;
        whole = FPartial;
    }
    const std::size_t tail = IncompleteTail(whole);
    const bool written = WriteText(stdout, whole.substr(0, whole.size() - tail));
    FPartial = std::string(whole.substr(whole.size() - tail));
    if (!written)
        throw NotWritten();
}

void TStandardOutput::Finish()
{
    if (!FPartial.empty() && !WriteText(stdout, std::exchange(FPartial, {})))
        throw NotWritten();
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        throw NotWritten();
}

std::string FolderOf(const std::string& path)
{
    const std::size_t start = NameStart(path);
    if (start == 0)
        return ".";
    const std::string folder = path.substr(0, start - 1);
#ifdef _WIN32
    // A root ("C:\\") or a drive's current folder ("C:") keeps its last character.
    if (folder.empty() || folder.back() == ':' || path[start - 1] == ':')
        return path.substr(0, start);
#else
    if (folder.empty())
        return "/";
#endif
    return folder;
}

std::string CreateFileBeside(const std::string& path)
{
    const std::string folder = FolderOf(path);
    const std::size_t start = NameStart(path);
    // The new name goes where the old one stood, so it lies in the same folder.
    const std::string beside = path.substr(0, start);
    const std::string base = path.substr(start);
#ifdef _WIN32
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        const std::string name = beside + "~" + base + "." + std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(attempt) + ".tmp";
        const HANDLE h = CreateFileW(WidePath(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            return name;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    throw EOutputError(WithReason("Im Ordner " + BytesToUtf8(folder) + " kann keine Datei angelegt werden.", LastPlatformError()));
#else
    std::string name = beside + "." + base + ".XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0)
        throw EOutputError(WithReason("Im Ordner " + BytesToUtf8(folder) + " kann keine Datei angelegt werden.", LastErrno()));
    // mkstemp makes the file private; the finished file gets the usual rights.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    return name;
#endif
}

bool MoveIntoPlace(const std::string& from, const std::string& to, TSystemError* why)
{
#ifdef _WIN32
    const bool moved = MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    const bool moved = std::rename(from.c_str(), to.c_str()) == 0;
#endif
    if (!moved && why)
        *why = LastPlatformError();
    return moved;
}

bool SyncFile(const std::string& path, TSystemError* why)
{
    TSystemError failure;
#ifdef _WIN32
    const HANDLE h = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        if (!FlushFileBuffers(h))
            failure = LastPlatformError();
        CloseHandle(h);
    } else {
        failure = LastPlatformError();
    }
#else
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd >= 0) {
        if (fsync(fd) != 0)
            failure = LastErrno();
        close(fd);
    } else {
        failure = LastErrno();
    }
#endif
    if (why)
        *why = failure;
    return failure.Origin == TSystemError::EOrigin::None;
}

void RemoveFile(const std::string& path)
{
#ifdef _WIN32
    DeleteFileW(WidePath(path).c_str());
#else
    unlink(path.c_str());
#endif
}

std::FILE* OpenFile(const std::string& path, const char* mode)
{
#ifdef _WIN32
    return _wfopen(WidePath(path).c_str(), Utf8ToWide(mode).c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

std::FILE* OpenForReading(const std::string& path) { return OpenFile(path, "rb"); }

bool SeekFile(std::FILE* file, std::uint64_t offset)
{
    if (offset > static_cast<std::uint64_t>(INT64_MAX))
        return false;
#ifdef _WIN32
    return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
    static_assert(sizeof(off_t) == 8, "files of more than 2 GiB need a 64-bit off_t");
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

bool SeekFileEnd(std::FILE* file)
{
#ifdef _WIN32
    return _fseeki64(file, 0, SEEK_END) == 0;
#else
    return fseeko(file, 0, SEEK_END) == 0;
#endif
}

std::int64_t FilePosition(std::FILE* file)
{
#ifdef _WIN32
    return _ftelli64(file);
#else
    return ftello(file);
#endif
}

std::FILE* OpenScratchFile(const std::string& path)
{
#ifdef _WIN32
    // D: deleted when closed, and others may delete it meanwhile.
    return OpenFile(path, "w+bD");
#else
    return OpenFile(path, "w+b");
#endif
}
