// The RTF reader on any bytes: some document, in bounded time and size.
#include "FuzzSupport.h"
#include "RtfReader.h"

#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    EnsureApplication();
    const std::string_view rtf(reinterpret_cast<const char*>(data), size);
    QTextDocument document;
    TRtfReader::Load(document, rtf);
    // Every character of the document comes from the input; a few bytes of
    // RTF may become a bullet and a tab, but never an unbounded amount.
    const int characters = document.characterCount();
    FUZZ_ASSERT(characters >= 1 && static_cast<std::size_t>(characters) <= 4 * size + 64,
                std::to_string(characters) + " characters from " + std::to_string(size) + " bytes");
    document.toPlainText();
    document.toHtml();
    return 0;
}
