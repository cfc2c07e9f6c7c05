#pragma once

#include <stdexcept>
#include <string_view>

// Where a table goes. Write throws EOutputError when the bytes cannot be written.
class TOutput {
public:
    virtual ~TOutput() = default;
    virtual void Write(std::string_view bytes) = 0;
};

class EOutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
