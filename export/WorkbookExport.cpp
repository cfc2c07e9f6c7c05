#include "WorkbookExport.h"

#include "ByteSource.h"
#include "JsonWriter.h"

#include <memory>

namespace {

class TProgressSource : public TByteSource {
public:
    TProgressSource(const std::string& path, TProgress& progress) : FFile(path),
                                                                    FProgress(progress) { }
    std::uint64_t Size() const override { return FFile.Size(); }
    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count) override
    {
        const std::size_t n = FFile.ReadAt(offset, buffer, count);
        FProgress.Advance(n);
        return n;
    }

private:
    TFileSource FFile;
    TProgress& FProgress;
};

} // namespace

std::string TWorkbookRows::Overflow(const std::string& shown) const
{
    const std::int64_t limit = TXlsxTable::MaxRows - 1; // under the heading row
    const char* sheet = FParameters > limit ? "Parameter" : FExaminations > limit ? "Untersuchungen"
                                                                                  : nullptr;
    if (!sheet)
        return {};
    const std::int64_t rows = FParameters > limit ? FParameters : FExaminations;
    return "Die Arbeitsmappe " + shown + " wird nicht geschrieben: das Blatt „" + sheet +
           "“ bekäme " + std::to_string(rows) + " Zeilen, ein Arbeitsblatt fasst hö" +
           "chstens " + std::to_string(limit) + ". Mit --format csv gibt es keine Grenze.";
}

void WalkIntoWorkbook(const std::string& path, TXlsxTable& workbook, TProgress& progress)
{
    TProgressSource file(path, progress);
    std::unique_ptr<char[]> buffer;
    workbook.BeginFile(path);
    WalkInvestigationsPart(file, TFilePart{}, workbook, buffer);
}
