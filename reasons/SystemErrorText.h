#pragma once

#include "SystemError.h"

#include <exception>
#include <string>
#include <string_view>

// The system's reasons in German, one table for every tool: the common errno
// values and their Windows counterparts, else the number.
struct TReason {
    std::string_view Code; // stable, for scripts: "not-found", "disk-full", ...; "unknown" without a reason
    std::string Text; // UTF-8, a phrase without a final full stop; empty without a reason
};

TReason ReasonOf(const TSystemError& error);

// sentence (a whole sentence, with its full stop) followed by the reason on the
// same line: "... werden. Grund: keine Berechtigung."
std::string WithReason(std::string sentence, const TSystemError& error);

// What a standard exception that ends a run says: a system error in German
// with its reason, anything else (a fault of the program) as itself.
std::string ExceptionText(const std::exception& e);
