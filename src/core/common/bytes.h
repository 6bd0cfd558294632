#pragma once
// The byte buffer every transport, codec and file passes around, and a read-only view of one.

#include <cstdint>
#include <span>
#include <vector>

namespace veltrane {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

}  // namespace veltrane
