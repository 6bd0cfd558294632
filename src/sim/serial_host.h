#pragma once
// veltrane-gwsim --serial: one simulated gateway on a pseudo-terminal, until the process ends.

#include <string>
#include <vector>

namespace veltrane::sim {

// Runs the serial simulator; the process's exit code.
int runSerialHost(const std::vector<std::string>& args);

}  // namespace veltrane::sim
