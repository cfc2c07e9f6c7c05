#pragma once

// The viewer's command line is one optional file. "--help" and "--version"
// (as the only argument, and no file of that name exists) are answered on
// stdout without opening a window.
// Returns the exit status when it answered, else -1.
int AnswerInfoOption(int argc, char** argv);
