#pragma once
// A JSON document read into a tree of values. Strings hold one byte per character, the Latin-1
// value of the character, as the project's texts are written; a character above U+00FF is marked.

#include "core/common/result.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

struct JsonValue {
    enum class Kind { Null, Bool, Integer, Fraction, String, Array, Object };
    Kind kind = Kind::Null;
    bool flag = false;
    std::int64_t integer = 0;
    std::string text;           // Latin-1 bytes of a string
    bool beyondLatin1 = false;  // the string holds a character that is no byte
    std::vector<JsonValue> items;
    // An object's members in document order, keys unique: keys[i] names values[i].
    std::vector<std::string> keys;
    std::vector<JsonValue> values;
};

// The whole text must be one value (blanks around it allowed). Nesting is bounded, so no input can
// exhaust the stack; the error names the offset and what is wrong.
Result<JsonValue> parseJson(std::string_view text);

}  // namespace veltrane
