#include "core/model/archive_writer.h"

#include "core/model/archive_format.h"

namespace veltrane {

void ArchiveWriter::writeU8(std::uint8_t value) { m_bytes.push_back(value); }

void ArchiveWriter::writeU16(std::uint16_t value) {
    m_bytes.push_back(static_cast<std::uint8_t>(value));
    m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void ArchiveWriter::writeU32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        m_bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

void ArchiveWriter::writeI32(std::int32_t value) { writeU32(static_cast<std::uint32_t>(value)); }

void ArchiveWriter::writeU64(std::uint64_t value) {
    for (int shift = 0; shift < 64; shift += 8)
        m_bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

void ArchiveWriter::writeBool(bool value) { writeU8(value ? 1 : 0); }

void ArchiveWriter::writeText(std::string_view text) {
    const std::uint64_t length = text.size();
    if (length < archive::kByteLengthEscape) {
        writeU8(static_cast<std::uint8_t>(length));
    } else {
        writeU8(archive::kByteLengthEscape);
        if (length < archive::kWideMarker) {
            writeU16(static_cast<std::uint16_t>(length));
        } else {
            writeU16(archive::kWordLengthEscape);
            if (length < archive::kDwordLengthEscape) {
                writeU32(static_cast<std::uint32_t>(length));
            } else {
                writeU32(archive::kDwordLengthEscape);
                writeU64(length);
            }
        }
    }
    m_bytes.insert(m_bytes.end(), text.begin(), text.end());
}

void ArchiveWriter::writeObjectTag(std::string_view className, std::uint16_t schema) {
    const auto known = m_classIndex.find(className);
    if (known != m_classIndex.end()) {
        writeU16(static_cast<std::uint16_t>(archive::kClassTag | known->second));
    } else {
        writeU16(archive::kNewClassTag);
        writeU16(schema);
        writeU16(static_cast<std::uint16_t>(className.size()));
        m_bytes.insert(m_bytes.end(), className.begin(), className.end());
        m_classIndex.emplace(std::string(className), m_nextIndex++);
    }
    ++m_nextIndex;  // the object itself
}

}  // namespace veltrane
