#pragma once

#include <QTest>

// For a QtTest function that tests what only the Linux build does; under the
// Windows build it is skipped with the reason, which the test log shows.
#ifdef _WIN32
#define MORVASK_LINUX_ONLY(reason) QSKIP("Linux only: " reason)
#else
#define MORVASK_LINUX_ONLY(reason) static_cast<void>(0)
#endif
