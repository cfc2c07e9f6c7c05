#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Stops the run with a message when a property that must hold does not; the
// fuzzer keeps the input as a finding.
[[noreturn]] void FuzzFailure(const char* what, const std::string& detail = {});

#define FUZZ_ASSERT(condition, detail)       \
    do {                                     \
        if (!(condition))                    \
            FuzzFailure(#condition, detail); \
    } while (false)

// The input bytes taken as Windows-1252 text, as a field shows them.
QString Cp1252Text(std::string_view bytes);

// A private temporary folder (removed at exit) holding one file with a
// conforming transfer-file name, rewritten for every input.
class TFuzzFile {
public:
    TFuzzFile();
    ~TFuzzFile();
    TFuzzFile(const TFuzzFile&) = delete;
    TFuzzFile& operator=(const TFuzzFile&) = delete;

    const std::string& Path() const { return FPath; }
    void Write(const uint8_t* data, std::size_t size);

private:
    std::string FFolder;
    std::string FPath;
};

// One offscreen application for fuzzers that need widgets or fonts.
void EnsureApplication();
