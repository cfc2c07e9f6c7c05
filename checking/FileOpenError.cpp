#include "FileOpenError.h"

EFileOpenError::EFileOpenError(const std::string& path, TSystemError why)
    : std::runtime_error(CannotOpenText(path, [](std::string_view cp1252) { return std::string(cp1252); })),
      FPath(path),
      FWhy(why)
{
}
