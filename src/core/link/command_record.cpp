#include "core/link/command_record.h"

#include "core/common/hex.h"
#include "core/common/wire_order.h"
#include "core/model/text_value.h"

namespace veltrane {

namespace {
std::uint8_t byteOf(const std::string& text) { return static_cast<std::uint8_t>(decimalValue(text)); }
std::uint16_t wordOf(std::uint32_t value) { return static_cast<std::uint16_t>(value); }
}  // namespace

CommandRecordFields commandRecordNumbers(const INSTRUCTION& command) {
    CommandRecordFields fields;
    fields.slaveAddress = byteOf(command.slaveAddress);
    fields.functionCode = byteOf(command.functionCode);
    fields.startAddress = wordOf(static_cast<std::uint32_t>(decimalValue(command.startAddress)));
    fields.dataCount = wordOf(static_cast<std::uint32_t>(decimalValue(command.dataCount)));
    fields.mappingAddress = wordOf(hexValue(command.mappingAddress));
    fields.mappingBit = byteOf(command.mappingBit);
    return fields;
}

void encodeCommandRecord(const CommandRecordFields& fields, std::span<std::uint8_t> out) {
    out[0] = fields.slaveAddress;
    out[1] = fields.functionCode;
    wire::put16(out, 2, fields.startAddress);
    wire::put16(out, 4, fields.dataCount);
    wire::put16(out, 6, fields.mappingAddress);
    out[8] = fields.mappingBit;
    out[9] = fields.scanType;
    out[10] = fields.filterOrSwap;
}

CommandRecord encodeCommandRecord(const CommandRecordFields& fields) {
    CommandRecord record{};
    encodeCommandRecord(fields, record);
    return record;
}

CommandRecordFields decodeCommandRecord(ByteView bytes) {
    CommandRecordFields fields;
    fields.slaveAddress = bytes[0];
    fields.functionCode = bytes[1];
    fields.startAddress = wire::get16(bytes, 2);
    fields.dataCount = wire::get16(bytes, 4);
    fields.mappingAddress = wire::get16(bytes, 6);
    fields.mappingBit = bytes[8];
    fields.scanType = bytes[9];
    fields.filterOrSwap = bytes[10];
    return fields;
}

void applyCommandRecordNumbers(const CommandRecordFields& fields, INSTRUCTION& command) {
    command.slaveAddress = decimalText(fields.slaveAddress);
    command.functionCode = decimalText(fields.functionCode);
    command.startAddress = decimalText(fields.startAddress);
    command.dataCount = decimalText(fields.dataCount);
    command.mappingAddress = hexNumberText(fields.mappingAddress);
    command.mappingBit = decimalText(fields.mappingBit);
}

}  // namespace veltrane
