#pragma once

#include <stdexcept>

// The file no longer has the structure that its check found: it was changed
// in between. what() is UTF-8.
class ETransferChanged : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
