#include "ToolPlatform.h"

#include "WideText.h"

#include <algorithm>

#ifndef _WIN32
#include <unistd.h>
#endif

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>
#endif

#ifdef _WIN32

namespace {

// The console behind stream, or nullptr when it goes to a file or a pipe.
HANDLE ConsoleOf(std::FILE* stream)
{
    const intptr_t handle = _get_osfhandle(_fileno(stream));
    if (handle == -1)
        return nullptr;
    DWORD mode = 0;
    return GetConsoleMode(reinterpret_cast<HANDLE>(handle), &mode) ? reinterpret_cast<HANDLE>(handle) : nullptr;
}

} // namespace

std::vector<std::string> ToolArguments(int argc, char** argv)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    if (!wide) {
        // Without the wide command line the ANSI one is all there is.
        for (int i = 1; i < argc; ++i)
            args.emplace_back(argv[i]);
        return args;
    }
    for (int i = 1; i < count; ++i)
        args.push_back(WideToUtf8(wide[i]));
    LocalFree(wide);
    return args;
}

void PrepareToolOutput()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void BorrowParentConsole()
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if ((output == nullptr || output == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS) &&
        std::freopen("CONOUT$", "w", stdout) != nullptr)
        _setmode(_fileno(stdout), _O_BINARY);
}

bool WriteText(std::FILE* stream, std::string_view utf8)
{
    if (utf8.empty())
        return true;
    const HANDLE console = ConsoleOf(stream);
    if (console && utf8.size() < 0x7FFFFFFF) {
        const std::wstring wide = Utf8ToWide(utf8);
        std::fflush(stream);
        // Consoles take large writes badly; pieces that keep surrogate pairs whole.
        std::size_t done = 0;
        while (done < wide.size()) {
            std::size_t piece = std::min<std::size_t>(wide.size() - done, 8192);
            if (done + piece < wide.size() && IS_HIGH_SURROGATE(wide[done + piece - 1]))
                --piece;
            DWORD written = 0;
            if (!WriteConsoleW(console, wide.data() + done, static_cast<DWORD>(piece), &written, nullptr))
                break;
            done += piece;
        }
        if (done == wide.size())
            return true;
        // A console that takes no wide text at all gets the bytes; one that
        // fails part-way has lost text, which is a write failure.
        if (done != 0)
            return false;
    }
    return std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
}

bool IsTerminal(std::FILE* stream) { return ConsoleOf(stream) != nullptr; }

#else

std::vector<std::string> ToolArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
}

void PrepareToolOutput()
{
}

void BorrowParentConsole()
{
}

bool WriteText(std::FILE* stream, std::string_view utf8)
{
    return std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
}

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

#endif
