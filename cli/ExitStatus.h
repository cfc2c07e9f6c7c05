#pragma once

// The exit status of both command-line programs, as their manual pages give it.
constexpr int ExitPassed = 0; // every file passed (and was exported)
constexpr int ExitFindings = 1; // at least one file has findings (and was left out)
constexpr int ExitFailure = 2; // a file could not be read, the output could not be written or the arguments are wrong
