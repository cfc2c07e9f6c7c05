#include "InterruptCleanup.h"

#include "WideText.h"

#include <atomic>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <pthread.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
using TName = std::wstring;
using TChar = wchar_t;

TName SystemName(const std::string& utf8) { return WidePath(utf8); }
#else
using TName = std::string;
using TChar = char;

TName SystemName(const std::string& path) { return path; }
#endif

// The handler reads only this pointer: it is either null or points at a
// finished name that stays until the pointer has been taken away again.
std::atomic<const TChar*> Pending{nullptr};
static_assert(std::atomic<const TChar*>::is_always_lock_free);
TName PendingName;

#ifdef _WIN32

BOOL WINAPI OnConsoleEvent(DWORD)
{
    if (const wchar_t* name = Pending.exchange(nullptr))
        DeleteFileW(name);
    // The default handler ends the program.
    return FALSE;
}

void InstallOnce()
{
    static const bool installed = SetConsoleCtrlHandler(OnConsoleEvent, TRUE) != 0;
    (void)installed;
}

#else

constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void OnSignal(int signal)
{
    // Only async-signal-safe calls: unlink, then the default action again.
    if (const char* name = Pending.exchange(nullptr))
        unlink(name);
    struct sigaction fallback { };
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

void InstallOnce()
{
    static const bool installed = [] {
        for (const int signal : Signals) {
            struct sigaction current { };
            // A signal the caller chose to ignore (nohup) stays ignored.
            if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
                continue;
            struct sigaction handler { };
            handler.sa_handler = OnSignal;
            sigemptyset(&handler.sa_mask);
            // Blocked while the handler runs: a second signal meets the default action afterwards.
            for (const int other : Signals)
                sigaddset(&handler.sa_mask, other);
            sigaction(signal, &handler, nullptr);
        }
        return true;
    }();
    (void)installed;
}

#endif

} // namespace

void RemoveOnInterrupt(const std::string& path)
{
    InstallOnce();
    Pending.store(nullptr);
    PendingName = SystemName(path);
    Pending.store(PendingName.c_str());
}

void KeepOnInterrupt()
{
    Pending.store(nullptr);
}

#ifdef _WIN32

TInterruptHold::TInterruptHold() = default;
TInterruptHold::~TInterruptHold() = default;

#else

TInterruptHold::TInterruptHold()
{
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : Signals)
        sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, &FSaved);
}

TInterruptHold::~TInterruptHold()
{
    pthread_sigmask(SIG_SETMASK, &FSaved, nullptr);
}

#endif
