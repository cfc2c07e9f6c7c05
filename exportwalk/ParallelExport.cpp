#include "ParallelExport.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <stop_token>
#include <system_error>
#include <thread>

namespace {

// Whose turn it is to write: parts write in file order. After a failure the
// parts behind it are given up: their threads are asked to stop.
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
        FStop.request_stop();
        FChanged.notify_all();
    }
    std::stop_token Token() const { return FStop.get_token(); }
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
    std::stop_source FStop;
};

// What one thread's table writes: held until its part's turn; dropped once the
// export is given up, while the thread comes to its stop.
class TTurnOutput : public TOutput {
public:
    TTurnOutput(TTurns& turns, TOutput& output) : FTurns(turns),
                                                  FOutput(output) { }
    void SetPart(std::size_t part) { FPart = part; }
    void Write(std::string_view bytes) override
    {
        if (FTurns.Await(FPart))
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

void ExportParts(TByteSource& file, const std::vector<TFilePart>& parts, const TPartSink& table,
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
    // as a single walk would have written them. False when the export ends here.
    auto exportPart = [&](std::size_t part, TPartSink& rows, std::unique_ptr<char[]>& buffer, std::stop_token stop) {
        try {
            WalkInvestigationsPart(file, parts[part], rows, buffer, stop);
        } catch (...) {
            std::exception_ptr error = std::current_exception();
            if (!turns.Await(part))
                return false;
            try {
                rows.Flush();
            } catch (...) {
                error = std::current_exception();
            }
            turns.Fail(error);
            return false;
        }
        if (stop.stop_requested())
            return false;
        rows.Flush();
        if (!turns.Await(part))
            return false;
        turns.Pass(part);
        return true;
    };
    auto work = [&](std::stop_token stop) {
        try {
            TTurnOutput gate(turns, output);
            const std::unique_ptr<TPartSink> rows = table.Continuation(gate, flushSize);
            std::unique_ptr<char[]> buffer;
            for (std::size_t part = next++; part < parts.size() && !stop.stop_requested(); part = next++) {
                gate.SetPart(part);
                if (!exportPart(part, *rows, buffer, stop))
                    return;
            }
        } catch (...) {
            turns.Fail(std::current_exception());
        }
    };
    std::vector<std::jthread> helpers;
    try {
        for (unsigned i = 1; i < threads; ++i)
            helpers.emplace_back([&] { work(turns.Token()); });
    } catch (const std::system_error&) {
        // No more threads to be had: those there are do the work.
    } catch (const std::bad_alloc&) {
    }
    work(turns.Token());
    helpers.clear(); // joins them
    if (const std::exception_ptr error = turns.Error())
        std::rethrow_exception(error);
}
