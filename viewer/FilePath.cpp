#include "FilePath.h"

#include "CheckPath.h"

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#endif

#include <memory>
#include <vector>

#ifdef _WIN32

// The file system stores UTF-16; every name is valid text.
std::string ChosenPath(const QString& shown)
{
    return CheckPathBytes(shown);
}

#else

namespace {

bool Exists(const std::string& path)
{
    struct stat status { };
    return lstat(path.c_str(), &status) == 0;
}

// The entries of folder whose names show as shown.
std::vector<std::string> EntriesShownAs(const std::string& folder, const QString& shown)
{
    std::vector<std::string> found;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()), closedir);
    if (!dir)
        return found;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && CheckPathText(name) == shown)
            found.push_back(name);
    }
    return found;
}

} // namespace

std::string ChosenPath(const QString& shown)
{
    const std::string direct = CheckPathBytes(shown);
    if (Exists(direct) || !shown.contains(QChar::ReplacementCharacter))
        return direct;
    std::string path = shown.startsWith(QLatin1Char('/')) ? "/" : "";
    const QStringList parts = shown.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts.at(i);
        std::string name = CheckPathBytes(part);
        if (part.contains(QChar::ReplacementCharacter) && !Exists(path + name)) {
            const std::vector<std::string> candidates = EntriesShownAs(path, part);
            if (candidates.size() == 1)
                name = candidates.front();
        }
        path += name;
        if (i + 1 < parts.size())
            path += '/';
    }
    return path;
}

#endif
