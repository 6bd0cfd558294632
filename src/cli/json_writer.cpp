#include "cli/json_writer.h"

#include <cstdio>

namespace veltrane::cli {

namespace {
// The length of the valid UTF-8 sequence at `at`, or 0 when the bytes there are not one.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    std::uint32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byte(at + i) & 0x3Fu);
    }
    const bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
    const bool surrogate = codePoint >= 0xD800 && codePoint < 0xE000;
    if (overlong || surrogate || codePoint > 0x10FFFF)
        return 0;
    return length;
}
}  // namespace

std::string JsonWriter::quote(std::string_view text) {
    std::string out = "\"";
    char escape[8];
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
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
        } else if (const std::size_t length = utf8SequenceLength(text, i); length > 0) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        } else {
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        }
        ++i;
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
