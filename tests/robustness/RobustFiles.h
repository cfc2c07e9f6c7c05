#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Test files for the robustness tests: a private temporary folder, realistic
// transfer files from the benchmark generator, and a way to run a program.
class TScratchDir {
public:
    TScratchDir();
    ~TScratchDir();
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;

    const std::string& Path() const { return FPath; }
    std::string File(std::string_view name) const { return FPath + "/" + std::string(name); }
    std::string Write(std::string_view name, std::string_view bytes) const;

private:
    std::string FPath;
};

// investigationCount realistic examinations (5 to 30 parameters each).
std::string RealisticTransferText(uint64_t seed, int investigationCount);

// Well-formed blocks of the given shape whose data fields come from field();
// field must not return "|" or line ends.
std::string WellFormedText(int blocks, int parameters, const std::function<std::string()>& field);

// Data fields of 12 random bytes from 0x80 to 0xFF each.
std::string HighBytesText(uint64_t seed, int blocks, int parameters);

// size bytes from a seeded generator, every byte value possible.
std::string RandomBytes(uint64_t seed, std::size_t size);

struct TProcessResult {
    int ExitCode = -1;       // -1: did not exit normally (signal)
    std::string Output;      // standard output
    std::string Errors;      // standard error
};

// Runs program with arguments, standard input from /dev/null.
TProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& scratchFolder);
