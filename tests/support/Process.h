#pragma once

#include <string>
#include <vector>

// The lines of a program's output, without their line breaks.
std::vector<std::string> OutputLines(const std::string& text);

struct TProcessResult {
    int ExitCode = -1; // -1: did not exit normally (signal)
    int Signal = 0; // the signal that ended it, on POSIX
    std::string Output; // standard output
    std::string Errors; // standard error
};

// Runs program with arguments and standard input from /dev/null, in
// workingFolder when one is given; its output passes through files in
// scratchFolder, so that no pipe can fill up and stall it.
TProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& scratchFolder, const std::string& workingFolder = {});

#ifndef _WIN32
// Starts program as RunProgram does and returns its process id at once;
// standard output goes to outputPath when one is given (a device such as
// /dev/full too). FinishProgram waits for it; Output is empty then.
int StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& scratchFolder, const std::string& outputPath = {});
TProcessResult FinishProgram(int pid, const std::string& scratchFolder);
#endif

#ifdef _WIN32
// The same with standard output going to outputHandle (a console buffer);
// Output stays empty.
TProcessResult RunProgramToHandle(const std::string& program, const std::vector<std::string>& arguments,
                                  const std::string& scratchFolder, void* outputHandle);

// The same with standard output on a fresh console screen of 200 x 200
// characters; Shown is what the screen shows, read back as characters.
// Available is false where there is no console to be had.
struct TConsoleRun {
    bool Available = false;
    TProcessResult Run;
    std::wstring Shown;
};
TConsoleRun RunProgramOnConsole(const std::string& program, const std::vector<std::string>& arguments,
                                const std::string& scratchFolder);
#endif
