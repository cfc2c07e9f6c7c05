#include "CodeLists.h"

#include "CodeListError.h"

#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path PathOf(const std::string& utf8)
{
#ifdef _WIN32
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return std::filesystem::path(utf8);
#endif
}

std::string NameOf(const std::filesystem::path& path)
{
#ifdef _WIN32
    const std::u8string name = path.filename().u8string();
    return std::string(name.begin(), name.end());
#else
    return path.filename().string();
#endif
}

// The field of a name "Feld<N>.txt" in any case, or 0.
int FieldOfName(std::string_view name)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    const std::string_view prefix = "feld", suffix = ".txt";
    if (name.size() <= prefix.size() + suffix.size() || name.size() > prefix.size() + suffix.size() + 2)
        return 0;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (lower(name[i]) != prefix[i])
            return 0;
    }
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (lower(name[name.size() - suffix.size() + i]) != suffix[i])
            return 0;
    }
    int field = 0;
    for (std::size_t i = prefix.size(); i < name.size() - suffix.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return 0;
        field = field * 10 + (name[i] - '0');
    }
    return name[prefix.size()] == '0' ? 0 : field;
}

TSystemError ErrorOf(const std::error_code& code)
{
#ifdef _WIN32
    if (code.category() == std::system_category())
        return {TSystemError::EOrigin::Windows, code.value()};
#endif
    return TSystemError::FromErrno(code.value());
}

} // namespace

TCodeLists TCodeLists::Load(const std::string& folder)
{
    TCodeLists lists;
    lists.FFolder = folder;
    std::error_code error;
    std::filesystem::directory_iterator it(PathOf(folder), error);
    if (error)
        throw ECodeListError::Folder(folder, "der Ordner kann nicht gelesen werden", ErrorOf(error));
    std::array<std::string, Fields> names;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (error)
            break;
        const std::string name = NameOf(it->path());
        const int field = FieldOfName(name);
        const TListCheck* check = field < Fields ? ListCheckOf(field) : nullptr;
        if (!check)
            continue;
        if (!names[field].empty())
            throw ECodeListError::Folder(folder, "zwei Dateien sind die Liste f\xC3\xBCr Feld " + std::to_string(field) + ": " +
                                                     names[field] + " und " + name);
        names[field] = name;
    }
    if (error)
        throw ECodeListError::Folder(folder, "der Ordner kann nicht gelesen werden", ErrorOf(error));
    // Read in field order, so that the first fault named is the same on every system.
    for (int field = 0; field < Fields; ++field) {
        if (names[field].empty())
            continue;
        const std::string path = folder + (folder.empty() || folder.back() == '/' ? "" : "/") + names[field];
        lists.Set(field, TCodeList::Read(path, ListCheckOf(field)->Kind));
    }
    return lists;
}

const TCodeList* TCodeLists::Find(int field) const
{
    return field >= 0 && field < Fields ? FLists[static_cast<std::size_t>(field)].get() : nullptr;
}

void TCodeLists::Set(int field, TCodeList list)
{
    if (field >= 0 && field < Fields)
        FLists[static_cast<std::size_t>(field)] = std::make_shared<const TCodeList>(std::move(list));
}

std::vector<const TListCheck*> TCodeLists::Missing() const
{
    std::vector<const TListCheck*> missing;
    for (const TListCheck& check : ListChecks()) {
        if (!Find(check.Field))
            missing.push_back(&check);
    }
    return missing;
}
