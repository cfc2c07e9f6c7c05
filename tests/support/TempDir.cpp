#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

TTempDir::TTempDir()
{
#ifdef _WIN32
    // No mkdtemp: a random name, and create_directory tells whether it was free.
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100 && FPath.empty(); ++attempt) {
        const std::filesystem::path candidate =
            std::filesystem::temp_directory_path() / ("morvask-test-" + std::to_string(random() % 100000000));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error))
            FPath = Utf8FromPath(candidate);
    }
    if (FPath.empty())
        throw std::runtime_error("cannot create a temporary folder");
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "morvask-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    FPath = pattern;
#endif
}

TTempDir::~TTempDir()
{
    std::error_code ignored;
    std::filesystem::permissions(PathFromUtf8(FPath), std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(PathFromUtf8(FPath), ignored);
}

std::string TTempDir::Write(std::string_view name, std::string_view bytes) const
{
    const std::string path = File(name);
    std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
    return path;
}
