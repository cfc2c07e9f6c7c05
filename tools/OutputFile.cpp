#include "OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::string SystemError()
{
    return std::strerror(errno);
}

#ifdef _WIN32
std::wstring Wide(const std::string& utf8)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? static_cast<std::size_t>(n) : 1, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), n);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}
#endif

} // namespace

void UseBinaryStandardOutput()
{
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

void TStandardOutput::Write(std::string_view bytes)
{
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
        throw EOutputError("Die Ausgabe kann nicht geschrieben werden: " + SystemError());
}

void TStandardOutput::Finish()
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        throw EOutputError("Die Ausgabe kann nicht geschrieben werden: " + SystemError());
}

std::string FolderOf(const std::string& path)
{
#ifdef _WIN32
    const std::size_t slash = path.find_last_of("/\\");
#else
    const std::size_t slash = path.rfind('/');
#endif
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string CreateFileBeside(const std::string& path)
{
    const std::string folder = FolderOf(path);
#ifdef _WIN32
    const std::size_t slash = path.find_last_of("/\\");
#else
    const std::size_t slash = path.rfind('/');
#endif
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
#ifdef _WIN32
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        const std::string name = folder + "\\~" + base + "." + std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(attempt) + ".tmp";
        const HANDLE h = CreateFileW(Wide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            return name;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    throw EOutputError("Im Ordner " + folder + " kann keine Datei angelegt werden.");
#else
    std::string name = folder + "/." + base + ".XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0)
        throw EOutputError("Im Ordner " + folder + " kann keine Datei angelegt werden: " + SystemError());
    // mkstemp makes the file private; the finished file gets the usual rights.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    return name;
#endif
}

bool ReplaceFile(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

bool SyncFile(const std::string& path)
{
#ifdef _WIN32
    const HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool synced = FlushFileBuffers(h) != 0;
    CloseHandle(h);
    return synced;
#else
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool synced = fsync(fd) == 0;
    close(fd);
    return synced;
#endif
}

void RemoveFile(const std::string& path)
{
#ifdef _WIN32
    DeleteFileW(Wide(path).c_str());
#else
    unlink(path.c_str());
#endif
}
