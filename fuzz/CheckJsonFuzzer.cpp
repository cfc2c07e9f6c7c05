// The JSON line of the command-line checker, for any path and any file
// content: it must be one valid JSON object whose strings read back exactly
// as the check produced them.
#include "CheckReport.h"
#include "Cp1252.h"
#include "FileNameCheck.h"
#include "FuzzSupport.h"
#include "JsonValue.h"
#include "SamplingData.h"
#include "TransferFileCheck.h"
#include "Utf8Text.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

const char* const Keys[] = {"path", "fileName", "interfaceKind", "investigationCount", "parameterCount",
                            "lineCount", "messageCount", "messageText", "messages", "unexaminedLine"};

bool IsValidUtf8(std::string_view text) { return BytesToUtf8(text) == text; }

void CheckNumber(const TJsonValue& object, const char* key, int64_t expected, const std::string& json)
{
    const TJsonValue* value = object.Member(key);
    FUZZ_ASSERT(value != nullptr && value->Kind() == TJsonValue::TKind::Number && value->IsInteger() &&
                    value->Integer() == expected,
                std::string(key) + " in " + json);
}

// Decodes a string that was Windows-1252 before it became UTF-8.
std::string BackToCp1252(const std::string& utf8, const std::string& json)
{
    std::string bytes;
    FUZZ_ASSERT(Utf8ToCp1252(utf8, bytes), json);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    // First byte: length of the path; then the path bytes; the rest is the file.
    if (size == 0)
        return 0;
    const std::size_t pathLength = std::min<std::size_t>(data[0], size - 1);
    const std::string path(reinterpret_cast<const char*>(data) + 1, pathLength);
    const std::string_view content(reinterpret_cast<const char*>(data) + 1 + pathLength, size - 1 - pathLength);

    TSamplingData result;
    TCalendarDate date;
    TTimeOfDay time;
    InterfaceKind = 0;
    CheckFileName(FileNameForCheck(BareFileName(path)), result, date, time, 2026);
    CheckTransferBytes(content, result, 4096);
    const int32_t kind = GetInterfaceKind();

    const std::string json = CheckResultToJsonLine(path, result, kind);
    FUZZ_ASSERT(json.find('\n') == std::string::npos, json); // one line of JSON Lines
    TJsonValue root;
    std::string error;
    FUZZ_ASSERT(TJsonValue::Parse(json, root, error), error + "\n" + json);
    FUZZ_ASSERT(root.Kind() == TJsonValue::TKind::Object && root.Members().size() == std::size(Keys), json);
    for (std::size_t i = 0; i < std::size(Keys); ++i)
        FUZZ_ASSERT(root.Members()[i].first == Keys[i], json);

    // Strings read back: a path that is UTF-8 exactly, the texts of the check
    // exactly once turned back into Windows-1252.
    const TJsonValue& pathValue = *root.Member("path");
    FUZZ_ASSERT(pathValue.Kind() == TJsonValue::TKind::String, json);
    if (IsValidUtf8(path))
        FUZZ_ASSERT(pathValue.Text() == path, json);
    else
        FUZZ_ASSERT(pathValue.Text() == BytesToUtf8(path), json);
    FUZZ_ASSERT(root.Member("fileName")->Text() == FileNameToUtf8(path, result), json);
    FUZZ_ASSERT(BackToCp1252(root.Member("messageText")->Text(), json) == result.MessageText, json);

    CheckNumber(root, "interfaceKind", kind, json);
    CheckNumber(root, "investigationCount", result.InvestigationCount, json);
    CheckNumber(root, "parameterCount", result.ParameterCount, json);
    CheckNumber(root, "lineCount", result.LineCount, json);
    CheckNumber(root, "messageCount", result.MessageCount, json);

    const TJsonValue& messages = *root.Member("messages");
    FUZZ_ASSERT(messages.Kind() == TJsonValue::TKind::Array &&
                    messages.Items().size() == static_cast<std::size_t>(result.MessageCount),
                json);
    for (std::size_t i = 0; i < messages.Items().size(); ++i) {
        const TJsonValue& message = messages.Items()[i];
        const TCheckMessage& expected = result.Messages[i];
        CheckNumber(message, "line", expected.Line, json);
        CheckNumber(message, "code", expected.Code, json);
        const TJsonValue* text = message.Member("text");
        FUZZ_ASSERT(text != nullptr && BackToCp1252(text->Text(), json) == result.MessageLine(expected), json);
        // Without its CR LF; a value taken from the file name may hold line
        // breaks of its own, which stay.
        FUZZ_ASSERT(!text->Text().ends_with("\r\n"), json);
    }
    return 0;
}
