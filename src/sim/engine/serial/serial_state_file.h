#pragma once
// The serial simulator's memory across runs, one "KEY HEX" line per field, so that a download
// followed by an upload in a later run round-trips.

#include "core/common/result.h"
#include "sim/engine/serial/serial_gateway_engine.h"

#include <string>

namespace veltrane::sim {

// A missing file is an empty gateway; a damaged one is refused with the line that is wrong.
Result<SerialGatewayMemory> loadSerialGatewayMemory(const std::string& path);

// Written to a temporary file and renamed over the old one.
Status saveSerialGatewayMemory(const std::string& path, const SerialGatewayMemory& memory);

} // namespace veltrane::sim
