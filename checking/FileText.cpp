#include "FileText.h"

#include "FileAccess.h"
#include "FileOpenError.h"

#include <cstring>
#include <new>

TFileText TFileText::Read(const std::string& path)
{
    TReadOnlyFile file(path);
    TFileText result;
    std::size_t capacity = 0;
    if (file.Size() > static_cast<std::uint64_t>(SIZE_MAX / 2))
        throw EFileOpenError(path);
    // One more than the size, so a file that has not grown ends with a read of 0.
    capacity = static_cast<std::size_t>(file.Size()) + 1;
    // Running out of memory is reported as such (std::bad_alloc), not as a
    // file that cannot be opened.
    result.FBytes.reset(new char[capacity]);
    for (;;) {
        if (result.FSize == capacity) {
            const std::size_t grown = capacity * 2;
            std::unique_ptr<char[]> bigger(new char[grown]);
            std::memcpy(bigger.get(), result.FBytes.get(), result.FSize);
            result.FBytes = std::move(bigger);
            capacity = grown;
        }
        const std::size_t got = file.Read(result.FBytes.get() + result.FSize, capacity - result.FSize);
        if (got == 0)
            break;
        result.FSize += got;
    }
    return result;
}
