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

    // A JSON string literal. Texts are the bytes stored in the project, so each byte is the Latin-1
    // character of its value (above 0x7F written as \u00XX): the output is plain ASCII, always
    // valid JSON, and a reader gets the stored bytes back by encoding the text as Latin-1.
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
