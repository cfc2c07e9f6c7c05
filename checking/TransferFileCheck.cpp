#include "TransferFileCheck.h"

#include "FileAccess.h"
#include "FileNameCheck.h"
#include "TransferScanner.h"

#include <algorithm>
#include <memory>

namespace {

// Small enough to stay in the processor's cache while the copy out of the
// page cache streams through it too (256 KB took a fifth longer), large
// enough that a read call costs nothing next to the scan.
constexpr std::size_t ReadBufferSize = 64 * 1024;

} // namespace

void CheckTransferFile(const std::string& path, TSamplingData& data, TInvestigationObserver* observer, TYearSource year)
{
    data.Reset();
    InterfaceKind = 0;
    TCalendarDate date;
    TTimeOfDay time;
    CheckFileName(FileNameForCheck(BareFileName(path)), data, date, time, year());

    const TSamplingData nameVerdict = data;
    try {
        TReadOnlyFile file(path);
        std::unique_ptr<char[]> buffer(new char[ReadBufferSize]);
        TTransferScanner scanner(data, observer);
        while (!scanner.Ended()) {
            const std::size_t got = file.Read(buffer.get(), ReadBufferSize);
            if (got == 0)
                break;
            scanner.Feed(buffer.get(), got);
        }
        scanner.Finish();
    } catch (...) {
        // A file that fails part-way must not leave half a structure verdict.
        data = nameVerdict;
        throw;
    }
}

void CheckTransferBytes(std::string_view bytes, TSamplingData& data, std::size_t chunkSize, TInvestigationObserver* observer)
{
    chunkSize = std::max<std::size_t>(chunkSize, 1);
    TTransferScanner scanner(data, observer);
    for (std::size_t pos = 0; pos < bytes.size() && !scanner.Ended(); pos += chunkSize)
        scanner.Feed(bytes.data() + pos, std::min(chunkSize, bytes.size() - pos));
    scanner.Finish();
}
