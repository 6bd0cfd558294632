#pragma once
// What follows the scan's Log In before an Ethernet download or upload opens its dialog.

#include "core/interaction/prompter.h"
#include "core/link/ethernet/gateway_selection.h"
#include "core/model/project_state.h"

namespace veltrane {

enum class EthernetOperation { Download, Upload };

// Refuses, with its message, a download that the gateway's switch forbids and a project whose model
// does not fit the gateway's model code (a code of 0, as the direct query leaves it, fits any).
bool ethernetEntryAllowed(EthernetOperation operation, const ethernet::GatewaySelection& selection,
                          const ProjectState& state, Prompter& prompter);

}  // namespace veltrane
