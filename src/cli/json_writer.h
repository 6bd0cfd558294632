#pragma once
// A small JSON writer: nested objects and arrays, indented two blanks per level.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane::cli {

class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // The key of the next member of the object being written.
    void key(std::string_view name);
    void value(std::string_view text);
    void value(const char* text) { value(std::string_view(text)); }
    void value(std::int64_t number);
    void value(bool flag);

    const std::string& text() const { return m_out; }

    // A JSON string literal. Texts are bytes: valid UTF-8 passes as it is, any other byte is taken
    // as the Latin-1 character of its value, so the output is always valid JSON.
    static std::string quote(std::string_view text);

private:
    void beforeValue();
    void newline();
    void close(char bracket);

    std::string m_out;
    struct Level {
        bool first = true;
    };
    std::vector<Level> m_levels;
    bool m_afterKey = false;
};

}  // namespace veltrane::cli
