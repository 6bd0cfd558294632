#pragma once
// The byte buffer every transport and codec passes around.

#include <cstdint>
#include <vector>

namespace veltrane {

using Bytes = std::vector<std::uint8_t>;

}  // namespace veltrane
