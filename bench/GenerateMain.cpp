// morvask-bench-gen: writes a realistic, well-formed transfer file.
//
//   morvask-bench-gen [--seed N] --size BYTES FILE
//   morvask-bench-gen [--seed N] --investigations N [--parameters P] FILE
//
// BYTES may carry a suffix K, M or G (powers of 1024). Without --parameters
// every examination gets 5 to 30 parameter lines.
#include "TransferFileGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

namespace {

int Usage()
{
    std::fputs("usage: morvask-bench-gen [--seed N] --size BYTES[K|M|G] FILE\n"
               "       morvask-bench-gen [--seed N] --investigations N [--parameters P] FILE\n",
               stderr);
    return 2;
}

bool ParseCount(const char* text, uint64_t& value)
{
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    if (end == text)
        return false;
    if (*end == 'K' || *end == 'k')
        value <<= 10, ++end;
    else if (*end == 'M' || *end == 'm')
        value <<= 20, ++end;
    else if (*end == 'G' || *end == 'g')
        value <<= 30, ++end;
    return *end == '\0';
}

} // namespace

int main(int argc, char** argv)
{
    uint64_t seed = 20261207;
    uint64_t size = 0;
    uint64_t investigations = 0;
    uint64_t parameters = 0;
    bool haveParameters = false;
    const char* path = nullptr;

    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--seed") == 0 && hasValue) {
            if (!ParseCount(argv[++i], seed))
                return Usage();
        } else if (std::strcmp(argv[i], "--size") == 0 && hasValue) {
            if (!ParseCount(argv[++i], size))
                return Usage();
        } else if (std::strcmp(argv[i], "--investigations") == 0 && hasValue) {
            if (!ParseCount(argv[++i], investigations))
                return Usage();
        } else if (std::strcmp(argv[i], "--parameters") == 0 && hasValue) {
            if (!ParseCount(argv[++i], parameters) || parameters > 100000000)
                return Usage();
            haveParameters = true;
        } else if (argv[i][0] != '-' && path == nullptr) {
            path = argv[i];
        } else {
            return Usage();
        }
    }
    if (path == nullptr || (size == 0) == (investigations == 0))
        return Usage();

    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        std::perror(path);
        return 2;
    }
    try {
        TTransferFileGenerator generator(seed);
        const uint64_t bytes = size != 0
                                   ? generator.WriteBySize(file, size)
                                   : generator.WriteByCount(file, investigations, haveParameters ? static_cast<int>(parameters) : -1);
        if (std::fclose(file) != 0) {
            std::perror(path);
            return 2;
        }
        std::printf("%s: %llu bytes, %llu lines, %llu investigations, %llu parameters\n", path,
                    static_cast<unsigned long long>(bytes),
                    static_cast<unsigned long long>(generator.LinesWritten()),
                    static_cast<unsigned long long>(generator.InvestigationsWritten()),
                    static_cast<unsigned long long>(generator.ParametersWritten()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "morvask-bench-gen: %s\n", e.what());
        std::fclose(file);
        return 2;
    }
    return 0;
}
