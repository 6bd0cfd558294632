#pragma once
// The gateway's two buffers as mapping addresses see them; a command's function code decides
// which one it uses (FunctionCodeInfo::read).

#include <cstdint>
#include <string>

namespace veltrane {

inline constexpr std::int64_t kInputBufferFirst = 0x0000;
inline constexpr std::int64_t kInputBufferLast = 0x01EB;
inline constexpr std::int64_t kOutputBufferFirst = 0x4000;
inline constexpr std::int64_t kOutputBufferLast = 0x41EB;

// A buffer address as the mapping address field holds it: upper-case hex, no prefix, no leading
// zeros ("0", "1EB", "4000").
std::string mappingAddressText(std::int64_t address);

// The same padded to four digits ("0000", "01EB"), for messages that name a buffer's bounds.
std::string bufferAddressText(std::int64_t address);

// A buffer's first and last mapping address, for messages about commands that leave it.
struct BufferBounds {
    std::int64_t first;
    std::int64_t last;
    std::int64_t size() const { return last - first + 1; }
};
inline BufferBounds bufferBounds(bool input) {
    return input ? BufferBounds{kInputBufferFirst, kInputBufferLast} : BufferBounds{kOutputBufferFirst, kOutputBufferLast};
}

}  // namespace veltrane
