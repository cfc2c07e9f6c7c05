#include "RobustFiles.h"

#include "TransferFileGenerator.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>

extern char** environ;

TScratchDir::TScratchDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "morvask-robust-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    FPath = pattern;
}

TScratchDir::~TScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
}

std::string TScratchDir::Write(std::string_view name, std::string_view bytes) const
{
    const std::string path = File(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
    return path;
}

std::string RealisticTransferText(uint64_t seed, int investigationCount)
{
    TTransferFileGenerator generator(seed);
    std::string text;
    for (int i = 0; i < investigationCount; ++i)
        generator.AppendInvestigation(text);
    return text;
}

std::string RandomBytes(uint64_t seed, std::size_t size)
{
    std::string bytes(size, '\0');
    uint64_t state = seed;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        bytes[i] = static_cast<char>(state >> 56);
    }
    return bytes;
}

std::string WellFormedText(int blocks, int parameters, const std::function<std::string()>& field)
{
    std::string text;
    for (int block = 0; block < blocks; ++block) {
        text += "1|E|";
        for (int i = 3; i <= 32; ++i)
            text += field() + "|";
        text += "\r\n2|MATW|";
        for (int i = 35; i <= 42; ++i)
            text += field() + "|";
        text += "\r\n";
        for (int p = 0; p < parameters; ++p) {
            text += "2|";
            for (int i = 44; i <= 53; ++i)
                text += field() + "|";
            text += "\r\n";
        }
        text += "3|" + std::to_string(parameters) + "\r\n";
    }
    return text;
}

std::string HighBytesText(uint64_t seed, int blocks, int parameters)
{
    const std::string noise = RandomBytes(seed, 4096);
    std::size_t next = 0;
    return WellFormedText(blocks, parameters, [&] {
        std::string f;
        for (int i = 0; i < 12; ++i)
            f += static_cast<char>(0x80 | static_cast<unsigned char>(noise[next++ % noise.size()]));
        return f;
    });
}

namespace {

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& scratchFolder)
{
    const std::string outPath = scratchFolder + "/stdout.txt";
    const std::string errPath = scratchFolder + "/stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

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
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        throw std::runtime_error("lost " + program);

    TProcessResult result;
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.Output = ReadWhole(outPath);
    result.Errors = ReadWhole(errPath);
    return result;
}
