#pragma once

#include "SamplingData.h"

#include <cstdint>
#include <string>
#include <string_view>

// How the command-line checker reports one file's result. Both forms are
// UTF-8; path is given as the caller passed it.

// "PATH:LINE: TEXT" per line message, "PATH: TEXT" per file-name message,
// "PATH: OK" without messages; each line ends with "\n".
std::string CheckResultToText(std::string_view path, const TSamplingData& data);

// One JSON object (without the final newline) with the keys path, fileName,
// interfaceKind, investigationCount, parameterCount, lineCount, messageCount,
// messageText and messages.
std::string CheckResultToJsonLine(std::string_view path, const TSamplingData& data, std::int32_t interfaceKind);

// FileName of data in UTF-8: it holds Windows-1252 when the bare name of path
// could be judged that way, else the name's own bytes.
std::string FileNameToUtf8(std::string_view path, const TSamplingData& data);
