#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Paths in the tests are UTF-8 strings, as the tools carry them; on Windows
// the file system takes them only through these two. On Linux they pass as
// bytes, invalid UTF-8 included.
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

// A fresh folder under the system's temporary folder, removed with everything
// in it when the guard goes, even where a test took away its permissions.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::string& Path() const { return FPath; }
    std::string File(std::string_view name) const { return FPath + "/" + std::string(name); }
    // Writes bytes to the file name inside the folder; returns its path.
    std::string Write(std::string_view name, std::string_view bytes) const;

private:
    std::string FPath;
};
