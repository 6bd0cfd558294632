#pragma once
// Reads the primitives of the object-archive stream. Every read checks the bytes that are left and
// throws ArchiveError instead of reading past the end.

#include "core/model/archive_error.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

class ArchiveReader {
public:
    explicit ArchiveReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::size_t remaining() const { return m_bytes.size() - m_pos; }

    std::uint8_t readU8();
    std::uint16_t readU16();
    std::uint32_t readU32();
    std::int32_t readI32();
    std::uint64_t readU64();
    // True when the byte is not 0.
    bool readBool();
    // A text in any prefix form; a text of 16-bit characters comes back as UTF-8.
    std::string readText();

    // The next four bytes as an integer, without consuming them; false when fewer are left.
    bool peekU32(std::uint32_t& value) const;
    void skip(std::size_t count);

    // An object's tag. Either a new object of the expected class follows (its body is to be read
    // next), or the tag refers back to an object read earlier, identified by its index.
    struct ObjectTag {
        bool isNew = true;
        std::uint32_t index = 0;  // the object's index in the stream
    };
    ObjectTag readObjectTag(std::string_view expectedClass, std::uint16_t expectedSchema,
                            std::span<const std::string_view> knownClasses);

private:
    void need(std::uint64_t count) const;
    std::uint32_t classIndexFor(std::uint32_t tagIndex) const;

    struct Entry {
        bool isClass = false;
        std::string className;  // of the class, or of the object's class
    };

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    std::vector<Entry> m_entries{Entry{}};  // index 0 stands for a missing object
};

}  // namespace veltrane
