#include "Process.h"

#include <sstream>

std::vector<std::string> OutputLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

#ifdef _WIN32

#include "TempDir.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <windows.h>

namespace {

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring Wide(const std::string& utf8)
{
    return PathFromUtf8(utf8).wstring();
}

// One argument in the quoting that CommandLineToArgvW undoes.
std::wstring QuoteArgument(const std::wstring& arg)
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

TProcessResult Run(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& scratchFolder, const std::string& workingFolder, HANDLE outputHandle)
{
    const std::string outPath = scratchFolder + "/stdout.txt";
    const std::string errPath = scratchFolder + "/stderr.txt";
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const auto create = [&](const std::string& path) {
        return CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    const HANDLE out = outputHandle ? outputHandle : create(outPath);
    const HANDLE err = create(errPath);
    const HANDLE in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    std::wstring commandLine = QuoteArgument(Wide(program));
    for (const std::string& argument : arguments)
        commandLine += L" " + QuoteArgument(Wide(argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const std::wstring folder = Wide(workingFolder);
    const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        workingFolder.empty() ? nullptr : folder.c_str(), &startup, &process);
    if (!outputHandle)
        CloseHandle(out);
    CloseHandle(err);
    CloseHandle(in);
    if (!started)
        throw std::runtime_error("cannot start " + program);
    TProcessResult result;
    // Only a hung program meets this limit.
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 255);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code) && code != STILL_ACTIVE)
        result.ExitCode = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!outputHandle)
        result.Output = ReadWhole(outPath);
    result.Errors = ReadWhole(errPath);
    return result;
}

} // namespace

TProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& scratchFolder, const std::string& workingFolder)
{
    return Run(program, arguments, scratchFolder, workingFolder, nullptr);
}

TProcessResult RunProgramToHandle(const std::string& program, const std::vector<std::string>& arguments,
                                  const std::string& scratchFolder, void* outputHandle)
{
    return Run(program, arguments, scratchFolder, {}, static_cast<HANDLE>(outputHandle));
}

TConsoleRun RunProgramOnConsole(const std::string& program, const std::vector<std::string>& arguments,
                                const std::string& scratchFolder)
{
    TConsoleRun result;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE screen = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                    &inherit, CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (screen == INVALID_HANDLE_VALUE)
        return result;
    const COORD size{200, 200};
    if (!SetConsoleScreenBufferSize(screen, size))
        throw std::runtime_error("console screen not resized");
    result.Available = true;
    result.Run = RunProgramToHandle(program, arguments, scratchFolder, screen);
    result.Shown.assign(static_cast<std::size_t>(size.X * size.Y), L' ');
    DWORD read = 0;
    const BOOL shown = ReadConsoleOutputCharacterW(screen, result.Shown.data(), static_cast<DWORD>(result.Shown.size()), {0, 0}, &read);
    CloseHandle(screen);
    if (!shown)
        throw std::runtime_error("console screen not read");
    result.Shown.resize(read);
    return result;
}

#else

#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>

extern char** environ;

namespace {

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int Spawn(const std::string& program, const std::vector<std::string>& arguments, const std::string& scratchFolder,
          const std::string& outputPath, const std::string& workingFolder)
{
    const std::string outPath = outputPath.empty() ? scratchFolder + "/stdout.txt" : outputPath;
    const std::string errPath = scratchFolder + "/stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());

    std::vector<std::string> all{program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + program);
    return pid;
}

} // namespace

int StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& scratchFolder, const std::string& outputPath)
{
    return Spawn(program, arguments, scratchFolder, outputPath.empty() ? "/dev/null" : outputPath, {});
}

TProcessResult FinishProgram(int pid, const std::string& scratchFolder)
{
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        throw std::runtime_error("lost a program");
    TProcessResult result;
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.Signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    result.Errors = ReadWhole(scratchFolder + "/stderr.txt");
    return result;
}

TProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& scratchFolder, const std::string& workingFolder)
{
    TProcessResult result = FinishProgram(Spawn(program, arguments, scratchFolder, {}, workingFolder), scratchFolder);
    result.Output = ReadWhole(scratchFolder + "/stdout.txt");
    return result;
}

#endif
