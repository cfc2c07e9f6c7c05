#include "ContentWorker.h"

namespace {

// Enough for the reader to fill one while the worker checks another.
constexpr std::size_t Chunks = 3;

} // namespace

TContentWorker::TContentWorker(TContentCheck& check)
    : FCheck(check)
{
    FChunks.resize(Chunks);
    for (TChunk& chunk : FChunks)
        chunk.Bytes.reset(new char[BufferSize]);
    FThread = std::thread([this] { Run(); });
}

TContentWorker::~TContentWorker()
{
    {
        std::lock_guard lock(FMutex);
        FStop = true;
    }
    FChanged.notify_all();
    if (FThread.joinable())
        FThread.join();
}

char* TContentWorker::Buffer()
{
    std::unique_lock lock(FMutex);
    // The buffer after the last one handed on is free once fewer than all are full.
    FChanged.wait(lock, [this] { return FFull < Chunks || FError; });
    return FChunks[FNextFree].Bytes.get();
}

void TContentWorker::Hand(std::size_t count)
{
    {
        std::lock_guard lock(FMutex);
        FChunks[FNextFree].Count = count;
        FNextFree = (FNextFree + 1) % Chunks;
        ++FFull;
    }
    FChanged.notify_all();
}

void TContentWorker::Finish()
{
    {
        std::unique_lock lock(FMutex);
        FChanged.wait(lock, [this] { return FFull == 0 || FError; });
        FStop = true;
    }
    FChanged.notify_all();
    FThread.join();
    if (FError)
        std::rethrow_exception(FError);
    FCheck.Finish();
}

void TContentWorker::Run()
{
    for (;;) {
        TChunk* chunk = nullptr;
        {
            std::unique_lock lock(FMutex);
            FChanged.wait(lock, [this] { return FFull > 0 || FStop; });
            if (FFull == 0)
                return;
            chunk = &FChunks[FNextFull];
        }
        try {
            if (!FCheck.Ended())
                FCheck.Feed(chunk->Bytes.get(), chunk->Count);
        } catch (...) {
            std::lock_guard lock(FMutex);
            FError = std::current_exception();
            FChanged.notify_all();
            return;
        }
        {
            std::lock_guard lock(FMutex);
            FNextFull = (FNextFull + 1) % Chunks;
            --FFull;
        }
        FChanged.notify_all();
    }
}
