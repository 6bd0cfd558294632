#pragma once
// The gateway's two buffers as mapping addresses see them, and how a command's function code
// decides which buffer it uses.

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrane {

inline constexpr std::int64_t kInputBufferFirst = 0x0000;
inline constexpr std::int64_t kInputBufferLast = 0x01EB;
inline constexpr std::int64_t kOutputBufferFirst = 0x4000;
inline constexpr std::int64_t kOutputBufferLast = 0x41EB;

// What a function code does to the buffers. The calculation only knows the eight codes by their
// exact text; anything else is left alone.
enum class CommandClass { None, ReadBits, ReadRegisters, WriteBits, WriteRegisters };

CommandClass classifyFunctionCodeText(std::string_view functionCode);
// The same classification for a code already read as a number (the conflict detection reads it so).
CommandClass classifyFunctionCode(std::int32_t code);

inline bool isBitClass(CommandClass c) {
    return c == CommandClass::ReadBits || c == CommandClass::WriteBits;
}
inline bool isReadClass(CommandClass c) {
    return c == CommandClass::ReadBits || c == CommandClass::ReadRegisters;
}

// A buffer address as the mapping address field holds it: upper-case hex, no prefix, no leading
// zeros ("0", "1EB", "4000").
std::string mappingAddressText(std::int64_t address);

}  // namespace veltrane
