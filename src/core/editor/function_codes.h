#pragma once
// Modbus function codes as commands carry them ("1" ... "16") and the "Select Command" list.

#include "core/strings/strings.h"

#include <string>
#include <vector>

namespace veltrane {

// The fourteen entries of the "Select Command" list, in order.
const std::vector<Str>& selectCommandEntries();
// The function code text that list entry `index` (0-based) adds; empty for the entries that
// cannot be added (positions 7 to 12) and for indexes outside the list.
std::string functionCodeForEntry(int index);
// The list entry of a function code number (1, 2, ... 16), -1 when the list has none.
int entryForFunctionCode(int code);

// Read commands (1 to 4) fill the input buffer; all others empty the output buffer.
bool isReadCode(const std::string& code);
// Commands whose data are coils or input bits (1, 2, 5, 15).
bool isBitCode(const std::string& code);
// Commands that read or write several bits (1, 2, 15): their byte count depends on the mapping bit.
bool isMultiBitCode(const std::string& code);
// Commands that read or write several registers (3, 4, 16).
bool isMultiRegisterCode(const std::string& code);

} // namespace veltrane
