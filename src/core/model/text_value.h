#pragma once
// Helpers for values held as text.

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrane {

// Leading blanks, an optional sign, then the leading digits; 0 when there are none. Values beyond
// the 32-bit range saturate instead of wrapping, so an absurd text can never look small.
std::int32_t decimalValue(std::string_view text);

// The decimal value read like decimalValue but in full, so that a number beyond the 32-bit range
// keeps its size ("99999999999" stays 99999999999); saturates only at the 64-bit range.
std::int64_t wideDecimalValue(std::string_view text);

// The decimal formatting of a number ("%d").
std::string decimalText(std::int64_t value);

// True when the text equals the decimal formatting of its own value ("12" yes; "012", " 12", "" no).
// A numeral beyond the 32-bit range is not: its value saturates.
bool isCanonical(std::string_view text);

// True when the text is written as decimalText writes numbers, whatever its size: an optional
// minus, then digits without a leading zero ("0", "12", "99999999999" yes; "012", "-0", "" no).
// Such a text beyond the 32-bit range is a number all the same, larger (or smaller) than any limit.
bool isCanonicalForm(std::string_view text);

// The canonical text of a value as read by decimalValue ("012" -> "12", "abc" -> "0").
std::string canonicalText(std::string_view text);

// A hexadecimal text read the way the mapping fields are read: optional blanks, optional "0x",
// leading hex digits; 0 when there are none. Saturates at the 32-bit unsigned range.
std::uint32_t hexValue(std::string_view text);

}  // namespace veltrane
