#include "FileText.h"

#include "FileAccess.h"
#include "FileOpenError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

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

namespace {

#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
constexpr std::size_t FaultAheadFrom = std::size_t(16) << 20;
constexpr std::size_t FaultStep = std::size_t(2) << 20;
#endif

void StopFaulting(std::jthread& faulting)
{
    if (faulting.joinable()) {
        faulting.request_stop();
        faulting.join();
    }
}

} // namespace

TFileText::TBuffer TFileText::AllocateFaultedAhead(std::size_t capacity, std::jthread& faulting)
{
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    // Faulting in a fresh page costs about as much as filling it from the
    // file; for a large buffer a thread of its own faults the pages in ahead
    // of the reads. It only hints: a page that a read reaches first is
    // faulted in by the read.
    if (capacity >= FaultAheadFrom) {
        void* const bytes = mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (bytes == MAP_FAILED)
            throw std::bad_alloc();
        TBuffer buffer(static_cast<char*>(bytes), TRelease{capacity});
#ifdef MADV_HUGEPAGE
        // In pages of 2 MB where the system offers them: one fault and one page
        // to clear per 2 MB instead of 512, which cost more than the copy from
        // the file. Only advice; without it the buffer works all the same.
        madvise(bytes, capacity, MADV_HUGEPAGE);
#endif
        // A system without the advice says so at once; then all is faulted in here.
        if (madvise(bytes, FaultStep, MADV_POPULATE_WRITE) != 0)
            return Allocate(capacity);
        try {
            faulting = std::jthread([begin = static_cast<char*>(bytes), capacity](std::stop_token stop) {
                for (std::size_t at = FaultStep; at < capacity && !stop.stop_requested(); at += FaultStep)
                    madvise(begin + at, std::min(FaultStep, capacity - at), MADV_POPULATE_WRITE);
            });
        } catch (const std::system_error&) {
            madvise(bytes, capacity, MADV_POPULATE_WRITE); // no thread to be had
        }
        return buffer;
    }
#else
    (void)faulting;
#endif
    return Allocate(capacity);
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
        throw EFileOpenError(path, TSystemError::FromErrno(EFBIG));
    // One more than the size, so a file that has not grown ends with a read of 0.
    capacity = static_cast<std::size_t>(file.Size()) + 1;
    pieceSize = std::max<std::size_t>(pieceSize, 1);
    // Declared after the result, so that it ends before the buffer goes.
    std::jthread faulting;
    // Running out of memory is reported as such (std::bad_alloc), not as a
    // file that cannot be opened.
    result.FBytes = AllocateFaultedAhead(capacity, faulting);
    for (;;) {
        if (result.FSize == capacity) {
            StopFaulting(faulting);
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
    StopFaulting(faulting);
    return result;
}
