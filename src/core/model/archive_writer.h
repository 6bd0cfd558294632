#pragma once
// Writes the primitives of the object-archive stream: little-endian integers, length-prefixed
// texts and class-tagged objects.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

class ArchiveWriter {
public:
    void writeU8(std::uint8_t value);
    void writeU16(std::uint16_t value);
    void writeU32(std::uint32_t value);
    void writeI32(std::int32_t value);
    void writeU64(std::uint64_t value);
    // Any true value is written as 1.
    void writeBool(bool value);
    // The text's bytes as they are, after the shortest length prefix that holds their count.
    void writeText(std::string_view text);
    // The tag in front of an object: the class in full the first time it appears, later a
    // reference to the class's index. Classes and objects both take up an index.
    void writeObjectTag(std::string_view className, std::uint16_t schema);

    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    std::vector<std::uint8_t> takeBytes() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
    std::map<std::string, std::uint32_t, std::less<>> m_classIndex;
    std::uint32_t m_nextIndex = 1;  // index 0 stands for a missing object
};

}  // namespace veltrane
