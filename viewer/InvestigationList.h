#pragma once

// Placeholder until the loader lands: the examinations of one loaded file.
class TInvestigationList {
public:
    void Clear() {}
};
