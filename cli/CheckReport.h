#pragma once

#include "SamplingData.h"

#include <cstddef>
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
// messageText, messages and unexaminedLine.
std::string CheckResultToJsonLine(std::string_view path, const TSamplingData& data, std::int32_t interfaceKind);
// The same for a check with its content: every message carries "content",
// true for those from index firstContent of data.Messages on.
std::string CheckResultToJsonLine(std::string_view path, const TSamplingData& data, std::int32_t interfaceKind,
                                  std::size_t firstContent);

// For a file that could not be checked: {"path":..., "error":{"code":..., "text":...}}
// without the final newline, so that every file given has its line.
std::string FailureToJsonLine(std::string_view path, std::string_view code, std::string_view text);

// "PATH:N: Hinweis: ..." with "\n" when line N of a file that passed was
// never examined (see TSamplingData::UnexaminedLine), else empty.
std::string UnexaminedNote(std::string_view path, const TSamplingData& data);

// FileName of data in UTF-8: it holds Windows-1252 when the bare name of path
// could be judged that way, else the name's own bytes.
std::string FileNameToUtf8(std::string_view path, const TSamplingData& data);
