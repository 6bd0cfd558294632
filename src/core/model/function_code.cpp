#include "core/model/function_code.h"

#include <array>

namespace veltrane {

namespace {
using FC = FunctionCode;

//                                                    supported read   bits   multiple plcBase fixedBytes
constexpr std::array<FunctionCodeInfo, 14> kTable = {{
    {FC::ReadCoilStatus, Str::Fc01ReadCoilStatus, true, true, true, true, 0, 0},
    {FC::ReadInputStatus, Str::Fc02ReadInputStatus, true, true, true, true, 10000, 0},
    {FC::ReadHoldingRegister, Str::Fc03ReadHoldingRegister, true, true, false, true, 40000, 0},
    {FC::ReadInputRegister, Str::Fc04ReadInputRegister, true, true, false, true, 30000, 0},
    {FC::ForceSingleCoil, Str::Fc05ForceSingleCoil, true, false, true, false, 0, 1},
    {FC::PresetSingleRegister, Str::Fc06PresetSingleRegister, true, false, false, false, 40000, 2},
    {FC::ReadExceptionStatus, Str::Fc07ReadExceptionStatus},
    {FC::Diagnostics, Str::Fc08Diagnostics},
    {FC::FetchCommEventCtr, Str::Fc11FetchCommEventCtr},
    {FC::FetchCommEventLog, Str::Fc12FetchCommEventLog},
    {FC::ProgramController, Str::Fc13ProgramController},
    {FC::PollController, Str::Fc14PollController},
    {FC::ForceMultipleCoils, Str::Fc15ForceMultipleCoils, true, false, true, true, 0, 0},
    {FC::PresetMultipleRegisters, Str::Fc16PresetMultipleRegisters, true, false, false, true, 40000, 0},
}};

constexpr FunctionCodeInfo kNone{};
}  // namespace

std::span<const FunctionCodeInfo> functionCodeTable() { return kTable; }

const FunctionCodeInfo& functionCodeInfo(FunctionCode code) {
    for (const FunctionCodeInfo& info : kTable)
        if (info.code == code)
            return info;
    return kNone;
}

FunctionCode functionCodeOfNumber(std::int32_t number) {
    for (const FunctionCodeInfo& info : kTable)
        if (static_cast<std::int32_t>(info.code) == number)
            return info.code;
    return FC::None;
}

FunctionCode functionCodeOfText(std::string_view text) {
    // Only the canonical spelling counts: one or two digits, no leading zero.
    if (text.empty() || text.size() > 2 || text[0] == '0')
        return FC::None;
    std::int32_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return FC::None;
        number = number * 10 + (c - '0');
    }
    return functionCodeOfNumber(number);
}

std::string functionCodeText(FunctionCode code) {
    return code == FC::None ? std::string() : std::to_string(static_cast<int>(code));
}

}  // namespace veltrane
