#pragma once
// How many bytes a bit command (coils, inputs) takes. Three rules exist and they differ on purpose:
// each matches what its side of the tool has always written, and gateways and files depend on the
// numbers they get. Do not merge them.

#include "core/model/records.h"

#include <cstdint>
#include <string>

namespace veltrane {

// Typing a count and calculating the mapping: the bits from the first mapped bit on, rounded up
// ((bit + n + 7) / 8).
std::int64_t mappedByteCount(std::int64_t firstBit, std::int64_t bitCount);

// The completeness check's byte count: the bits alone, rounded up (ceil(n / 8)); a negative count
// rounds toward zero.
std::int64_t completenessByteCount(std::int64_t bitCount);

// An Ethernet download's byte count: one byte more than the whole bytes (n / 8 + 1), so 8 coils
// take 2.
std::int64_t ethernetDownloadByteCount(std::int64_t bitCount);

// A whole command's byte count, by function code, as the download over each link writes it (the
// serial one through the completeness check); an empty text for a code without a rule, whose
// stored count is kept.
std::string completenessCommandBytes(const INSTRUCTION& command);
std::string ethernetDownloadCommandBytes(const INSTRUCTION& command);

}  // namespace veltrane
