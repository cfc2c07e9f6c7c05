#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// A whole file read into one read-only buffer, so that lines and fields can be
// handed out as views into it instead of as copies.
class TFileText {
public:
    TFileText() = default;

    // Throws EFileOpenError when path is not a readable regular file.
    static TFileText Read(const std::string& path);

    std::string_view Text() const { return {FBytes.get(), FSize}; }

private:
    std::unique_ptr<char[]> FBytes;
    std::size_t FSize = 0;
};
