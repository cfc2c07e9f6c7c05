#include "RobustFiles.h"

#include "TransferFileGenerator.h"

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
