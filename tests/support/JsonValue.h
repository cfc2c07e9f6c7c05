#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A strict reader for one JSON text, written apart from the program's JSON
// writer so that the fuzzer can judge that writer's output: it rejects raw
// control characters, invalid UTF-8, lone surrogates, bad escapes, leading
// zeros and trailing text.
class TJsonValue {
public:
    enum class TKind { Null,
                       Bool,
                       Number,
                       String,
                       Array,
                       Object };

    // False (and an explanation in error) when text is not exactly one value.
    static bool Parse(std::string_view text, TJsonValue& value, std::string& error);

    TKind Kind() const { return FKind; }
    const std::string& Text() const { return FText; } // strings, as UTF-8
    int64_t Integer() const { return FInteger; } // numbers without fraction
    bool IsInteger() const { return FIsInteger; }
    bool Boolean() const { return FKind == TKind::Bool && FInteger != 0; }
    const std::vector<TJsonValue>& Items() const { return FItems; }
    // Object members in the order written.
    const std::vector<std::pair<std::string, TJsonValue>>& Members() const { return FMembers; }
    const TJsonValue* Member(std::string_view key) const;

private:
    friend class TJsonParser;
    TKind FKind = TKind::Null;
    std::string FText;
    int64_t FInteger = 0;
    bool FIsInteger = false;
    std::vector<TJsonValue> FItems;
    std::vector<std::pair<std::string, TJsonValue>> FMembers;
};
