#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

// Paths in the tests are UTF-8 strings, as the tools carry them; on Windows
// the file system takes them only through these two.
// On Linux they pass as bytes, invalid UTF-8 included.
inline std::filesystem::path PathFromUtf8(const std::string& utf8)
{
#ifdef _WIN32
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return std::filesystem::path(utf8);
#endif
}

inline std::string Utf8FromPath(const std::filesystem::path& path)
{
#ifdef _WIN32
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
#else
    return path.string();
#endif
}

// A fresh directory under the system's temporary directory, removed with
// everything in it when the guard goes.
class TTempDir {
public:
    TTempDir()
    {
        std::random_device seed;
        std::mt19937_64 random(seed() ^ static_cast<std::uint64_t>(
                                            std::chrono::steady_clock::now().time_since_epoch().count()));
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::filesystem::path candidate =
                std::filesystem::temp_directory_path() / ("morvask-test-" + std::to_string(random() % 100000000));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                std::filesystem::permissions(candidate, std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::replace, error);
                FPath = Utf8FromPath(candidate);
                return;
            }
        }
        throw std::runtime_error("no temporary directory");
    }
    ~TTempDir()
    {
        std::error_code ignored;
        std::filesystem::permissions(PathFromUtf8(FPath), std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(PathFromUtf8(FPath), ignored);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::string& Path() const { return FPath; }

    std::string Write(const std::string& name, std::string_view bytes) const
    {
        const std::string path = FPath + "/" + name;
        std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

private:
    std::string FPath;
};
