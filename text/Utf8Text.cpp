#include "Utf8Text.h"

#include "Cp1252.h"

std::string BytesToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t len = Utf8SequenceLength(bytes, pos);
        if (len == 0) {
            AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(bytes[pos])));
            ++pos;
        } else {
            out.append(bytes.substr(pos, len));
            pos += len;
        }
    }
    return out;
}
