#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A strict little JSON reader for checking the checker's output: it refuses
// raw control characters in strings, invalid UTF-8 and trailing garbage, and
// keeps the order of object keys.
struct TJson {
    enum class EKind { Null, Bool, Number, String, Array, Object } Kind = EKind::Null;
    bool Bool = false;
    double Number = 0;
    std::string String;
    std::vector<TJson> Items;
    // Object members in order, as two parallel lists (a vector may hold the
    // incomplete TJson, a pair may not).
    std::vector<std::string> MemberKeys;
    std::vector<TJson> MemberValues;

    const TJson& operator[](const std::string& key) const
    {
        for (std::size_t i = 0; i < MemberKeys.size(); ++i) {
            if (MemberKeys[i] == key)
                return MemberValues[i];
        }
        throw std::runtime_error("no key " + key);
    }
    std::vector<std::string> Keys() const { return MemberKeys; }
};

class TMiniJsonReader {
public:
    static TJson Parse(std::string_view text)
    {
        TMiniJsonReader reader(text);
        TJson value = reader.Value();
        reader.Blank();
        if (reader.FPos != text.size())
            throw std::runtime_error("trailing characters");
        return value;
    }

private:
    explicit TMiniJsonReader(std::string_view text)
        : FText(text)
    {
    }

    void Fail(const char* what) const { throw std::runtime_error(std::string(what) + " at " + std::to_string(FPos)); }
    char Peek() const { return FPos < FText.size() ? FText[FPos] : '\0'; }
    void Blank()
    {
        while (FPos < FText.size() && (FText[FPos] == ' ' || FText[FPos] == '\t' || FText[FPos] == '\n' || FText[FPos] == '\r'))
            ++FPos;
    }
    void Expect(char c)
    {
        Blank();
        if (Peek() != c)
            Fail("unexpected character");
        ++FPos;
    }

    TJson Value()
    {
        Blank();
        TJson v;
        const char c = Peek();
        if (c == '{') {
            v.Kind = TJson::EKind::Object;
            ++FPos;
            Blank();
            if (Peek() == '}') {
                ++FPos;
                return v;
            }
            for (;;) {
                Blank();
                std::string key = StringBody();
                Expect(':');
                v.MemberKeys.push_back(std::move(key));
                v.MemberValues.push_back(Value());
                Blank();
                if (Peek() == ',') {
                    ++FPos;
                    continue;
                }
                Expect('}');
                return v;
            }
        }
        if (c == '[') {
            v.Kind = TJson::EKind::Array;
            ++FPos;
            Blank();
            if (Peek() == ']') {
                ++FPos;
                return v;
            }
            for (;;) {
                v.Items.push_back(Value());
                Blank();
                if (Peek() == ',') {
                    ++FPos;
                    continue;
                }
                Expect(']');
                return v;
            }
        }
        if (c == '"') {
            v.Kind = TJson::EKind::String;
            v.String = StringBody();
            return v;
        }
        if (c == '-' || (c >= '0' && c <= '9')) {
            v.Kind = TJson::EKind::Number;
            const std::size_t start = FPos;
            if (Peek() == '-')
                ++FPos;
            if (Peek() == '0') {
                ++FPos;
            } else {
                if (!(Peek() >= '1' && Peek() <= '9'))
                    Fail("bad number");
                while (Peek() >= '0' && Peek() <= '9')
                    ++FPos;
            }
            v.Number = std::stod(std::string(FText.substr(start, FPos - start)));
            return v;
        }
        for (const char* word : {"true", "false", "null"}) {
            if (FText.substr(FPos, std::string_view(word).size()) == word) {
                FPos += std::string_view(word).size();
                v.Kind = word[0] == 'n' ? TJson::EKind::Null : TJson::EKind::Bool;
                v.Bool = word[0] == 't';
                return v;
            }
        }
        Fail("unexpected value");
        return v;
    }

    static void AppendUtf8(std::string& out, std::uint32_t cp)
    {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    std::string StringBody()
    {
        if (Peek() != '"')
            Fail("string expected");
        ++FPos;
        std::string out;
        for (;;) {
            if (FPos >= FText.size())
                Fail("unterminated string");
            const auto c = static_cast<unsigned char>(FText[FPos]);
            if (c == '"') {
                ++FPos;
                return out;
            }
            if (c < 0x20)
                Fail("raw control character");
            if (c == '\\') {
                const char e = FPos + 1 < FText.size() ? FText[FPos + 1] : '\0';
                FPos += 2;
                switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    if (FPos + 4 > FText.size())
                        Fail("short escape");
                    const std::uint32_t cp = std::stoul(std::string(FText.substr(FPos, 4)), nullptr, 16);
                    FPos += 4;
                    AppendUtf8(out, cp);
                    break;
                }
                default:
                    Fail("bad escape");
                }
                continue;
            }
            // Copy one UTF-8 sequence, refusing broken ones.
            std::size_t len = c < 0x80 ? 1 : (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3 : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
            if (len == 0 || FPos + len > FText.size())
                Fail("invalid UTF-8");
            for (std::size_t i = 1; i < len; ++i) {
                if ((static_cast<unsigned char>(FText[FPos + i]) & 0xC0) != 0x80)
                    Fail("invalid UTF-8");
            }
            out.append(FText.substr(FPos, len));
            FPos += len;
        }
    }

    std::string_view FText;
    std::size_t FPos = 0;
};
