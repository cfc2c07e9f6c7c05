#pragma once

#include "JsonValue.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Throwing shorthands over the strict reader, for tests that expect valid JSON.
inline TJsonValue ParseJson(std::string_view text)
{
    TJsonValue value;
    std::string error;
    if (!TJsonValue::Parse(text, value, error))
        throw std::runtime_error(error);
    return value;
}

inline const TJsonValue& At(const TJsonValue& object, std::string_view key)
{
    const TJsonValue* value = object.Member(key);
    if (value == nullptr)
        throw std::runtime_error("no key " + std::string(key));
    return *value;
}

inline std::vector<std::string> Keys(const TJsonValue& object)
{
    std::vector<std::string> keys;
    for (const auto& member : object.Members())
        keys.push_back(member.first);
    return keys;
}
