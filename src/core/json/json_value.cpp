#include "core/json/json_value.h"

#include "core/common/utf8.h"
#include "core/strings/strings.h"

#include <limits>

namespace veltrane {

namespace {

constexpr int kMaxDepth = 64;

class JsonParser {
public:
    explicit JsonParser(std::string_view text) : m_text(text) {}

    Result<JsonValue> document() {
        JsonValue value;
        skipBlanks();
        if (!parseValue(value, 0))
            return failure();
        skipBlanks();
        if (m_pos != m_text.size()) {
            fail("text after the value");
            return failure();
        }
        return value;
    }

private:
    Error failure() const {
        return makeError(ErrorKind::Format, format(Str::JsonSyntax, {std::to_string(m_pos), m_problem}));
    }
    bool fail(const char* problem) {
        m_problem = problem;
        return false;
    }
    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_pos]; }
    void skipBlanks() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++m_pos;
    }
    bool literal(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) != word)
            return fail("unknown word");
        m_pos += word.size();
        return true;
    }

    bool parseValue(JsonValue& value, int depth) {
        if (depth > kMaxDepth)
            return fail("nested too deeply");
        switch (peek()) {
        case '{':
            return parseObject(value, depth);
        case '[':
            return parseArray(value, depth);
        case '"':
            value.kind = JsonValue::Kind::String;
            return parseString(value.text, value.beyondLatin1);
        case 't':
            value.kind = JsonValue::Kind::Bool;
            value.flag = true;
            return literal("true");
        case 'f':
            value.kind = JsonValue::Kind::Bool;
            return literal("false");
        case 'n':
            value.kind = JsonValue::Kind::Null;
            return literal("null");
        default:
            return parseNumber(value);
        }
    }

    bool parseObject(JsonValue& value, int depth) {
        value.kind = JsonValue::Kind::Object;
        ++m_pos;
        skipBlanks();
        if (peek() == '}') {
            ++m_pos;
            return true;
        }
        for (;;) {
            skipBlanks();
            if (peek() != '"')
                return fail("a key expected");
            std::string key;
            bool beyond = false;
            if (!parseString(key, beyond))
                return false;
            for (const std::string& known : value.keys)
                if (known == key)
                    return fail("a key repeated");
            skipBlanks();
            if (peek() != ':')
                return fail("':' expected");
            ++m_pos;
            skipBlanks();
            JsonValue member;
            if (!parseValue(member, depth + 1))
                return false;
            value.keys.push_back(std::move(key));
            value.values.push_back(std::move(member));
            skipBlanks();
            if (peek() == ',') {
                ++m_pos;
                continue;
            }
            if (peek() == '}') {
                ++m_pos;
                return true;
            }
            return fail("',' or '}' expected");
        }
    }

    bool parseArray(JsonValue& value, int depth) {
        value.kind = JsonValue::Kind::Array;
        ++m_pos;
        skipBlanks();
        if (peek() == ']') {
            ++m_pos;
            return true;
        }
        for (;;) {
            skipBlanks();
            JsonValue item;
            if (!parseValue(item, depth + 1))
                return false;
            value.items.push_back(std::move(item));
            skipBlanks();
            if (peek() == ',') {
                ++m_pos;
                continue;
            }
            if (peek() == ']') {
                ++m_pos;
                return true;
            }
            return fail("',' or ']' expected");
        }
    }

    bool hexUnit(std::uint32_t& unit) {
        if (m_pos + 4 > m_text.size())
            return fail("four hex digits expected");
        unit = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_pos++];
            unit <<= 4;
            if (c >= '0' && c <= '9')
                unit |= static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f')
                unit |= static_cast<std::uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                unit |= static_cast<std::uint32_t>(c - 'A' + 10);
            else
                return fail("four hex digits expected");
        }
        return true;
    }

    bool parseString(std::string& out, bool& beyondLatin1) {
        ++m_pos;
        for (;;) {
            if (atEnd())
                return fail("a string is not closed");
            const char c = peek();
            std::uint32_t cp = 0;
            if (c == '"') {
                ++m_pos;
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                return fail("a control character in a string");
            if (c == '\\') {
                ++m_pos;
                if (atEnd())
                    return fail("a string is not closed");
                const char e = m_text[m_pos++];
                switch (e) {
                case '"': cp = '"'; break;
                case '\\': cp = '\\'; break;
                case '/': cp = '/'; break;
                case 'b': cp = '\b'; break;
                case 'f': cp = '\f'; break;
                case 'n': cp = '\n'; break;
                case 'r': cp = '\r'; break;
                case 't': cp = '\t'; break;
                case 'u':
                    if (!hexUnit(cp))
                        return false;
                    break;
                default:
                    return fail("an unknown escape");
                }
            } else if (!nextUtf8Character(m_text, m_pos, cp)) {
                return fail("not UTF-8");
            }
            if (cp > 0xFF)
                beyondLatin1 = true;
            else
                out += static_cast<char>(cp);
        }
    }

    bool parseNumber(JsonValue& value) {
        const std::size_t begin = m_pos;
        if (peek() == '-')
            ++m_pos;
        const auto digits = [&] {
            const std::size_t from = m_pos;
            while (!atEnd() && peek() >= '0' && peek() <= '9')
                ++m_pos;
            return m_pos - from;
        };
        const std::size_t whole = digits();
        if (whole == 0)
            return fail("a value expected");
        if (whole > 1 && m_text[m_pos - whole] == '0')
            return fail("a number with a leading zero");
        bool fraction = false;
        if (peek() == '.') {
            ++m_pos;
            if (digits() == 0)
                return fail("digits expected after '.'");
            fraction = true;
        }
        if (peek() == 'e' || peek() == 'E') {
            ++m_pos;
            if (peek() == '+' || peek() == '-')
                ++m_pos;
            if (digits() == 0)
                return fail("digits expected in the exponent");
            fraction = true;
        }
        value.kind = JsonValue::Kind::Fraction;
        if (fraction)
            return true;
        // An integer beyond 64 bits is kept as a number that is no integer of any field.
        const std::string_view number = m_text.substr(begin, m_pos - begin);
        std::int64_t result = 0;
        const bool negative = number.front() == '-';
        for (char d : number.substr(negative ? 1 : 0)) {
            const int digit = d - '0';
            if (result > (std::numeric_limits<std::int64_t>::max() - digit) / 10)
                return true;
            result = result * 10 + digit;
        }
        value.kind = JsonValue::Kind::Integer;
        value.integer = negative ? -result : result;
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::string m_problem;
};

}  // namespace

Result<JsonValue> parseJson(std::string_view text) { return JsonParser(text).document(); }

}  // namespace veltrane
