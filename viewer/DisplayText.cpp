#include "DisplayText.h"

#include "Cp1252.h"

#include <array>

namespace {

// Built once from the one converter table, so that decoding the visible cells
// of a grid costs a table look-up per byte.
const std::array<char16_t, 256>& DecodeTable()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[static_cast<std::size_t>(b)] = Cp1252ToUnicode(static_cast<unsigned char>(b));
        return t;
    }();
    return table;
}

} // namespace

QString Cp1252ToQString(std::string_view bytes)
{
    const auto& table = DecodeTable();
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(table[static_cast<unsigned char>(byte)]);
    return text;
}

QString Utf8ToQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
