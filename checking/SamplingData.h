#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Where one message line stands in MessageText, so that a caller can list the
// messages one by one without cutting the text apart again.
struct TCheckMessage {
    std::int32_t Line = 0; // 0 for a message about the file name
    std::uint8_t Code = 0; // index into CheckMessages
    std::uint32_t TextStart = 0; // where the table text begins, behind any "Zeile" prefix
    std::size_t Offset = 0; // first byte of the message line in MessageText
    std::size_t Length = 0; // length of the message line without CR LF
};

// The result of one check run; a file passes when MessageCount is 0.
struct TSamplingData {
    std::string FileName;
    std::int32_t InvestigationCount = 0;
    std::int32_t ParameterCount = 0;
    std::int32_t LineCount = 0;
    std::string MessageText;
    std::int32_t MessageCount = 0;
    std::vector<TCheckMessage> Messages;
    // A single line behind the last complete examination is never examined;
    // when it holds anything but blanks, its number, else 0. It does not
    // change the verdict, but a transfer cut short may end that way.
    std::int32_t UnexaminedLine = 0;

    void Reset() { *this = TSamplingData(); }

    // The message line as added, without CR LF.
    std::string_view MessageLine(const TCheckMessage& m) const
    {
        return std::string_view(MessageText).substr(m.Offset, m.Length);
    }
    // The table text with any value filled in, without the "Zeile" prefix.
    std::string_view MessageBody(const TCheckMessage& m) const
    {
        return MessageLine(m).substr(m.TextStart);
    }
};
