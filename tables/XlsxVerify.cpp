#include "XlsxVerify.h"

#include "Output.h"
#include "OutputFile.h"
#include "Utf8Text.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr std::uint32_t EndOfDirectorySignature = 0x06054b50;
constexpr std::uint32_t DirectorySignature = 0x02014b50;
constexpr std::uint32_t LocalSignature = 0x04034b50;
constexpr std::size_t EndOfDirectorySize = 22;
constexpr std::size_t ChunkSize = 1 << 16;
constexpr std::string_view RowTag = "<row ";
constexpr std::string_view EndTag = "</worksheet>";

std::uint32_t Le(const unsigned char* p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

struct TFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

class TZipReader {
public:
    explicit TZipReader(const std::string& path, const std::string& shown)
        : FFile(OpenForReading(path)),
          FShown(shown)
    {
        if (!FFile)
            Fail("nicht lesbar");
    }

    [[noreturn]] void Fail(const std::string& why) const
    {
        throw EOutputError("Die geschriebene Arbeitsmappe " + FShown + " ist nicht vollständig (" + why + ").");
    }

    void Read(std::uint64_t offset, unsigned char* into, std::size_t count)
    {
        if (!SeekFile(FFile.get(), offset) ||
            std::fread(into, 1, count, FFile.get()) != count)
            Fail("zu kurz");
    }

    std::uint64_t Size()
    {
        if (!SeekFileEnd(FFile.get()))
            Fail("nicht lesbar");
        const std::int64_t size = FilePosition(FFile.get());
        if (size < 0)
            Fail("nicht lesbar");
        return static_cast<std::uint64_t>(size);
    }

    std::FILE* File() { return FFile.get(); }

private:
    std::unique_ptr<std::FILE, TFileCloser> FFile;
    std::string FShown;
};

// Unpacks one part, checks its size and checksum, and for a sheet counts its
// rows and looks at how it ends.
void CheckPart(TZipReader& zip, std::uint64_t dataOffset, std::uint32_t method, std::uint32_t packed,
               std::uint64_t size, std::uint32_t crc, const TExpectedSheet* sheet)
{
    if (method != 0 && method != Z_DEFLATED)
        zip.Fail("unbekannte Packart");
    if (!SeekFile(zip.File(), dataOffset))
        zip.Fail("zu kurz");
    z_stream z{};
    if (method == Z_DEFLATED && inflateInit2(&z, -MAX_WBITS) != Z_OK)
        zip.Fail("zlib");
    std::vector<unsigned char> in(ChunkSize), out(ChunkSize);
    std::uint32_t left = packed;
    uLong sum = crc32(0, nullptr, 0);
    std::uint64_t total = 0, rows = 0;
    std::string window, ending; // the end of what came so far, for tags cut between chunks
    bool done = false;
    auto consume = [&](const unsigned char* p, std::size_t n) {
        sum = crc32(sum, p, static_cast<uInt>(n));
        total += n;
        if (!sheet)
            return;
        // The window keeps fewer bytes than a row tag has, so no tag is counted twice.
        window.append(reinterpret_cast<const char*>(p), n);
        for (std::size_t pos = window.find(RowTag); pos != std::string::npos; pos = window.find(RowTag, pos + 1))
            ++rows;
        window.erase(0, window.size() > RowTag.size() - 1 ? window.size() - (RowTag.size() - 1) : 0);
        ending.append(reinterpret_cast<const char*>(p), n);
        ending.erase(0, ending.size() > EndTag.size() ? ending.size() - EndTag.size() : 0);
    };
    while (!done) {
        const std::size_t want = std::min<std::size_t>(left, ChunkSize);
        if (want > 0 && std::fread(in.data(), 1, want, zip.File()) != want) {
            if (method == Z_DEFLATED)
                inflateEnd(&z);
            zip.Fail("zu kurz");
        }
        left -= static_cast<std::uint32_t>(want);
        if (method == 0) {
            consume(in.data(), want);
            done = left == 0;
            continue;
        }
        z.next_in = in.data();
        z.avail_in = static_cast<uInt>(want);
        do {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            const int r = inflate(&z, Z_NO_FLUSH);
            // Z_BUF_ERROR only says that no progress was possible: the output
            // filled exactly as the input ran out. A stream cut short is
            // caught below, when the input is spent before its end.
            if (r != Z_OK && r != Z_STREAM_END && r != Z_BUF_ERROR) {
                inflateEnd(&z);
                zip.Fail("beschädigte Daten");
            }
            consume(out.data(), out.size() - z.avail_out);
            if (r == Z_STREAM_END)
                done = true;
        } while (z.avail_out == 0 && !done);
        if (!done && left == 0) {
            inflateEnd(&z);
            zip.Fail("Daten brechen ab");
        }
    }
    if (method == Z_DEFLATED)
        inflateEnd(&z);
    if (total != size || sum != crc)
        zip.Fail("Prüfsumme");
    if (sheet) {
        if (ending != EndTag)
            zip.Fail(sheet->Part + " endet nicht");
        if (rows != sheet->Rows)
            zip.Fail(sheet->Part + ": " + std::to_string(rows) + " statt " + std::to_string(sheet->Rows) + " Zeilen");
    }
}

} // namespace

void VerifyWorkbook(const std::string& path, const std::vector<TExpectedSheet>& sheets)
{
    TZipReader zip(path, BytesToUtf8(path));
    const std::uint64_t size = zip.Size();
    if (size < EndOfDirectorySize)
        zip.Fail("zu kurz");
    const std::size_t tailSize = static_cast<std::size_t>(std::min<std::uint64_t>(size, EndOfDirectorySize + 0xFFFF));
    std::vector<unsigned char> tail(tailSize);
    zip.Read(size - tailSize, tail.data(), tailSize);
    std::size_t eocd = tailSize - EndOfDirectorySize + 1;
    do {
        --eocd;
    } while (eocd > 0 && Le(&tail[eocd], 4) != EndOfDirectorySignature);
    if (Le(&tail[eocd], 4) != EndOfDirectorySignature)
        zip.Fail("kein Inhaltsverzeichnis");
    const std::uint32_t entries = Le(&tail[eocd + 10], 2);
    const std::uint32_t directorySize = Le(&tail[eocd + 12], 4);
    const std::uint32_t directoryOffset = Le(&tail[eocd + 16], 4);
    if (static_cast<std::uint64_t>(directoryOffset) + directorySize > size)
        zip.Fail("Inhaltsverzeichnis");
    std::vector<unsigned char> directory(directorySize);
    zip.Read(directoryOffset, directory.data(), directorySize);

    std::vector<bool> found(sheets.size(), false);
    std::size_t pos = 0;
    for (std::uint32_t e = 0; e < entries; ++e) {
        if (pos + 46 > directory.size() || Le(&directory[pos], 4) != DirectorySignature)
            zip.Fail("Inhaltsverzeichnis");
        const unsigned char* d = &directory[pos];
        const std::uint32_t method = Le(d + 10, 2), crc = Le(d + 16, 4), packed = Le(d + 20, 4);
        std::uint64_t unpacked = Le(d + 24, 4);
        const std::uint32_t nameLength = Le(d + 28, 2), extra = Le(d + 30, 2), comment = Le(d + 32, 2);
        const std::uint32_t local = Le(d + 42, 4);
        if (pos + 46 + nameLength + extra > directory.size())
            zip.Fail("Inhaltsverzeichnis");
        const std::string name(reinterpret_cast<const char*>(d + 46), nameLength);
        // A part of more than 4 GiB of text gives its size in a ZIP64 field.
        if (unpacked == 0xFFFFFFFF) {
            const unsigned char* x = d + 46 + nameLength;
            if (extra < 12 || Le(x, 2) != 1 || Le(x + 2, 2) < 8)
                zip.Fail("Inhaltsverzeichnis");
            unpacked = Le(x + 4, 4) | (std::uint64_t{Le(x + 8, 4)} << 32);
        }
        pos += 46 + nameLength + extra + comment;

        unsigned char header[30];
        zip.Read(local, header, sizeof header);
        if (Le(header, 4) != LocalSignature)
            zip.Fail(name);
        const std::uint64_t dataOffset = std::uint64_t{local} + 30 + Le(header + 26, 2) + Le(header + 28, 2);
        if (dataOffset + packed > directoryOffset)
            zip.Fail(name);
        const TExpectedSheet* sheet = nullptr;
        for (std::size_t s = 0; s < sheets.size(); ++s) {
            if (sheets[s].Part == name) {
                sheet = &sheets[s];
                found[s] = true;
            }
        }
        CheckPart(zip, dataOffset, method, packed, unpacked, crc, sheet);
    }
    for (std::size_t s = 0; s < sheets.size(); ++s) {
        if (!found[s])
            zip.Fail(sheets[s].Part + " fehlt");
    }
}
