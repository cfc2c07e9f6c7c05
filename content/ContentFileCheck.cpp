#include "ContentFileCheck.h"

#include "ContentCheck.h"
#include "ContentWorker.h"
#include "FileAccess.h"
#include "TransferScanner.h"

#include <algorithm>

namespace {

// Feeds both checks the same chunks; the structure check's verdict decides
// whether the content findings count.
class TBothChecks {
public:
    TBothChecks(TSamplingData& data, const TCodeLists& lists, std::int32_t interfaceKind)
        : FData(data),
          FStructure(data),
          FContent(lists, interfaceKind)
    {
    }

    bool Ended() const { return FStructure.Ended(); }

    void Feed(const char* bytes, std::size_t count)
    {
        FStructure.Feed(bytes, count);
        FContent.Feed(bytes, count);
    }

    void Finish(std::vector<TContentFinding>& findings)
    {
        FStructure.Finish();
        FContent.Finish();
        findings.clear();
        if (FData.MessageCount == 0)
            findings = FContent.TakeFindings();
    }

private:
    TSamplingData& FData;
    TTransferScanner FStructure;
    TContentCheck FContent;
};

} // namespace

std::int32_t CheckTransferFileContent(const std::string& path, TSamplingData& data, const TCodeLists& lists,
                                      std::vector<TContentFinding>& findings, TYearSource year)
{
    findings.clear();
    data.Reset();
    TCalendarDate date;
    TTimeOfDay time;
    JudgeFileName(FileNameForCheck(BareFileName(path)), data, date, time, year());
    const std::int32_t interfaceKind = InterfaceKindOf(data);

    const TSamplingData nameVerdict = data;
    try {
        TReadOnlyFile file(path);
        TTransferScanner structure(data);
        TContentCheck content(lists, interfaceKind);
        // Both checks side by side: the structure on this thread, the content
        // on the worker's, on the same chunks read once.
        TContentWorker worker(content);
        while (!structure.Ended()) {
            char* const buffer = worker.Buffer();
            const std::size_t got = file.Read(buffer, TContentWorker::BufferSize);
            if (got == 0)
                break;
            structure.Feed(buffer, got);
            worker.Hand(got);
        }
        structure.Finish();
        worker.Finish();
        if (data.MessageCount == 0)
            findings = content.TakeFindings();
    } catch (...) {
        // A file that fails part-way must not leave half a verdict.
        data = nameVerdict;
        findings.clear();
        throw;
    }
    return interfaceKind;
}

void CheckTransferBytesContent(std::string_view bytes, TSamplingData& data, const TCodeLists& lists,
                               std::int32_t interfaceKind, std::vector<TContentFinding>& findings, std::size_t chunkSize)
{
    chunkSize = std::max<std::size_t>(chunkSize, 1);
    TBothChecks checks(data, lists, interfaceKind);
    for (std::size_t pos = 0; pos < bytes.size() && !checks.Ended(); pos += chunkSize)
        checks.Feed(bytes.data() + pos, std::min(chunkSize, bytes.size() - pos));
    checks.Finish(findings);
}

std::size_t AddContentMessages(TSamplingData& data, const std::vector<TContentFinding>& findings)
{
    const std::size_t first = data.Messages.size();
    if (findings.empty())
        return first;
    if (data.MessageCount == 0)
        data.MessageText.clear(); // no longer "OK"
    for (const TContentFinding& f : findings)
        AddMessageWithValue(data, f.Line, f.Code, f.Value);
    return first;
}
