#include "core/model/text_value.h"

#include "core/common/hex.h"

#include <algorithm>
#include <limits>

namespace veltrane {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The value of the leading numeral, its magnitude held at `limit`.
std::int64_t leadingValue(std::string_view text, std::int64_t limit) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    return negative ? -value : value;
}
}  // namespace

std::int32_t decimalValue(std::string_view text) {
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    const std::int64_t value = leadingValue(text, limit);
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max()));
}

std::int64_t wideDecimalValue(std::string_view text) {
    return leadingValue(text, std::numeric_limits<std::int64_t>::max());
}

std::string decimalText(std::int64_t value) { return std::to_string(value); }

bool isCanonical(std::string_view text) { return text == decimalText(decimalValue(text)); }

bool isCanonicalForm(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    // "0" is the only numeral that starts with a zero, and it has no sign.
    return digits.front() != '0' || (digits.size() == 1 && !negative);
}

std::string canonicalText(std::string_view text) { return decimalText(decimalValue(text)); }

std::uint32_t hexValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X'))
        i += 2;
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = hexDigitValue(text[i]);
        if (digit < 0)
            break;
        value = value * 16 + static_cast<std::uint64_t>(digit);
        if (value > std::numeric_limits<std::uint32_t>::max())
            value = std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace veltrane
