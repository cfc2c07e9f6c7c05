#include "WideText.h"

#ifdef _WIN32

#include <windows.h>

std::wstring Utf8ToWide(std::string_view utf8, bool* valid)
{
    if (valid)
        *valid = true;
    if (utf8.empty())
        return {};
    if (utf8.size() > 0x7FFFFFFF) {
        if (valid)
            *valid = false;
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    DWORD flags = MB_ERR_INVALID_CHARS;
    int wideSize = MultiByteToWideChar(CP_UTF8, flags, utf8.data(), size, nullptr, 0);
    if (wideSize <= 0) {
        if (valid) {
            *valid = false;
            return {};
        }
        flags = 0;
        wideSize = MultiByteToWideChar(CP_UTF8, flags, utf8.data(), size, nullptr, 0);
        if (wideSize <= 0)
            return {};
    }
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    MultiByteToWideChar(CP_UTF8, flags, utf8.data(), size, wide.data(), wideSize);
    return wide;
}

std::wstring WidePath(std::string_view path)
{
    bool valid = false;
    const std::wstring wide = Utf8ToWide(path, &valid);
    if (!valid || wide.find(L'\0') != std::wstring::npos)
        return {};
    // Past MAX_PATH only the \\?\ form of a full path opens; it takes no "/",
    // so the full path comes from the system, which turns "/" into "\".
    if (wide.size() < MAX_PATH || wide.rfind(L"\\\\?\\", 0) == 0)
        return wide;
    const DWORD fullSize = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (fullSize == 0)
        return {};
    std::wstring full(fullSize, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), fullSize, full.data(), nullptr);
    if (written == 0 || written >= fullSize)
        return {};
    full.resize(written);
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::string WideToUtf8(std::wstring_view wide)
{
    wide = wide.substr(0, wide.find(L'\0'));
    if (wide.empty() || wide.size() > 0x7FFFFFFF)
        return {};
    const int size = static_cast<int>(wide.size());
    const int utf8Size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (utf8Size <= 0)
        return {};
    std::string utf8(static_cast<std::size_t>(utf8Size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), utf8Size, nullptr, nullptr);
    return utf8;
}

#endif
