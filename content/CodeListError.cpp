#include "CodeListError.h"

#include "SystemErrorText.h"
#include "Utf8Text.h"

namespace {

std::string Text(const std::string& what, const std::string& path, std::int64_t line, const std::string& problem,
                 const TSystemError& why)
{
    std::string text = what + " " + BytesToUtf8(path);
    if (line > 0)
        text += ", Zeile " + std::to_string(line);
    text += ": " + problem + ".";
    return why.Origin == TSystemError::EOrigin::None ? text : WithReason(text, why);
}

} // namespace

ECodeListError::ECodeListError(const std::string& path, std::int64_t line, const std::string& problem, TSystemError why)
    : ECodeListError(Text("Kodeliste", path, line, problem, why), path, line, problem, why)
{
}

ECodeListError::ECodeListError(std::string text, const std::string& path, std::int64_t line, const std::string& problem,
                               TSystemError why)
    : std::runtime_error(text),
      FPath(path),
      FLine(line),
      FProblem(problem),
      FWhy(why)
{
}

ECodeListError ECodeListError::Folder(const std::string& path, const std::string& problem, TSystemError why)
{
    return ECodeListError(Text("Ordner der Kodelisten", path, 0, problem, why), path, 0, problem, why);
}
