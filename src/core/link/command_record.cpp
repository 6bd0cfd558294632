#include "core/link/command_record.h"

#include "core/common/hex.h"
#include "core/common/wire_order.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

namespace veltrane {

std::vector<CarriedNumber> commandNumbers(const INSTRUCTION& command) {
    return {
        decimalNumber(0, FieldWidth::Byte, command.slaveAddress, Str::RowSlaveAddress),
        decimalNumber(1, FieldWidth::Byte, command.functionCode, Str::RowFunctionCode),
        decimalNumber(2, FieldWidth::Word, command.startAddress, Str::RowStartingAddress),
        decimalNumber(4, FieldWidth::Word, command.dataCount, Str::RowNumberOfData),
        hexNumber(6, FieldWidth::Word, command.mappingAddress, Str::RowMappingAddress),
        decimalNumber(8, FieldWidth::Byte, command.mappingBit, Str::RowMappingBit),
    };
}

CommandRecordFields commandRecordNumbers(const INSTRUCTION& command) {
    CommandRecord record{};
    for (const CarriedNumber& number : commandNumbers(command))
        putNumber(record, 0, number);
    return decodeCommandRecord(record);
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
