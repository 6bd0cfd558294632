#include "core/editor/function_codes.h"

namespace veltrane {

std::vector<Str> selectCommandEntries() {
    std::vector<Str> entries;
    for (const FunctionCodeInfo& info : functionCodeTable())
        entries.push_back(info.label);
    return entries;
}

FunctionCode functionCodeForEntry(int index) {
    const auto table = functionCodeTable();
    if (index < 0 || static_cast<std::size_t>(index) >= table.size() || !table[static_cast<std::size_t>(index)].supported)
        return FunctionCode::None;
    return table[static_cast<std::size_t>(index)].code;
}

int entryForFunctionCode(int code) {
    const auto table = functionCodeTable();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (static_cast<int>(table[i].code) == code)
            return static_cast<int>(i);
    return -1;
}

} // namespace veltrane
