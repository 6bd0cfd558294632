#pragma once
// The simulator's memory across runs: the image each gateway holds, by IP address, in one text
// file ("ADDRESS HEX" per line), so that a download followed by an upload round-trips.

#include "core/common/result.h"
#include "core/link/ethernet/configuration_image.h"

#include <map>
#include <string>

namespace veltrane::sim {

using GatewayImages = std::map<std::string, ethernet::ConfigurationImage>;

// A missing file is an empty map; a damaged one is refused with the line that is wrong.
Result<GatewayImages> loadGatewayImages(const std::string& path);

// Written to a temporary file and renamed over the old one, so a failed save keeps the last state.
Status saveGatewayImages(const std::string& path, const GatewayImages& images);

}  // namespace veltrane::sim
