#include "core/mapping/byte_count_rules.h"

namespace veltrane {

std::int64_t mappedByteCount(std::int64_t firstBit, std::int64_t bitCount) { return (firstBit + bitCount + 7) / 8; }

std::int64_t completenessByteCount(std::int64_t bitCount) {
    return bitCount >= 0 ? (bitCount + 7) / 8 : -((-bitCount) / 8);
}

std::int64_t ethernetDownloadByteCount(std::int64_t bitCount) { return bitCount / 8 + 1; }

}  // namespace veltrane
