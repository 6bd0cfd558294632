#include "cli/json_writer.h"

#include <cstdio>

namespace veltrane::cli {

std::string JsonWriter::quote(std::string_view text) {
    std::string out = "\"";
    char escape[8];
    for (const char byte : text) {
        const auto c = static_cast<unsigned char>(byte);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20) {
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            // One rule for every byte: bytes that happen to form UTF-8 are not merged into one
            // character, so two different stored texts never print alike.
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        }
    }
    out += '"';
    return out;
}

void JsonWriter::newline() {
    m_out += '\n';
    m_out.append(2 * m_levels.size(), ' ');
}

void JsonWriter::beforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_levels.empty()) {
        if (!m_levels.back().first)
            m_out += ',';
        m_levels.back().first = false;
        newline();
    }
}

void JsonWriter::beginObject() {
    beforeValue();
    m_out += '{';
    m_levels.push_back({});
}

void JsonWriter::endObject() { close('}'); }

void JsonWriter::close(char bracket) {
    const bool empty = m_levels.back().first;
    m_levels.pop_back();
    if (!empty)
        newline();
    m_out += bracket;
    if (m_levels.empty())
        m_out += '\n';
}

void JsonWriter::beginArray() {
    beforeValue();
    m_out += '[';
    m_levels.push_back({});
}

void JsonWriter::endArray() { close(']'); }

void JsonWriter::key(std::string_view name) {
    beforeValue();
    m_out += quote(name);
    m_out += ": ";
    m_afterKey = true;
}

void JsonWriter::value(std::string_view text) {
    beforeValue();
    m_out += quote(text);
}

void JsonWriter::value(std::int64_t number) {
    beforeValue();
    m_out += std::to_string(number);
}

void JsonWriter::value(bool flag) {
    beforeValue();
    m_out += flag ? "true" : "false";
}

}  // namespace veltrane::cli
