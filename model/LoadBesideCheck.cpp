#include "LoadBesideCheck.h"

#include "TransferFileCheck.h"

#include <utility>

TLoadBesideCheck::TLoadBesideCheck(const std::string& path, std::vector<int> keyEntries)
    : FPath(path)
{
    FList.SetKeyEntries(std::move(keyEntries));
    FThread = std::jthread([this](std::stop_token stop) {
        try {
            FList.Load(FPath, stop);
        } catch (...) {
            FError = std::current_exception();
        }
    });
}

void TLoadBesideCheck::Check(TSamplingData& result)
{
    // Told of each examination the check begins: after a finding, the load stops.
    class TStopOnFinding : public TInvestigationObserver {
    public:
        TStopOnFinding(const TSamplingData& result, std::jthread& load) : FResult(result),
                                                                          FLoad(load) { }
        void InvestigationBegins(std::int64_t, std::uint64_t) override
        {
            if (FResult.MessageCount > 0)
                FLoad.request_stop();
        }

    private:
        const TSamplingData& FResult;
        std::jthread& FLoad;
    } stopper(result, FThread);
    CheckTransferFile(FPath, result, &stopper);
}

TInvestigationList TLoadBesideCheck::Take()
{
    FThread.join();
    if (FError)
        std::rethrow_exception(FError);
    return std::move(FList);
}
