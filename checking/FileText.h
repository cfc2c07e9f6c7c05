#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

// A whole file read into one read-only buffer, so that lines and fields can be
// handed out as views into it instead of as copies.
class TFileText {
public:
    TFileText() = default;

    // Throws EFileOpenError when path is not a readable regular file.
    static TFileText Read(const std::string& path);

    // Reads as above, pieceSize bytes (at least 1) at a time, and hands the
    // text read so far to onRead after each piece, so that it can be worked
    // on as it comes in. The text keeps its address from call to call unless
    // the file grew while it was read. When onRead returns false the reading
    // stops there and the result holds the text read so far.
    using TReadObserver = std::function<bool(std::string_view textSoFar)>;
    static TFileText Read(const std::string& path, const TReadObserver& onRead, std::size_t pieceSize);

    std::string_view Text() const { return {FBytes.get(), FSize}; }

private:
    // The buffer comes from the platform's page allocator, pre-faulted where it
    // can be: faulting in a fresh 100 MB buffer page by page costs more than the copy.
    struct TRelease {
        TRelease() noexcept : Capacity(0) { }
        explicit TRelease(std::size_t capacity) noexcept : Capacity(capacity) { }
        void operator()(char* bytes) const;
        std::size_t Capacity;
    };
    using TBuffer = std::unique_ptr<char[], TRelease>;
    static TBuffer Allocate(std::size_t capacity);
    // As Allocate; a large buffer's pages are faulted in by `faulting` while
    // the first ones are already filled. Stop it before the buffer goes.
    static TBuffer AllocateFaultedAhead(std::size_t capacity, std::jthread& faulting);

    TBuffer FBytes;
    std::size_t FSize = 0;
};
