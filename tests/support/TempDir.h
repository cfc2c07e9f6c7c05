#pragma once

#include <string>
#include <string_view>

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
