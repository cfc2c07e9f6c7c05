#include "QuietStandardError.h"

#ifdef __GLIBC__

#include <sys/types.h>

namespace {

ssize_t Discard(void*, const char*, std::size_t size) { return static_cast<ssize_t>(size); }

// One stream for the whole run, opened on first use; null when it could not be had.
std::FILE* Nowhere()
{
    static std::FILE* const stream = [] {
        cookie_io_functions_t functions{};
        functions.write = Discard;
        return fopencookie(nullptr, "w", functions);
    }();
    return stream;
}

} // namespace

TQuietStandardError::TQuietStandardError()
{
    if (std::FILE* nowhere = Nowhere()) {
        FSaved = stderr;
        stderr = nowhere;
    }
}

TQuietStandardError::~TQuietStandardError()
{
    if (FSaved)
        stderr = FSaved;
}

#else

TQuietStandardError::TQuietStandardError() = default;
TQuietStandardError::~TQuietStandardError() = default;

#endif
