#pragma once

#include <QString>

#include <cstdint>
#include <functional>

// The text typed to find a row: keys typed less than a second apart build
// one text, a longer pause begins a new one.
class TTypeAhead {
public:
    // Milliseconds from any fixed start.
    using TClock = std::function<int64_t()>;
    static constexpr int64_t Pause = 1000;

    TTypeAhead();

    void SetClock(TClock clock) { FClock = std::move(clock); }
    // Whether a key typed now would continue the text typed before.
    bool Continues() const { return !FText.isEmpty() && FClock() - FLastKey < Pause; }
    // Adds typed text; returns whether it continues the text typed before.
    bool Add(const QString& typed);
    const QString& Text() const { return FText; }
    void Reset() { FText.clear(); }

private:
    TClock FClock;
    QString FText;
    int64_t FLastKey = 0;
};
