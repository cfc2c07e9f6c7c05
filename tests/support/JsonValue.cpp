#include "JsonValue.h"

#include <cstdlib>

// Recursive descent over the grammar of RFC 8259; depth is bounded.
class TJsonParser {
public:
    explicit TJsonParser(std::string_view text) : FText(text) { }

    bool Document(TJsonValue& value)
    {
        SkipBlanks();
        if (!Value(value, 0))
            return false;
        SkipBlanks();
        return FPos == FText.size() || Fail("text after the value");
    }

    std::string Error;

private:
    bool Fail(const char* what)
    {
        if (Error.empty())
            Error = std::string(what) + " at offset " + std::to_string(FPos);
        return false;
    }
    bool AtEnd() const { return FPos >= FText.size(); }
    char Peek() const { return AtEnd() ? '\0' : FText[FPos]; }
    void SkipBlanks()
    {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r'))
            ++FPos;
    }
    bool Literal(std::string_view word)
    {
        if (FText.substr(FPos, word.size()) != word)
            return Fail("unknown literal");
        FPos += word.size();
        return true;
    }

    bool Value(TJsonValue& value, int depth)
    {
        if (depth > 64)
            return Fail("nesting too deep");
        switch (Peek()) {
        case '{':
            return Object(value, depth);
        case '[':
            return Array(value, depth);
        case '"':
            value.FKind = TJsonValue::TKind::String;
            return String(value.FText);
        case 't':
            value.FKind = TJsonValue::TKind::Bool;
            value.FInteger = 1;
            return Literal("true");
        case 'f':
            value.FKind = TJsonValue::TKind::Bool;
            return Literal("false");
        case 'n':
            value.FKind = TJsonValue::TKind::Null;
            return Literal("null");
        default:
            return Number(value);
        }
    }

    bool Object(TJsonValue& value, int depth)
    {
        value.FKind = TJsonValue::TKind::Object;
        ++FPos;
        SkipBlanks();
        if (Peek() == '}') {
            ++FPos;
            return true;
        }
        for (;;) {
            SkipBlanks();
            if (Peek() != '"')
                return Fail("expected a key");
            std::string key;
            if (!String(key))
                return false;
            SkipBlanks();
            if (Peek() != ':')
                return Fail("expected ':'");
            ++FPos;
            SkipBlanks();
            TJsonValue member;
            if (!Value(member, depth + 1))
                return false;
            value.FMembers.emplace_back(std::move(key), std::move(member));
            SkipBlanks();
            if (Peek() == ',') {
                ++FPos;
                continue;
            }
            if (Peek() == '}') {
                ++FPos;
                return true;
            }
            return Fail("expected ',' or '}'");
        }
    }

    bool Array(TJsonValue& value, int depth)
    {
        value.FKind = TJsonValue::TKind::Array;
        ++FPos;
        SkipBlanks();
        if (Peek() == ']') {
            ++FPos;
            return true;
        }
        for (;;) {
            SkipBlanks();
            TJsonValue item;
            if (!Value(item, depth + 1))
                return false;
            value.FItems.push_back(std::move(item));
            SkipBlanks();
            if (Peek() == ',') {
                ++FPos;
                continue;
            }
            if (Peek() == ']') {
                ++FPos;
                return true;
            }
            return Fail("expected ',' or ']'");
        }
    }

    bool Number(TJsonValue& value)
    {
        value.FKind = TJsonValue::TKind::Number;
        const std::size_t start = FPos;
        if (Peek() == '-')
            ++FPos;
        if (Peek() == '0') {
            ++FPos;
        } else if (Peek() >= '1' && Peek() <= '9') {
            while (Peek() >= '0' && Peek() <= '9')
                ++FPos;
        } else {
            return Fail("expected a value");
        }
        bool integer = true;
        if (Peek() == '.') {
            integer = false;
            ++FPos;
            if (!(Peek() >= '0' && Peek() <= '9'))
                return Fail("digits expected after '.'");
            while (Peek() >= '0' && Peek() <= '9')
                ++FPos;
        }
        if (Peek() == 'e' || Peek() == 'E') {
            integer = false;
            ++FPos;
            if (Peek() == '+' || Peek() == '-')
                ++FPos;
            if (!(Peek() >= '0' && Peek() <= '9'))
                return Fail("digits expected in the exponent");
            while (Peek() >= '0' && Peek() <= '9')
                ++FPos;
        }
        value.FIsInteger = integer && FPos - start <= 19;
        if (value.FIsInteger)
            value.FInteger = std::strtoll(std::string(FText.substr(start, FPos - start)).c_str(), nullptr, 10);
        return true;
    }

    static void AppendUtf8(std::string& out, uint32_t cp)
    {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    bool Hex4(uint32_t& value)
    {
        value = 0;
        for (int i = 0; i < 4; ++i, ++FPos) {
            const char c = Peek();
            value <<= 4;
            if (c >= '0' && c <= '9')
                value |= static_cast<uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f')
                value |= static_cast<uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                value |= static_cast<uint32_t>(c - 'A' + 10);
            else
                return Fail("bad \\u escape");
        }
        return true;
    }

    // One UTF-8 sequence of the raw text, checked strictly.
    bool RawCharacter(std::string& out)
    {
        const auto b0 = static_cast<unsigned char>(Peek());
        std::size_t len = b0 < 0x80 ? 1 : b0 >= 0xC2 && b0 <= 0xDF ? 2
                                      : b0 >= 0xE0 && b0 <= 0xEF   ? 3
                                      : b0 >= 0xF0 && b0 <= 0xF4   ? 4
                                                                   : 0;
        if (len == 0 || FText.size() - FPos < len)
            return Fail("invalid UTF-8");
        uint32_t cp = len == 1 ? b0 : len == 2 ? (b0 & 0x1Fu)
                                  : len == 3   ? (b0 & 0x0Fu)
                                               : (b0 & 0x07u);
        for (std::size_t i = 1; i < len; ++i) {
            const auto b = static_cast<unsigned char>(FText[FPos + i]);
            if ((b & 0xC0) != 0x80)
                return Fail("invalid UTF-8");
            cp = (cp << 6) | (b & 0x3Fu);
        }
        const uint32_t minimum = len == 2 ? 0x80 : len == 3 ? 0x800
                                               : len == 4   ? 0x10000
                                                            : 0;
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return Fail("invalid UTF-8");
        out.append(FText.substr(FPos, len));
        FPos += len;
        return true;
    }

    bool String(std::string& out)
    {
        ++FPos; // the opening quote
        for (;;) {
            if (AtEnd())
                return Fail("unterminated string");
            const auto c = static_cast<unsigned char>(Peek());
            if (c == '"') {
                ++FPos;
                return true;
            }
            if (c < 0x20)
                return Fail("raw control character in a string");
            if (c != '\\') {
                if (!RawCharacter(out))
                    return false;
                continue;
            }
            ++FPos;
            const char e = Peek();
            ++FPos;
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                uint32_t cp;
                if (!Hex4(cp))
                    return false;
                if (cp >= 0xDC00 && cp <= 0xDFFF)
                    return Fail("lone low surrogate");
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    uint32_t low;
                    if (FText.substr(FPos, 2) != "\\u")
                        return Fail("lone high surrogate");
                    FPos += 2;
                    if (!Hex4(low))
                        return false;
                    if (low < 0xDC00 || low > 0xDFFF)
                        return Fail("lone high surrogate");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                AppendUtf8(out, cp);
                break;
            }
            default:
                return Fail("unknown escape");
            }
        }
    }

    std::string_view FText;
    std::size_t FPos = 0;
};

bool TJsonValue::Parse(std::string_view text, TJsonValue& value, std::string& error)
{
    TJsonParser parser(text);
    value = TJsonValue();
    const bool ok = parser.Document(value);
    error = parser.Error;
    return ok;
}

const TJsonValue* TJsonValue::Member(std::string_view key) const
{
    for (const auto& [name, value] : FMembers)
        if (name == key)
            return &value;
    return nullptr;
}
