#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A transfer file opened for reading only. Other programs may still read it
// but, where the platform allows, not write it while it is open. Anything but
// a readable regular file (missing, directory, FIFO, device, no permission)
// throws EFileOpenError with the path as given; opening never blocks. The path
// is the system's bytes on Linux and UTF-8 on Windows, so that any name opens.
class TReadOnlyFile {
public:
    explicit TReadOnlyFile(const std::string& path);
    ~TReadOnlyFile();
    TReadOnlyFile(const TReadOnlyFile&) = delete;
    TReadOnlyFile& operator=(const TReadOnlyFile&) = delete;

    // Size at opening time; the file may still grow or shrink while it is read.
    std::uint64_t Size() const { return FSize; }

    // Reads up to count bytes; 0 means end of file. Throws EFileOpenError on a
    // read failure, since a half-read file must not pass as a short one.
    std::size_t Read(char* buffer, std::size_t count);

    // Reads up to count bytes from offset, without moving the position that
    // Read goes on from; several threads may call it at once. 0 means end of
    // file. Throws as Read.
    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count);

    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
    std::uint64_t FSize = 0;
#ifdef _WIN32
    void* FHandle = nullptr;
#else
    int FDescriptor = -1;
#endif
};
