#pragma once
// Reads the primitives of the object-archive stream. Every read checks the bytes that are left
// instead of reading past the end. The first failure sticks: from then on every read gives zero or
// an empty text and consumes nothing, so a decoder reads on without branching after each field and
// asks status() once at the end (or where a value decides how much is read next).

#include "core/common/result.h"

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

    // Success, or why reading stopped: "Unexpected file format." for damaged bytes, "Failed to
    // open document." for a text longer than any text can be.
    const Status& status() const { return m_status; }
    bool failed() const { return !m_status.ok(); }
    // Marks the stream as damaged; used by the decoder for values that cannot be right.
    void failFormat();

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
    // False (and the stream failed) when fewer bytes are left.
    bool need(std::uint64_t count);
    void fail(Error error);

    struct Entry {
        bool isClass = false;
        std::string className;  // of the class, or of the object's class
    };

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    std::vector<Entry> m_entries{Entry{}};  // index 0 stands for a missing object
    Status m_status;
};

}  // namespace veltrane
