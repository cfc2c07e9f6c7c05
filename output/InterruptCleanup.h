#pragma once

#include <string>

#ifndef _WIN32
#include <csignal>
#endif

// A file that must not outlive an interrupted run: Ctrl+C, a termination
// signal or a closed terminal (on Windows a console's Ctrl+C, Ctrl+Break or
// close) removes it, and the program then ends as the signal would have ended
// it. One file at a time; the handler does no more than remove the prepared
// name, so it is safe whatever the program was doing.
void RemoveOnInterrupt(const std::string& path);

// The file is no longer to be removed (it has been renamed or removed).
void KeepOnInterrupt();

// While one lives, those signals wait on the calling thread: a file created
// and registered under one is never left behind by a signal in between.
class TInterruptHold {
public:
    TInterruptHold();
    ~TInterruptHold();
    TInterruptHold(const TInterruptHold&) = delete;
    TInterruptHold& operator=(const TInterruptHold&) = delete;

private:
#ifndef _WIN32
    sigset_t FSaved; // the caller's signal mask
#endif
};
