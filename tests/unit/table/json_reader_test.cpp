#include "core/json/json_value.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

TEST(JsonReader, StringsAreLatin1Bytes) {
    const Result<JsonValue> value = parseJson(R"({"a": "Caf\u00e9 \"q\"", "b": "é", "c": "\u20ac", "n": [-12, 1.5, true, null]})");
    ASSERT_TRUE(value) << value.message();
    ASSERT_EQ(value->keys, (std::vector<std::string>{"a", "b", "c", "n"}));
    EXPECT_EQ(value->values[0].text, "Caf\xE9 \"q\"");
    EXPECT_EQ(value->values[1].text, "\xE9");  // written as UTF-8, stored as its character
    EXPECT_TRUE(value->values[2].beyondLatin1);
    const JsonValue& n = value->values[3];
    EXPECT_EQ(n.items[0].kind, JsonValue::Kind::Integer);
    EXPECT_EQ(n.items[0].integer, -12);
    EXPECT_EQ(n.items[1].kind, JsonValue::Kind::Fraction);
    EXPECT_EQ(n.items[2].kind, JsonValue::Kind::Bool);
}

TEST(JsonReader, RefusesMalformedText) {
    const std::pair<std::string, std::string> cases[] = {
        {"{\"a\": 1,}", "not valid JSON at offset 8: a key expected"},
        {"{\"a\": 1} x", "not valid JSON at offset 9: text after the value"},
        {"{\"a\": 1, \"a\": 2}", "not valid JSON at offset 12: a key repeated"},
        {"[\"open", "not valid JSON at offset 6: a string is not closed"},
        {"[012]", "not valid JSON at offset 4: a number with a leading zero"},
        {std::string(100, '[') + std::string(100, ']'), "not valid JSON at offset 65: nested too deeply"},
    };
    for (const auto& [text, message] : cases) {
        const Result<JsonValue> value = parseJson(text);
        ASSERT_FALSE(value) << text;
        EXPECT_EQ(value.message(), message);
    }
}

}  // namespace
