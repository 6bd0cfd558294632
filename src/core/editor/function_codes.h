#pragma once
// The "Select Command" list: the function code table in list order.

#include "core/model/function_code.h"
#include "core/strings/strings.h"

#include <string>
#include <vector>

namespace veltrane {

// The fourteen entries of the "Select Command" list, in order.
std::vector<Str> selectCommandEntries();
// The function code that list entry `index` (0-based) adds; None for the entries that cannot be
// added (positions 7 to 12) and for indexes outside the list.
FunctionCode functionCodeForEntry(int index);
// The list entry of a function code number (1, 2, ... 16), -1 when the list has none.
int entryForFunctionCode(int code);

} // namespace veltrane
