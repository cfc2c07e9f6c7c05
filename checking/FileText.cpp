#include "FileText.h"

#include "FileAccess.h"
#include "FileOpenError.h"

#include <algorithm>
#include <cstring>
#include <new>

#ifndef _WIN32
#include <sys/mman.h>
#endif

TFileText::TBuffer TFileText::Allocate(std::size_t capacity)
{
#ifdef _WIN32
    return TBuffer(new char[capacity], TRelease{capacity});
#else
    int flags = MAP_PRIVATE | MAP_ANONYMOUS;
#ifdef MAP_POPULATE
    flags |= MAP_POPULATE;
#endif
    void* bytes = mmap(nullptr, capacity, PROT_READ | PROT_WRITE, flags, -1, 0);
    if (bytes == MAP_FAILED)
        throw std::bad_alloc();
    return TBuffer(static_cast<char*>(bytes), TRelease{capacity});
#endif
}

void TFileText::TRelease::operator()(char* bytes) const
{
#ifdef _WIN32
    delete[] bytes;
#else
    munmap(bytes, Capacity);
#endif
}

TFileText TFileText::Read(const std::string& path)
{
    // One read call for the whole file where the system allows it.
    return Read(path, {}, SIZE_MAX);
}

TFileText TFileText::Read(const std::string& path, const TReadObserver& onRead, std::size_t pieceSize)
{
    TReadOnlyFile file(path);
    TFileText result;
    std::size_t capacity = 0;
    if (file.Size() > static_cast<std::uint64_t>(SIZE_MAX / 2))
        throw EFileOpenError(path);
    // One more than the size, so a file that has not grown ends with a read of 0.
    capacity = static_cast<std::size_t>(file.Size()) + 1;
    pieceSize = std::max<std::size_t>(pieceSize, 1);
    // Running out of memory is reported as such (std::bad_alloc), not as a
    // file that cannot be opened.
    result.FBytes = Allocate(capacity);
    for (;;) {
        if (result.FSize == capacity) {
            const std::size_t grown = capacity * 2;
            TBuffer bigger = Allocate(grown);
            std::memcpy(bigger.get(), result.FBytes.get(), result.FSize);
            result.FBytes = std::move(bigger);
            capacity = grown;
        }
        const std::size_t got = file.Read(result.FBytes.get() + result.FSize, std::min(pieceSize, capacity - result.FSize));
        if (got == 0)
            break;
        result.FSize += got;
        if (onRead && !onRead(result.Text()))
            break;
    }
    return result;
}
