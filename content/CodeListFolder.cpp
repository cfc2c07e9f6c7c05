#include "CodeListFolder.h"

#include "Utf8Text.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include "WideText.h"

#include <windows.h>
#else
#include <climits>
#include <unistd.h>
#endif

namespace {

bool IsFolder(const std::string& path)
{
    std::error_code error;
#ifdef _WIN32
    return std::filesystem::is_directory(std::filesystem::path(std::u8string(path.begin(), path.end())), error);
#else
    return std::filesystem::is_directory(std::filesystem::path(path), error);
#endif
}

} // namespace

std::vector<std::string> CodeListFolderCandidates(const std::string& programFolder)
{
    std::vector<std::string> candidates;
    if (!programFolder.empty())
        candidates.push_back(programFolder + "/Kodelisten");
#ifndef _WIN32
    candidates.push_back(SystemCodeListFolder);
#endif
    return candidates;
}

std::optional<std::string> FindCodeListFolder(const std::string& programFolder)
{
    for (const std::string& folder : CodeListFolderCandidates(programFolder)) {
        if (IsFolder(folder))
            return folder;
    }
    return std::nullopt;
}

std::string ProgramFolder()
{
#ifdef _WIN32
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::string() : WideToUtf8(std::wstring_view(path).substr(0, slash));
#else
    std::string path(PATH_MAX, '\0');
    const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= path.size())
        return {};
    path.resize(static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
#endif
}

TCodeLists LoadCodeLists(const std::optional<std::string>& folder, std::string& searched)
{
    if (folder)
        return TCodeLists::Load(*folder);
    const std::string program = ProgramFolder();
    if (const std::optional<std::string> found = FindCodeListFolder(program))
        return TCodeLists::Load(*found);
    for (const std::string& candidate : CodeListFolderCandidates(program))
        searched += (searched.empty() ? "" : " und ") + BytesToUtf8(candidate);
    return {};
}

std::string MissingListsNote(const TCodeLists& lists, const std::string& searched)
{
    const std::vector<const TListCheck*> missing = lists.Missing();
    if (missing.empty())
        return {};
    std::string fields, files;
    for (std::size_t i = 0; i < missing.size(); ++i) {
        const char* const separator = i == 0 ? "" : i + 1 == missing.size() ? " und "
                                                                            : ", ";
        fields += separator + std::to_string(missing[i]->Field);
        files += separator + ListFileName(missing[i]->Field);
    }
    std::string note = "Hinweis: ";
    if (lists.Folder().empty())
        note += "Keine Kodelisten gefunden" + (searched.empty() ? std::string() : " (gesucht in " + searched + ")") + "; ";
    else
        note += "Im Ordner " + BytesToUtf8(lists.Folder()) + " fehl" + (missing.size() == 1 ? "t " : "en ") + files + "; ";
    return note + "ohne Kodeliste nicht gepr\xC3\xBC"
                  "ft: Feld" +
           (missing.size() == 1 ? " " : "er ") + fields + ".";
}
