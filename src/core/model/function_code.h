#pragma once
// The Modbus function codes a command can carry, and everything the editor, the mapping and the
// conflict detection need to know about each, in one table.

#include "core/strings/strings.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace veltrane {

// The numbers are the Modbus function codes; None stands for any text that is not one of them.
enum class FunctionCode : std::uint8_t {
    None = 0,
    ReadCoilStatus = 1,
    ReadInputStatus = 2,
    ReadHoldingRegister = 3,
    ReadInputRegister = 4,
    ForceSingleCoil = 5,
    PresetSingleRegister = 6,
    ReadExceptionStatus = 7,
    Diagnostics = 8,
    FetchCommEventCtr = 11,
    FetchCommEventLog = 12,
    ProgramController = 13,
    PollController = 14,
    ForceMultipleCoils = 15,
    PresetMultipleRegisters = 16,
};

struct FunctionCodeInfo {
    FunctionCode code = FunctionCode::None;
    Str label = Str::Count_;  // the "Select Command" entry; also the tree label of a supported code
    // One of the eight codes the gateway runs: it can be added, gets a tree item and is mapped.
    // Every property below is false for the others.
    bool supported = false;
    bool read = false;      // fills the input buffer; the other supported codes empty the output buffer
    bool bits = false;      // coils or input bits rather than registers
    bool multiple = false;  // several bits or registers: the byte count follows the number of data
    // Typed addresses plcBase + 1 ... plcBase + 9999 look like PLC addresses and are offered for
    // conversion to plcBase-relative protocol addresses; -1 when the code has no PLC range.
    std::int32_t plcBase = -1;
    // The bytes a single write always occupies (and its number of data is 1); 0 otherwise.
    std::int32_t fixedBytes = 0;

    bool write() const { return supported && !read; }
    bool single() const { return supported && !multiple; }
    bool multipleBits() const { return multiple && bits; }
    bool multipleRegisters() const { return multiple && !bits; }
    bool registers() const { return supported && !bits; }
};

// The fourteen codes in the order of the "Select Command" list.
std::span<const FunctionCodeInfo> functionCodeTable();
// The row of a code; an all-false row for None.
const FunctionCodeInfo& functionCodeInfo(FunctionCode code);

// A stored text as the command carries it: only the exact decimal texts ("3", never "03").
FunctionCode functionCodeOfText(std::string_view text);
// A code already read as a number; None for numbers that are no code of the table.
FunctionCode functionCodeOfNumber(std::int32_t number);
// The text a command stores for a code ("1" ... "16"); empty for None.
std::string functionCodeText(FunctionCode code);

inline const FunctionCodeInfo& functionCodeInfo(std::string_view text) {
    return functionCodeInfo(functionCodeOfText(text));
}

}  // namespace veltrane
