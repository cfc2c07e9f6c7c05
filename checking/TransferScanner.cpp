#include "TransferScanner.h"

TTransferScanner::TTransferScanner(TSamplingData& data, TInvestigationObserver* observer)
    : FWalk(data, observer),
      FCutter(*this)
{
}

void TTransferScanner::Finish()
{
    FCutter.Finish();
    if (FPending)
        FWalk.OnLine(FFacts, true);
    FPending = false;
    FWalk.Finish();
}

bool TTransferScanner::FinishBeforeInvestigation()
{
    if (!FCutter.AtLineStart())
        return false;
    // The line that follows makes this one not the last.
    if (FPending)
        FWalk.OnLine(FFacts, false);
    FPending = false;
    return FWalk.BetweenBlocks();
}
