#pragma once
// The CLI's stand-in for the Scan dialog's "Log In": finds the gateway by a direct query or in a
// broadcast scan and selects its row.

#include "core/link/ethernet/gateway_selection.h"
#include "cli/qt_application.h"
#include "core/link/ethernet/scan_session.h"

#include <ostream>
#include <string>
#include <vector>

namespace veltrane::cli {

ethernet::ScanResult scanGateways(const std::optional<std::string>& direct, const std::vector<std::string>& locals);

// False (after printing why to out) when the gateway did not answer.
bool logIn(const std::string& address, bool broadcast, const std::vector<std::string>& locals,
           ethernet::GatewaySelection& selection, std::ostream& out);

}  // namespace veltrane::cli
