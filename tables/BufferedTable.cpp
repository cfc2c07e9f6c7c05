#include "BufferedTable.h"

#include <cstring>

TBufferedTable::TBufferedTable(TOutput& output, std::size_t flushSize)
    : FOutput(output),
      FFlushSize(flushSize),
      FData(new char[flushSize * 2]),
      FCapacity(flushSize * 2)
{
}

void TBufferedTable::Flush()
{
    if (FSize == 0)
        return;
    FOutput.Write(std::string_view(FData.get(), FSize));
    FSize = 0;
}

void TBufferedTable::MakeRoom(std::size_t n)
{
    Flush();
    if (n <= FCapacity)
        return;
    // One field longer than the buffer: the buffer grows to it.
    FData.reset(new char[n]);
    FCapacity = n;
}

void TBufferedTable::Append(std::string_view bytes)
{
    char* out = Room(bytes.size());
    std::memcpy(out, bytes.data(), bytes.size());
    Commit(out + bytes.size());
}
