#pragma once

#include "FileAccess.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// Bytes read by position from several threads at once: a file, or bytes in
// memory where tests and fuzzers hand them over.
class TByteSource {
public:
    virtual ~TByteSource() = default;
    // Size when the reading began; reads may still find more or fewer bytes.
    virtual std::uint64_t Size() const = 0;
    // Up to count bytes from offset; 0 at the end. Throws EFileOpenError when
    // the bytes cannot be read.
    virtual std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count) = 0;
};

class TFileSource : public TByteSource {
public:
    explicit TFileSource(const std::string& path) : FFile(path) { }
    std::uint64_t Size() const override { return FFile.Size(); }
    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count) override
    {
        return FFile.ReadAt(offset, buffer, count);
    }

private:
    TReadOnlyFile FFile;
};

class TMemorySource : public TByteSource {
public:
    explicit TMemorySource(std::string_view bytes) : FBytes(bytes) { }
    std::uint64_t Size() const override { return FBytes.size(); }
    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count) override
    {
        if (offset >= FBytes.size())
            return 0;
        const std::size_t n = std::min<std::size_t>(count, FBytes.size() - static_cast<std::size_t>(offset));
        std::memcpy(buffer, FBytes.data() + offset, n);
        return n;
    }

private:
    std::string_view FBytes;
};

// Reads file from offset up to end, or to its end when toEnd, through buffer
// of size bytes, handing each piece read to onBytes(const char*, std::size_t);
// stops early when onBytes returns false.
template <class F>
void ReadStretch(TByteSource& file, std::uint64_t offset, std::uint64_t end, bool toEnd, char* buffer, std::size_t size, F&& onBytes)
{
    while (toEnd || offset < end) {
        const std::size_t want = toEnd ? size : static_cast<std::size_t>(std::min<std::uint64_t>(size, end - offset));
        const std::size_t got = file.ReadAt(offset, buffer, want);
        if (got == 0 || !onBytes(static_cast<const char*>(buffer), got))
            return;
        offset += got;
    }
}
