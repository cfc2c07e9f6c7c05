#pragma once

#include <string_view>

// The content check on any input: nothing may crash, read out of bounds or
// grow with the input; its structure verdict is the plain check's, however the
// bytes arrive; its findings stand in file order at lines of the file and, where
// they quote a field, quote it as the line holds it. The input read as a code
// list of every kind is either a list or a clear error.
void CheckContent(std::string_view text);
