#include "FileOpenError.h"

EFileOpenError::EFileOpenError(const std::string& path)
    : std::runtime_error("Datei " + path + " kann nicht ge\xF6" "ffnet werden")
    , FPath(path)
{
}
