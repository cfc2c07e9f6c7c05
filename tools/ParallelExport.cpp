#include "ParallelExport.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// Whose turn it is to write: parts write in file order. After a failure the
// parts behind it are given up.
class TTurns {
public:
    // Waits until part may write; false when the export was given up.
    bool Await(std::size_t part)
    {
        std::unique_lock<std::mutex> lock(FMutex);
        FChanged.wait(lock, [&] { return FTurn == part || FStopped; });
        return FTurn == part;
    }
    void Pass(std::size_t part)
    {
        {
            const std::lock_guard<std::mutex> lock(FMutex);
            FTurn = part + 1;
        }
        FChanged.notify_all();
    }
    // Called at the failing part's turn, so all before it are written; the
    // first failure is the one reported.
    void Fail(std::exception_ptr error)
    {
        {
            const std::lock_guard<std::mutex> lock(FMutex);
            if (!FStopped)
                FError = error;
            FStopped = true;
            FTurn = SIZE_MAX;
        }
        FChanged.notify_all();
    }
    bool Stopped()
    {
        const std::lock_guard<std::mutex> lock(FMutex);
        return FStopped;
    }
    std::exception_ptr Error()
    {
        const std::lock_guard<std::mutex> lock(FMutex);
        return FError;
    }

private:
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::size_t FTurn = 0;
    bool FStopped = false;
    std::exception_ptr FError;
};

// Given up because a part before failed.
struct ECancelled { };

// What one thread's table writes: held until its part's turn.
class TTurnOutput : public TOutput {
public:
    TTurnOutput(TTurns& turns, TOutput& output) : FTurns(turns),
                                                  FOutput(output) { }
    void SetPart(std::size_t part) { FPart = part; }
    void Write(std::string_view bytes) override
    {
        if (!FTurns.Await(FPart))
            throw ECancelled();
        FOutput.Write(bytes);
    }

private:
    TTurns& FTurns;
    TOutput& FOutput;
    std::size_t FPart = 0;
};

} // namespace

unsigned ExportThreads()
{
    // Past a few threads, writing the output is what takes the time.
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

void ExportParts(TByteSource& file, const std::vector<TFilePart>& parts, const TBufferedTable& table,
                 TOutput& output, unsigned threads, std::size_t flushSize)
{
    if (parts.empty())
        return;
    threads = std::clamp<unsigned>(threads, 1, static_cast<unsigned>(std::min<std::size_t>(parts.size(), 64)));
    // A part of the default spacing makes well under 1 MB of rows in either format.
    if (flushSize == 0)
        flushSize = std::min<std::size_t>(1 << 20, (2 << 20) / threads);
    TTurns turns;
    std::atomic<std::size_t> next{0};
    // One part: walked into rows, then written at its turn. A failure is
    // raised at the part's turn too, after the rows before the failing place,
    // as a single walk would have written them.
    auto exportPart = [&](std::size_t part, TBufferedTable& rows, std::unique_ptr<char[]>& buffer) {
        try {
            WalkInvestigationsPart(file, parts[part], rows, buffer);
        } catch (const ECancelled&) {
            throw;
        } catch (...) {
            if (!turns.Await(part))
                throw ECancelled();
            rows.Flush();
            throw;
        }
        rows.Flush();
        if (!turns.Await(part))
            throw ECancelled();
        turns.Pass(part);
    };
    auto work = [&] {
        try {
            TTurnOutput gate(turns, output);
            const std::unique_ptr<TBufferedTable> rows = table.Continuation(gate, flushSize);
            std::unique_ptr<char[]> buffer;
            for (std::size_t part = next++; part < parts.size() && !turns.Stopped(); part = next++) {
                gate.SetPart(part);
                exportPart(part, *rows, buffer);
            }
        } catch (const ECancelled&) {
        } catch (...) {
            turns.Fail(std::current_exception());
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (unsigned i = 1; i < threads; ++i)
            helpers.emplace_back(work);
    } catch (const std::system_error&) {
        // No more threads to be had: those there are do the work.
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    if (const std::exception_ptr error = turns.Error())
        std::rethrow_exception(error);
}
