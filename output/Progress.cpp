#include "Progress.h"

#include <algorithm>

TProgress::TProgress(std::uint64_t total, bool shown, TWriter write, TClock clock)
    : FTotal(total),
      FShown(shown),
      FWrite(std::move(write)),
      FClock(std::move(clock))
{
    if (FShown)
        FNext = FClock() + Interval;
}

TProgress::~TProgress() { Clear(); }

void TProgress::Update()
{
    FUnclocked = 0;
    const auto now = FClock();
    if (now < FNext)
        return;
    FNext = now + Interval;
    const int percent = FTotal == 0 ? 100 : static_cast<int>(std::min<std::uint64_t>(FDone, FTotal) * 100 / FTotal);
    if (percent == FPercent)
        return;
    FPercent = percent;
    // Written over the line before, which is never longer.
    std::string line = "\rmorvask-export: ";
    line += std::to_string(percent);
    line += " % gelesen";
    FWrite(line);
    FWidth = line.size() - 1;
}

void TProgress::Clear()
{
    if (FWidth == 0)
        return;
    std::string blank(FWidth + 2, ' ');
    blank.front() = blank.back() = '\r';
    FWrite(blank);
    FWidth = 0;
}
