#pragma once
// A command as the gateways store it: 11 bytes, numbers big-endian. The serial link carries the
// record bare; the Ethernet image keeps each one in a 12-byte slot. Both links share the layout and
// the numbers; they code the scan type and the filter/swap byte each in their own way, so those
// two stay with the link.

#include "core/common/bytes.h"
#include "core/link/carried_number.h"
#include "core/model/records.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace veltrane {

inline constexpr std::size_t kCommandRecordSize = 11;
using CommandRecord = std::array<std::uint8_t, kCommandRecordSize>;

struct CommandRecordFields {
    std::uint8_t slaveAddress = 0;
    std::uint8_t functionCode = 0;
    std::uint16_t startAddress = 0;
    std::uint16_t dataCount = 0;
    std::uint16_t mappingAddress = 0;
    std::uint8_t mappingBit = 0;
    std::uint8_t scanType = 0;
    std::uint8_t filterOrSwap = 0;
};

// The command's numbers with their fields in the record: slave address, function code, start
// address, data count, mapping address (hex), mapping bit.
std::vector<CarriedNumber> commandNumbers(const INSTRUCTION& command);

// The command's numbers as a record holds them (decimal fields, the mapping address in hex; each
// cut to its byte or word). Scan type and filter/swap are left 0 for the link to code.
CommandRecordFields commandRecordNumbers(const INSTRUCTION& command);

// Writes the 11 bytes at the start of `out`, which holds at least that many.
void encodeCommandRecord(const CommandRecordFields& fields, std::span<std::uint8_t> out);
CommandRecord encodeCommandRecord(const CommandRecordFields& fields);

// Reads the 11 bytes at the start of `bytes`, which holds at least that many.
CommandRecordFields decodeCommandRecord(ByteView bytes);

// Writes the record's numbers into the command's text fields: decimal, the mapping address in
// lower-case hex without leading zeros. Scan type and filter/swap are left to the link.
void applyCommandRecordNumbers(const CommandRecordFields& fields, INSTRUCTION& command);

}  // namespace veltrane
