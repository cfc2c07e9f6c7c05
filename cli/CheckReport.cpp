#include "CheckReport.h"

#include "Cp1252.h"
#include "FileNameCheck.h"
#include "JsonWriter.h"
#include "Utf8Text.h"

std::string FileNameToUtf8(std::string_view path, const TSamplingData& data)
{
    std::string judged;
    if (Utf8ToCp1252(BareFileName(path), judged))
        return Cp1252ToUtf8(data.FileName);
    return BytesToUtf8(data.FileName);
}

std::string CheckResultToText(std::string_view path, const TSamplingData& data)
{
    const std::string file = BytesToUtf8(path);
    if (data.Messages.empty())
        return file + ": OK\n";
    std::string out;
    for (const TCheckMessage& m : data.Messages) {
        out += file;
        if (m.Line != 0) {
            out += ':';
            out += std::to_string(m.Line);
        }
        out += ": ";
        out += Cp1252ToUtf8(data.MessageBody(m));
        out += '\n';
    }
    return out;
}

namespace {

// firstContent null: the plain check, whose records have no "content".
std::string JsonLine(std::string_view path, const TSamplingData& data, std::int32_t interfaceKind,
                     const std::size_t* firstContent)
{
    TJsonWriter json;
    json.BeginObject();
    json.Key("path");
    json.String(path);
    json.Key("fileName");
    json.String(FileNameToUtf8(path, data));
    json.Key("interfaceKind");
    json.Number(interfaceKind);
    json.Key("investigationCount");
    json.Number(data.InvestigationCount);
    json.Key("parameterCount");
    json.Number(data.ParameterCount);
    json.Key("lineCount");
    json.Number(data.LineCount);
    json.Key("messageCount");
    json.Number(data.MessageCount);
    json.Key("messageText");
    json.String(Cp1252ToUtf8(data.MessageText));
    json.Key("messages");
    json.BeginArray();
    for (std::size_t i = 0; i < data.Messages.size(); ++i) {
        const TCheckMessage& m = data.Messages[i];
        json.BeginObject();
        json.Key("line");
        json.Number(m.Line);
        json.Key("code");
        json.Number(m.Code);
        json.Key("text");
        json.String(Cp1252ToUtf8(data.MessageLine(m)));
        if (firstContent) {
            json.Key("content");
            json.Bool(i >= *firstContent);
        }
        json.EndObject();
    }
    json.EndArray();
    json.Key("unexaminedLine");
    json.Number(data.UnexaminedLine);
    json.EndObject();
    return json.Text();
}

} // namespace

std::string CheckResultToJsonLine(std::string_view path, const TSamplingData& data, std::int32_t interfaceKind)
{
    return JsonLine(path, data, interfaceKind, nullptr);
}

std::string CheckResultToJsonLine(std::string_view path, const TSamplingData& data, std::int32_t interfaceKind,
                                  std::size_t firstContent)
{
    return JsonLine(path, data, interfaceKind, &firstContent);
}

std::string FailureToJsonLine(std::string_view path, std::string_view code, std::string_view text)
{
    TJsonWriter json;
    json.BeginObject();
    json.Key("path");
    json.String(path);
    json.Key("error");
    json.BeginObject();
    json.Key("code");
    json.String(code);
    json.Key("text");
    json.String(text);
    json.EndObject();
    json.EndObject();
    return json.Text();
}

std::string UnexaminedNote(std::string_view path, const TSamplingData& data)
{
    if (data.UnexaminedLine == 0)
        return {};
    const std::string line = std::to_string(data.UnexaminedLine);
    return BytesToUtf8(path) + ":" + line + ": Hinweis: Zeile " + line +
           " wurde nicht geprüft, denn sie steht allein hinter der letzten Untersuchung; die Übermittlung ist womöglich unvollständig.\n";
}
