#include "core/editor/function_codes.h"

#include "core/model/text_value.h"

namespace veltrane {

const std::vector<Str>& selectCommandEntries() {
    static const std::vector<Str> entries = {
        Str::Fc01ReadCoilStatus,      Str::Fc02ReadInputStatus,
        Str::Fc03ReadHoldingRegister, Str::Fc04ReadInputRegister,
        Str::Fc05ForceSingleCoil,     Str::Fc06PresetSingleRegister,
        Str::Fc07ReadExceptionStatus, Str::Fc08Diagnostics,
        Str::Fc11FetchCommEventCtr,   Str::Fc12FetchCommEventLog,
        Str::Fc13ProgramController,   Str::Fc14PollController,
        Str::Fc15ForceMultipleCoils,  Str::Fc16PresetMultipleRegisters,
    };
    return entries;
}

std::string functionCodeForEntry(int index) {
    if (index >= 0 && index <= 5)
        return decimalText(index + 1);
    if (index == 12)
        return "15";
    if (index == 13)
        return "16";
    return {};
}

int entryForFunctionCode(int code) {
    // The entries are numbered by their leading function code.
    const auto& entries = selectCommandEntries();
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (decimalValue(tr(entries[i])) == code)
            return static_cast<int>(i);
    return -1;
}

bool isReadCode(const std::string& code) {
    return code == "1" || code == "2" || code == "3" || code == "4";
}

bool isBitCode(const std::string& code) {
    return code == "1" || code == "2" || code == "5" || code == "15";
}

bool isMultiBitCode(const std::string& code) {
    return code == "1" || code == "2" || code == "15";
}

bool isMultiRegisterCode(const std::string& code) {
    return code == "3" || code == "4" || code == "16";
}

} // namespace veltrane
