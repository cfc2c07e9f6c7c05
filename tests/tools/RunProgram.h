#pragma once

#include "../checking/TempFile.h"

#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <sys/wait.h>
#endif

// Runs a program with arguments (UTF-8) the way a shell would, stdin empty,
// and collects its exit status and both outputs as bytes.

struct TRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

inline std::string Slurp(const std::string& path)
{
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

#ifdef _WIN32

inline std::wstring Wide(const std::string& utf8)
{
    return PathFromUtf8(utf8).wstring();
}

// One argument in the quoting that CommandLineToArgvW undoes.
inline std::wstring QuoteArgument(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos)
        return arg;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

// stdout goes to outHandle when given (a console buffer), else to a file.
inline TRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                       const std::string& workDir = {}, HANDLE outHandle = nullptr)
{
    TTempDir scratch;
    SECURITY_ATTRIBUTES inherit {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const auto create = [&](const std::string& path) {
        return CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    const HANDLE out = outHandle ? outHandle : create(scratch.Path() + "/stdout");
    const HANDLE err = create(scratch.Path() + "/stderr");
    const HANDLE in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    std::wstring commandLine = QuoteArgument(Wide(program));
    for (const std::string& arg : args)
        commandLine += L" " + QuoteArgument(Wide(arg));
    STARTUPINFOW startup {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process {};
    TRun run;
    const std::wstring folder = Wide(workDir);
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       workDir.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        // Only a hung program meets this limit.
        if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 255);
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code) && code != STILL_ACTIVE)
            run.Status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (!outHandle)
        CloseHandle(out);
    CloseHandle(err);
    CloseHandle(in);
    if (!outHandle)
        run.Out = Slurp(scratch.Path() + "/stdout");
    run.Err = Slurp(scratch.Path() + "/stderr");
    return run;
}

#else

inline std::string QuoteArgument(const std::string& arg)
{
    std::string quoted = "'";
    for (const char c : arg) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

inline TRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                       const std::string& workDir = {})
{
    TTempDir scratch;
    std::string command = "timeout 60 " + QuoteArgument(program);
    for (const std::string& arg : args)
        command += " " + QuoteArgument(arg);
    const std::string out = scratch.Path() + "/stdout", err = scratch.Path() + "/stderr";
    command += " >" + QuoteArgument(out) + " 2>" + QuoteArgument(err) + " </dev/null";
    if (!workDir.empty())
        command = "cd " + QuoteArgument(workDir) + " && " + command;
    const int raw = std::system(command.c_str());
    TRun run;
    run.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.Out = Slurp(out);
    run.Err = Slurp(err);
    return run;
}

#endif
