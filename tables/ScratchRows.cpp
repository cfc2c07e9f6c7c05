#include "ScratchRows.h"

#include "Output.h"
#include "OutputFile.h"
#include "SystemErrorText.h"
#include "Utf8Text.h"

namespace {

// A row is kept as its number of cells, then each cell as a byte of its
// style and its text's length before the text.
void PutNumber(std::string& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

bool GetNumber(std::FILE* file, std::uint32_t& value)
{
    unsigned char b[4];
    if (std::fread(b, 1, 4, file) != 4)
        return false;
    value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return true;
}

} // namespace

TScratchRows::TScratchRows(const std::string& target)
    : FShown(BytesToUtf8(target)),
      FFile(OpenScratchBeside(target))
{
    std::setvbuf(FFile, nullptr, _IOFBF, 1 << 16);
}

TScratchRows::~TScratchRows() { std::fclose(FFile); }

void TScratchRows::Fail() const
{
    throw EOutputError(WithReason("Die Arbeitsmappe " + FShown + " kann nicht geschrieben werden.", LastErrno()));
}

void TScratchRows::Add(const TStyledWorkbook::TRow& row)
{
    FBytes.clear();
    PutNumber(FBytes, static_cast<std::uint32_t>(row.size()));
    for (const TStyledWorkbook::TCell& cell : row) {
        FBytes += static_cast<char>(static_cast<int>(cell.Fill) | (cell.Number ? 4 : 0) | (cell.Bold ? 8 : 0));
        PutNumber(FBytes, static_cast<std::uint32_t>(cell.Text.size()));
        FBytes += cell.Text;
    }
    if (std::fwrite(FBytes.data(), 1, FBytes.size(), FFile) != FBytes.size())
        Fail();
    ++FCount;
}

void TScratchRows::Rewind()
{
    if ((FWriting && std::fflush(FFile) != 0) || !SeekFile(FFile, 0))
        Fail();
    FWriting = false;
}

bool TScratchRows::Next(TStyledWorkbook::TRow& row)
{
    std::uint32_t cells = 0;
    if (!GetNumber(FFile, cells)) {
        if (std::ferror(FFile))
            Fail();
        return false;
    }
    row.resize(cells);
    for (TStyledWorkbook::TCell& cell : row) {
        const int style = std::fgetc(FFile);
        std::uint32_t size = 0;
        if (style == EOF || !GetNumber(FFile, size))
            Fail();
        cell.Fill = static_cast<TStyledWorkbook::EFill>(style & 3);
        cell.Number = (style & 4) != 0;
        cell.Bold = (style & 8) != 0;
        cell.Text.resize(size);
        if (size > 0 && std::fread(cell.Text.data(), 1, size, FFile) != size)
            Fail();
    }
    return true;
}
