#pragma once

#include <cstdint>

// Why the system refused an operation, kept as the system said it, so that
// a caller can give the reason in its own words. Captured right after the
// failing call, before anything else can change errno or the last error.
struct TSystemError {
    enum class EOrigin : std::uint8_t {
        None, // no reason known
        Errno, // Code is an errno value
        Windows, // Code is a GetLastError value
        NotAFile, // the name is there, but it is a device, pipe or socket
    };
    EOrigin Origin = EOrigin::None;
    long Code = 0;

    static TSystemError FromErrno(int code) { return {EOrigin::Errno, code}; }
    bool operator==(const TSystemError&) const = default;
};

// errno as it is now.
TSystemError LastErrno();

// The reason of the platform's own last failed call: errno on POSIX,
// GetLastError on Windows. C library calls set errno on Windows too: use
// LastErrno after them.
TSystemError LastPlatformError();
