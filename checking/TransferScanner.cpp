#include "TransferScanner.h"

TTransferScanner::TTransferScanner(TSamplingData& data)
    : FWalk(data),
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
