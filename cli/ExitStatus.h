#pragma once

// The exit status of the command-line programs, as their manual pages give it.
constexpr int ExitPassed = 0; // every file passed (and was exported); compared: no difference
constexpr int ExitFindings = 1; // at least one file has findings (and was left out); compared: differences
// A file could not be read (compared: or has findings), the output could not be
// written or the arguments are wrong.
constexpr int ExitFailure = 2;
