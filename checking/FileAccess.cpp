#include "FileAccess.h"

#include "FileOpenError.h"
#include "WideText.h"

#include <limits>

#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef _WIN32

TReadOnlyFile::TReadOnlyFile(const std::string& path)
    : FPath(path)
{
    const std::wstring wide = WidePath(path);
    if (wide.empty())
        throw EFileOpenError(path, {TSystemError::EOrigin::Windows, ERROR_INVALID_NAME});
    // FILE_SHARE_READ without FILE_SHARE_WRITE: others may read, nobody may
    // write; and a file that someone holds open for writing does not open.
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        // A folder does not open without backup semantics; say what it is.
        const TSystemError why = LastPlatformError();
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            throw EFileOpenError(path, TSystemError::FromErrno(EISDIR));
        throw EFileOpenError(path, why);
    }
    LARGE_INTEGER size;
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        throw EFileOpenError(path, {TSystemError::EOrigin::NotAFile, 0});
    }
    if (!GetFileSizeEx(h, &size)) {
        const TSystemError why = LastPlatformError();
        CloseHandle(h);
        throw EFileOpenError(path, why);
    }
    FHandle = h;
    FSize = static_cast<std::uint64_t>(size.QuadPart);
}

TReadOnlyFile::~TReadOnlyFile()
{
    CloseHandle(static_cast<HANDLE>(FHandle));
}

std::size_t TReadOnlyFile::Read(char* buffer, std::size_t count)
{
    DWORD got = 0;
    const DWORD want = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
    if (!ReadFile(static_cast<HANDLE>(FHandle), buffer, want, &got, nullptr))
        throw EFileOpenError(FPath, LastPlatformError());
    return got;
}

std::size_t TReadOnlyFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t count)
{
    // On a handle opened for plain reading, an offset in the OVERLAPPED makes
    // the read positioned; the file pointer it moves is not used by Read's callers then.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const DWORD want = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
    if (!ReadFile(static_cast<HANDLE>(FHandle), buffer, want, &got, &at)) {
        if (GetLastError() == ERROR_HANDLE_EOF)
            return 0;
        throw EFileOpenError(FPath, LastPlatformError());
    }
    return got;
}

#else

TReadOnlyFile::TReadOnlyFile(const std::string& path)
    : FPath(path)
{
    // O_NONBLOCK keeps open() from waiting for a writer on a FIFO; fstat then
    // turns away everything that is not a regular file before any read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        throw EFileOpenError(path, LastErrno());
    struct stat st { };
    TSystemError why;
    if (::fstat(fd, &st) != 0)
        why = LastErrno();
    else if (S_ISDIR(st.st_mode))
        why = TSystemError::FromErrno(EISDIR);
    else if (!S_ISREG(st.st_mode))
        why = {TSystemError::EOrigin::NotAFile, 0};
    if (why.Origin != TSystemError::EOrigin::None) {
        ::close(fd);
        throw EFileOpenError(path, why);
    }
    // Regular files never block; clear the flag so reads behave plainly.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    FDescriptor = fd;
    FSize = static_cast<std::uint64_t>(st.st_size);
}

TReadOnlyFile::~TReadOnlyFile()
{
    ::close(FDescriptor);
}

std::size_t TReadOnlyFile::Read(char* buffer, std::size_t count)
{
    for (;;) {
        const ssize_t got = ::read(FDescriptor, buffer, count);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            throw EFileOpenError(FPath, LastErrno());
    }
}

std::size_t TReadOnlyFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t count)
{
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()))
        return 0;
    for (;;) {
        const ssize_t got = ::pread(FDescriptor, buffer, count, static_cast<off_t>(offset));
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            throw EFileOpenError(FPath, LastErrno());
    }
}

#endif
