#pragma once

#include <cstdio>

// While one lives, whatever a library prints through the C stream stderr
// goes nowhere: libxlsxwriter prints its own English lines there besides
// returning the error codes that the program turns into German messages.
// Only the stream is swapped, not the file descriptor: sanitizers and
// anything else writing to descriptor 2 are not affected. The program writes
// nothing of its own while one lives; it is meant for the span of a library
// call on the one thread that makes it. Where the C library does not let
// stderr be reassigned (only glibc documents it), nothing is held back.
class TQuietStandardError {
public:
    TQuietStandardError();
    ~TQuietStandardError();
    TQuietStandardError(const TQuietStandardError&) = delete;
    TQuietStandardError& operator=(const TQuietStandardError&) = delete;

private:
    std::FILE* FSaved = nullptr;
};
