#include "FileOpenError.h"

EFileOpenError::EFileOpenError(const std::string& path, TSystemError why)
    : std::runtime_error(CannotOpenText(path)),
      FPath(path),
      FWhy(why)
{
}
