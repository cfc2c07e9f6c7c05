#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One part's bytes deflated as they come, into a file: memory stays the same
// whatever the part's size. The text it holds and what it packed to are
// counted for the archive's directory.
class TDeflateStream {
public:
    // Writes to file, which it does not own; shown names the archive in failures.
    TDeflateStream(std::FILE* file, std::string shown, int level);
    ~TDeflateStream();
    TDeflateStream(const TDeflateStream&) = delete;
    TDeflateStream& operator=(const TDeflateStream&) = delete;

    void Write(std::string_view bytes);
    // Ends the stream; Write may not follow.
    void Finish();

    std::uint32_t Crc() const { return FCrc; }
    std::uint64_t Size() const { return FSize; }
    std::uint64_t Packed() const { return FPacked; }

private:
    void Deflate(int flush);

    struct TState;
    std::unique_ptr<TState> FState;
    std::FILE* FFile;
    std::string FShown;
    std::vector<unsigned char> FOut;
    std::uint32_t FCrc = 0;
    std::uint64_t FSize = 0, FPacked = 0;
};

// A ZIP archive written front to back into a new file. A part is either
// added whole, streamed (Begin, Write, End), or copied from a deflate stream
// made elsewhere. A part's text may exceed 4 GiB (ZIP64); the archive itself
// may not. The workbook never gets there: a workbook whose parts could pass
// 4 GiB is refused before it is begun (TWorkbookRows), since spreadsheets do
// not all load ZIP64. Failures throw EOutputError naming shown.
class TZipWriter {
public:
    static constexpr int Level = 2; // fast: sheet XML packs well at any level

    TZipWriter(const std::string& path, std::string shown);
    ~TZipWriter();
    TZipWriter(const TZipWriter&) = delete;
    TZipWriter& operator=(const TZipWriter&) = delete;

    void Add(std::string_view name, std::string_view bytes);
    void Begin(std::string_view name);
    void Write(std::string_view bytes) { FStream->Write(bytes); }
    void End();
    // A part whose deflated bytes stream made into packed, an open file read
    // from its start.
    void AddPacked(std::string_view name, std::FILE* packed, const TDeflateStream& stream);
    // Writes the directory and closes the file.
    void Finish();

    // The text of the part being streamed so far.
    std::uint64_t StreamedSize() const { return FStream ? FStream->Size() : 0; }

private:
    struct TEntry {
        std::string Name;
        std::uint64_t Offset = 0;
        std::uint32_t Crc = 0;
        std::uint64_t Size = 0, Packed = 0;
    };

    void LocalHeader(std::string_view name);
    void Close(TEntry& entry, std::uint32_t crc, std::uint64_t size, std::uint64_t packed);
    void Put(const void* bytes, std::size_t n);
    std::uint64_t Position();
    [[noreturn]] void Fail() const;

    std::FILE* FFile = nullptr;
    std::string FShown;
    std::vector<TEntry> FEntries;
    std::unique_ptr<TDeflateStream> FStream;
};
