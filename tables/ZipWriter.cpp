#include "ZipWriter.h"

#include "Output.h"
#include "OutputFile.h"
#include "SystemErrorText.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr std::uint32_t LocalSignature = 0x04034b50;
constexpr std::uint32_t DirectorySignature = 0x02014b50;
constexpr std::uint32_t EndOfDirectorySignature = 0x06054b50;
constexpr std::uint16_t Zip64Id = 0x0001;
// Room kept in every local header for the ZIP64 sizes a part may need; until
// then it is padding, which readers skip.
constexpr std::uint16_t PaddingId = 0xD935;
constexpr std::uint16_t ExtraSize = 20;
constexpr std::uint32_t Max32 = 0xFFFFFFFF;
constexpr std::uint16_t Dos1980 = (0 << 9) | (1 << 5) | 1; // 1 January 1980, as the date of every part
constexpr std::size_t OutSize = 256 << 10;

void Le(std::string& out, std::uint64_t v, int bytes)
{
    // Past the value's eight bytes come zeros (fields wider than a number).
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(i < 8 ? (v >> (8 * i)) & 0xFF : 0);
}

} // namespace

struct TDeflateStream::TState {
    z_stream Z{};
};

TDeflateStream::TDeflateStream(std::FILE* file, std::string shown, int level)
    : FState(std::make_unique<TState>()),
      FFile(file),
      FShown(std::move(shown)),
      FOut(OutSize),
      FCrc(static_cast<std::uint32_t>(crc32(0, nullptr, 0)))
{
    if (deflateInit2(&FState->Z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw EOutputError("Nicht genug Arbeitsspeicher.");
}

TDeflateStream::~TDeflateStream() { deflateEnd(&FState->Z); }

void TDeflateStream::Deflate(int flush)
{
    z_stream& z = FState->Z;
    int result = Z_OK;
    do {
        z.next_out = FOut.data();
        z.avail_out = static_cast<uInt>(FOut.size());
        result = deflate(&z, flush);
        if (result == Z_STREAM_ERROR)
            throw EOutputError("Die Arbeitsmappe " + FShown + " kann nicht geschrieben werden: zlib-Fehler.");
        const std::size_t n = FOut.size() - z.avail_out;
        if (n > 0 && std::fwrite(FOut.data(), 1, n, FFile) != n)
            throw EOutputError(WithReason("Die Arbeitsmappe " + FShown + " kann nicht geschrieben werden.", LastErrno()));
        FPacked += n;
    } while (z.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
}

void TDeflateStream::Write(std::string_view bytes)
{
    z_stream& z = FState->Z;
    // zlib counts in 32 bits: large pieces go in parts.
    while (!bytes.empty()) {
        const std::size_t n = std::min<std::size_t>(bytes.size(), 1u << 30);
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        FCrc = static_cast<std::uint32_t>(crc32(FCrc, p, static_cast<uInt>(n)));
        FSize += n;
        z.next_in = const_cast<unsigned char*>(p);
        z.avail_in = static_cast<uInt>(n);
        Deflate(Z_NO_FLUSH);
        bytes.remove_prefix(n);
    }
}

void TDeflateStream::Finish()
{
    FState->Z.avail_in = 0;
    Deflate(Z_FINISH);
}

TZipWriter::TZipWriter(const std::string& path, std::string shown)
    : FFile(OpenFile(path, "wb")),
      FShown(std::move(shown))
{
    if (!FFile)
        Fail();
}

TZipWriter::~TZipWriter()
{
    FStream.reset();
    if (FFile)
        std::fclose(FFile);
}

void TZipWriter::Fail() const
{
    throw EOutputError(WithReason("Die Arbeitsmappe " + FShown + " kann nicht geschrieben werden.", LastErrno()));
}

void TZipWriter::Put(const void* bytes, std::size_t n)
{
    if (std::fwrite(bytes, 1, n, FFile) != n)
        Fail();
}

std::uint64_t TZipWriter::Position()
{
    const std::int64_t at = FilePosition(FFile);
    if (at < 0)
        Fail();
    return static_cast<std::uint64_t>(at);
}

void TZipWriter::LocalHeader(std::string_view name)
{
    TEntry entry;
    entry.Name = name;
    entry.Offset = Position();
    std::string header;
    Le(header, LocalSignature, 4);
    Le(header, 20, 2); // version needed, raised to ZIP64's when the sizes need it
    Le(header, 0, 2); // flags
    Le(header, Z_DEFLATED, 2);
    Le(header, 0, 2); // time
    Le(header, Dos1980, 2);
    Le(header, 0, 12); // checksum and sizes, filled in by Close
    Le(header, name.size(), 2);
    Le(header, ExtraSize, 2);
    header += name;
    Le(header, PaddingId, 2);
    Le(header, ExtraSize - 4, 2);
    Le(header, 0, ExtraSize - 4);
    Put(header.data(), header.size());
    FEntries.push_back(std::move(entry));
}

void TZipWriter::Close(TEntry& entry, std::uint32_t crc, std::uint64_t size, std::uint64_t packed)
{
    const std::uint64_t end = Position();
    if (end >= Max32)
        throw EOutputError("Die Arbeitsmappe " + FShown + " würde größer als 4 GiB und wird nicht geschrieben.");
    entry.Crc = crc;
    entry.Size = size;
    entry.Packed = packed;
    const bool zip64 = size >= Max32;
    std::string fields;
    Le(fields, zip64 ? 45 : 20, 2);
    std::string sizes;
    Le(sizes, crc, 4);
    Le(sizes, packed, 4);
    Le(sizes, zip64 ? Max32 : size, 4);
    std::string extra;
    Le(extra, zip64 ? Zip64Id : PaddingId, 2);
    Le(extra, ExtraSize - 4, 2);
    Le(extra, zip64 ? size : 0, 8);
    Le(extra, zip64 ? packed : 0, 8);
    if (!SeekFile(FFile, entry.Offset + 4))
        Fail();
    Put(fields.data(), fields.size());
    if (!SeekFile(FFile, entry.Offset + 14))
        Fail();
    Put(sizes.data(), sizes.size());
    if (!SeekFile(FFile, entry.Offset + 30 + entry.Name.size()))
        Fail();
    Put(extra.data(), extra.size());
    if (!SeekFile(FFile, end))
        Fail();
}

void TZipWriter::Add(std::string_view name, std::string_view bytes)
{
    Begin(name);
    Write(bytes);
    End();
}

void TZipWriter::Begin(std::string_view name)
{
    LocalHeader(name);
    FStream = std::make_unique<TDeflateStream>(FFile, FShown, Level);
}

void TZipWriter::End()
{
    FStream->Finish();
    Close(FEntries.back(), FStream->Crc(), FStream->Size(), FStream->Packed());
    FStream.reset();
}

void TZipWriter::AddPacked(std::string_view name, std::FILE* packed, const TDeflateStream& stream)
{
    LocalHeader(name);
    if (!SeekFile(packed, 0))
        Fail();
    std::vector<char> buffer(OutSize);
    std::uint64_t copied = 0;
    for (;;) {
        const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), packed);
        if (n == 0)
            break;
        Put(buffer.data(), n);
        copied += n;
    }
    if (std::ferror(packed) || copied != stream.Packed())
        Fail();
    Close(FEntries.back(), stream.Crc(), stream.Size(), stream.Packed());
}

void TZipWriter::Finish()
{
    const std::uint64_t start = Position();
    std::string directory;
    for (const TEntry& e : FEntries) {
        const bool zip64 = e.Size >= Max32;
        Le(directory, DirectorySignature, 4);
        Le(directory, zip64 ? 45 : 20, 2); // made by: MS-DOS attributes
        Le(directory, zip64 ? 45 : 20, 2);
        Le(directory, 0, 2);
        Le(directory, Z_DEFLATED, 2);
        Le(directory, 0, 2);
        Le(directory, Dos1980, 2);
        Le(directory, e.Crc, 4);
        Le(directory, e.Packed, 4);
        Le(directory, zip64 ? Max32 : e.Size, 4);
        Le(directory, e.Name.size(), 2);
        Le(directory, zip64 ? 12 : 0, 2);
        Le(directory, 0, 8); // comment, disk, attributes
        Le(directory, 0, 2);
        Le(directory, e.Offset, 4);
        directory += e.Name;
        if (zip64) {
            Le(directory, Zip64Id, 2);
            Le(directory, 8, 2);
            Le(directory, e.Size, 8);
        }
    }
    const std::size_t directorySize = directory.size();
    Le(directory, EndOfDirectorySignature, 4);
    Le(directory, 0, 4);
    Le(directory, FEntries.size(), 2);
    Le(directory, FEntries.size(), 2);
    Le(directory, directorySize, 4);
    Le(directory, start, 4);
    Le(directory, 0, 2);
    Put(directory.data(), directory.size());
    if (start + directory.size() >= Max32)
        throw EOutputError("Die Arbeitsmappe " + FShown + " würde größer als 4 GiB und wird nicht geschrieben.");
    std::FILE* file = FFile;
    FFile = nullptr;
    if (std::fflush(file) != 0 || std::ferror(file)) {
        std::fclose(file);
        Fail();
    }
    if (std::fclose(file) != 0)
        Fail();
}
