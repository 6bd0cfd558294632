#include "core/model/text_value.h"

#include <gtest/gtest.h>

using namespace veltrane;

TEST(TextValue, DecimalValueReadsLeadingNumber) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"", 0},           {"abc", 0},         {"12", 12},        {"  12", 12},  {"\t-7x", -7},
        {"+5", 5},         {"0300", 300},      {"12ab3", 12},     {"- 3", 0},    {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decimalValue(c.text), c.value) << '"' << c.text << '"';
}

TEST(TextValue, CanonicalTexts) {
    for (const char* text : {"0", "12", "-3", "65535"})
        EXPECT_TRUE(isCanonical(text)) << text;
    for (const char* text : {"", "012", " 12", "+12", "12 ", "1e3", "-0"})
        EXPECT_FALSE(isCanonical(text)) << text;
    EXPECT_EQ(canonicalText("0300"), "300");
    EXPECT_EQ(canonicalText("x"), "0");
}

TEST(TextValue, HexValue) {
    EXPECT_EQ(hexValue("1EB"), 0x1EBu);
    EXPECT_EQ(hexValue("4000h"), 0x4000u);
    EXPECT_EQ(hexValue(" 0x1f"), 0x1Fu);
    EXPECT_EQ(hexValue(""), 0u);
    EXPECT_EQ(hexValue("zz"), 0u);
    EXPECT_EQ(hexValue("FFFFFFFFFF"), 0xFFFFFFFFu);
}
