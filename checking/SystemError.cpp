#include "SystemError.h"

#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#endif

TSystemError LastErrno()
{
    return TSystemError::FromErrno(errno);
}

TSystemError LastPlatformError()
{
#ifdef _WIN32
    return {TSystemError::EOrigin::Windows, static_cast<long>(GetLastError())};
#else
    return LastErrno();
#endif
}
