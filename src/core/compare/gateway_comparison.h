#pragma once
// The open project against what a gateway holds. Both sides go through the link: the project as a
// download of it would leave the gateway, read back the way an upload reads, and the gateway's
// upload, each adopted onto a copy of the project. So only what the link carries can differ, in
// the form the gateway holds it, and items and rows are named as the project shows them.

#include "core/compare/project_diff.h"
#include "core/link/ethernet/configuration_image.h"
#include "core/link/serial/serial_upload.h"

#include <vector>

namespace veltrane {

std::vector<ProjectDifference> compareWithEthernetGateway(const Project& project, const ProjectState& state,
                                                          const ethernet::ConfigurationImage& uploaded);

// `upload` has finished.
std::vector<ProjectDifference> compareWithSerialGateway(const Project& project, const ProjectState& state,
                                                        const serial::SerialUpload& upload);

}  // namespace veltrane
