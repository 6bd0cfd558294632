#include "core/model/archive_reader.h"

#include "core/common/windows1252.h"
#include "core/model/archive_format.h"
#include "core/strings/strings.h"

#include <algorithm>

namespace veltrane {

namespace {

// A 16-bit text is held as the 8-bit texts are; a character the code page has no byte for
// becomes '?' as a code page conversion makes it.
char storedByte(std::uint32_t character) {
    const std::optional<unsigned char> byte = windows1252Byte(character);
    return static_cast<char>(byte ? *byte : '?');
}

// The length after a prefix byte of 0xFF and a word that is not the wide marker.
std::uint64_t continueLength(ArchiveReader& reader, std::uint16_t word) {
    if (word < archive::kWordLengthEscape)
        return word;
    const std::uint32_t dword = reader.readU32();
    if (dword < archive::kDwordLengthEscape)
        return dword;
    return reader.readU64();
}
}  // namespace

void ArchiveReader::fail(Error error) {
    // The first cause is the one reported.
    if (m_status.ok())
        m_status = std::move(error);
}

void ArchiveReader::failFormat() { fail(makeError(ErrorKind::Format, tr(Str::FileUnexpectedFormat))); }

bool ArchiveReader::need(std::uint64_t count) {
    if (failed())
        return false;
    if (count > remaining()) {
        failFormat();  // the file ends early
        return false;
    }
    return true;
}

std::uint8_t ArchiveReader::readU8() {
    if (!need(1))
        return 0;
    return m_bytes[m_pos++];
}

std::uint16_t ArchiveReader::readU16() {
    if (!need(2))
        return 0;
    const auto value = static_cast<std::uint16_t>(m_bytes[m_pos] | (m_bytes[m_pos + 1] << 8));
    m_pos += 2;
    return value;
}

std::uint32_t ArchiveReader::readU32() {
    if (!need(4))
        return 0;
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | m_bytes[m_pos + static_cast<std::size_t>(i)];
    m_pos += 4;
    return value;
}

std::int32_t ArchiveReader::readI32() { return static_cast<std::int32_t>(readU32()); }

std::uint64_t ArchiveReader::readU64() {
    if (!need(8))
        return 0;
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | m_bytes[m_pos + static_cast<std::size_t>(i)];
    m_pos += 8;
    return value;
}

bool ArchiveReader::readBool() { return readU8() != 0; }

bool ArchiveReader::peekU32(std::uint32_t& value) const {
    if (failed() || remaining() < 4)
        return false;
    value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | m_bytes[m_pos + static_cast<std::size_t>(i)];
    return true;
}

void ArchiveReader::skip(std::size_t count) {
    if (need(count))
        m_pos += count;
}

std::string ArchiveReader::readText() {
    bool wide = false;
    std::uint64_t length = readU8();
    if (length == archive::kByteLengthEscape) {
        std::uint16_t word = readU16();
        if (word == archive::kWideMarker) {
            // A text of 16-bit characters: its own prefix follows, counting 16-bit units.
            wide = true;
            length = readU8();
            if (length == archive::kByteLengthEscape)
                length = continueLength(*this, readU16());
        } else {
            length = continueLength(*this, word);
        }
    }
    if (failed())
        return {};
    if (length > archive::kMaxTextLength) {
        fail(makeError(ErrorKind::Format, tr(Str::FileOpenFailed)));
        return {};
    }
    // Checked before anything is allocated, so a damaged length costs nothing.
    if (!need(wide ? length * 2 : length))
        return {};

    const auto* start = m_bytes.data() + m_pos;
    if (!wide) {
        m_pos += static_cast<std::size_t>(length);
        return std::string(reinterpret_cast<const char*>(start), static_cast<std::size_t>(length));
    }
    std::string text;
    text.reserve(static_cast<std::size_t>(length));
    const auto units = static_cast<std::size_t>(length);
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint32_t unit = start[2 * i] | (static_cast<std::uint32_t>(start[2 * i + 1]) << 8);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
            const std::uint32_t low = start[2 * i + 2] | (static_cast<std::uint32_t>(start[2 * i + 3]) << 8);
            if (low >= 0xDC00 && low < 0xE000) {
                text += storedByte(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        // A lone surrogate has no character of its own.
        text += unit >= 0xD800 && unit < 0xE000 ? '?' : storedByte(unit);
    }
    m_pos += units * 2;
    return text;
}

ArchiveReader::ObjectTag ArchiveReader::readObjectTag(std::string_view expectedClass, std::uint16_t expectedSchema,
                                                      std::span<const std::string_view> knownClasses) {
    // What a failed stream reads: a new object whose body reads as zeros.
    const ObjectTag failedTag{true, 0};
    const auto badFormat = [&] {
        failFormat();
        return failedTag;
    };
    const std::uint16_t tag = readU16();
    std::string className;
    if (failed())
        return failedTag;
    if (tag == archive::kNewClassTag) {
        const std::uint16_t schema = readU16();
        const std::uint16_t nameLength = readU16();
        if (!need(nameLength))
            return failedTag;
        className.assign(reinterpret_cast<const char*>(m_bytes.data() + m_pos), nameLength);
        m_pos += nameLength;
        if (std::find(knownClasses.begin(), knownClasses.end(), className) == knownClasses.end())
            return badFormat();  // unknown class
        if (className == expectedClass && schema != expectedSchema)
            return badFormat();  // wrong schema
        m_entries.push_back(Entry{true, className});
    } else {
        std::uint32_t fullTag = tag;
        bool isClassReference = (tag & archive::kClassTag) != 0;
        if (tag == archive::kBigObjectTag) {
            fullTag = readU32();
            if (failed())
                return failedTag;
            isClassReference = (fullTag & archive::kBigClassTag) != 0;
            fullTag &= ~archive::kBigClassTag;
        } else {
            fullTag &= ~static_cast<std::uint32_t>(archive::kClassTag);
        }
        if (!isClassReference) {
            // A reference to an object read before; a missing object (index 0) or a class where an
            // object belongs cannot stand for a record.
            if (fullTag == 0 || fullTag >= m_entries.size() || m_entries[fullTag].isClass)
                return badFormat();  // bad object index
            if (m_entries[fullTag].className != expectedClass)
                return badFormat();  // wrong class
            return ObjectTag{false, fullTag};
        }
        if (fullTag == 0 || fullTag >= m_entries.size() || !m_entries[fullTag].isClass)
            return badFormat();  // bad class index
        className = m_entries[fullTag].className;
    }
    if (className != expectedClass)
        return badFormat();  // wrong class
    m_entries.push_back(Entry{false, className});
    return ObjectTag{true, static_cast<std::uint32_t>(m_entries.size() - 1)};
}

}  // namespace veltrane
