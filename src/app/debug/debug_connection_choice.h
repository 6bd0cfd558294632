#pragma once
// Until the scan and serial port dialogs hand over their choice, the debug monitor asks for the
// gateway's address or the serial device itself.

#include "app/debug/debug_dialog.h"
#include "core/model/project_state.h"

#include <optional>

namespace veltrane {

// The connection for the project's debug transport, asking for what is missing; nothing when the
// user cancelled. `lastAddress` and `lastDevice` are offered again and updated.
std::optional<DebugConnection> askDebugConnection(const ProjectState& state, QWidget* parent, QString& lastAddress,
                                                  QString& lastDevice);

}  // namespace veltrane
