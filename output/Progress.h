#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// How far a long run has come, as percent of the bytes it has to read, on
// one line of a terminal that each update overwrites. It writes nothing when
// not shown (the output is no terminal, or the user asked for quiet), nothing
// in a run shorter than its first interval, and at most one update per
// interval: the clock is read only every so many bytes.
class TProgress {
public:
    using TClock = std::function<std::chrono::steady_clock::time_point()>;
    using TWriter = std::function<void(std::string_view)>;

    static constexpr std::chrono::milliseconds Interval{250};
    static constexpr std::uint64_t ClockBytes = 1 << 20;

    TProgress(std::uint64_t total, bool shown, TWriter write, TClock clock = std::chrono::steady_clock::now);
    ~TProgress();
    TProgress(const TProgress&) = delete;
    TProgress& operator=(const TProgress&) = delete;

    void Advance(std::uint64_t bytes)
    {
        FDone += bytes;
        FUnclocked += bytes;
        if (FShown && FUnclocked >= ClockBytes)
            Update();
    }
    // Takes the line away again, so that what follows starts on a clean one.
    void Clear();

private:
    void Update();

    std::uint64_t FTotal, FDone = 0, FUnclocked = 0;
    bool FShown;
    TWriter FWrite;
    TClock FClock;
    std::chrono::steady_clock::time_point FNext;
    int FPercent = -1;
    std::size_t FWidth = 0; // of the line on the terminal now
};
