#pragma once

#include "InvestigationList.h"
#include "SamplingData.h"

#include <exception>
#include <string>
#include <thread>
#include <vector>

// The check of a file with the load of its examinations on a thread of its
// own, started before the check so that both read the file at once. The load
// is stopped as soon as the check has found something, at the next examination
// the check reaches: such a file is not shown, and what the load would read
// meanwhile only takes memory.
class TLoadBesideCheck {
public:
    // Starts the load. Throws std::system_error or std::bad_alloc when no
    // thread is to be had; the caller then loads after the check.
    TLoadBesideCheck(const std::string& path, std::vector<int> keyEntries);
    TLoadBesideCheck(const TLoadBesideCheck&) = delete;
    TLoadBesideCheck& operator=(const TLoadBesideCheck&) = delete;

    // The check of the file, as CheckTransferFile does it, beside the load.
    void Check(TSamplingData& result);

    // Waits for the load; throws what it threw. A stopped load gives an empty list.
    TInvestigationList Take();

private:
    std::string FPath;
    TInvestigationList FList;
    std::exception_ptr FError;
    // Last, so that it is gone first: its end asks the load to stop and waits.
    std::jthread FThread;
};
