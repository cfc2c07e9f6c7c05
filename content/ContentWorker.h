#pragma once

#include "ContentCheck.h"

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Runs a content check on a thread of its own, fed the chunks the read loop
// has already handed to the structure check: the file is read once and both
// checks run side by side. The worker owns a few buffers; the reader fills
// the one Buffer gives and hands it on with Hand, which waits only when every
// buffer is still being checked.
class TContentWorker {
public:
    static constexpr std::size_t BufferSize = 256 * 1024;

    explicit TContentWorker(TContentCheck& check);
    // Stops the thread; the check's state is then undefined unless Finish ran.
    ~TContentWorker();
    TContentWorker(const TContentWorker&) = delete;
    TContentWorker& operator=(const TContentWorker&) = delete;

    // A free buffer of BufferSize bytes to read into.
    char* Buffer();
    // The first count bytes of the buffer Buffer gave go to the check.
    void Hand(std::size_t count);
    // Waits until every chunk handed on is checked, then finishes the check.
    // Rethrows what the check threw.
    void Finish();

private:
    struct TChunk {
        std::unique_ptr<char[]> Bytes;
        std::size_t Count = 0;
    };
    void Run();

    TContentCheck& FCheck;
    std::vector<TChunk> FChunks;
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::size_t FNextFree = 0; // the chunk Buffer gives next
    std::size_t FNextFull = 0; // the chunk the worker takes next
    std::size_t FFull = 0; // chunks handed on and not yet checked
    bool FStop = false;
    std::exception_ptr FError;
    std::thread FThread;
};
