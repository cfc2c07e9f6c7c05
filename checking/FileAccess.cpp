#include "FileAccess.h"

#include "FileOpenError.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef _WIN32

TReadOnlyFile::TReadOnlyFile(const std::string& path)
    : FPath(path)
{
    // FILE_SHARE_READ without FILE_SHARE_WRITE: others may read, nobody may write.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw EFileOpenError(path);
    LARGE_INTEGER size;
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &size)) {
        CloseHandle(h);
        throw EFileOpenError(path);
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
        throw EFileOpenError(FPath);
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
        throw EFileOpenError(path);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw EFileOpenError(path);
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
            throw EFileOpenError(FPath);
    }
}

#endif
