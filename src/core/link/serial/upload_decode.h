#pragma once
// Turning what an upload gathered into project records.

#include "core/link/serial/reply_checks.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

namespace veltrane::serial {

// Writes the gathered fieldbus, subnet, node and command values over records that hold the
// project defaults, and sets the device type the gateway reported.
void decodeUploadedProject(const UploadBuffers& buffers, Project& project, ProjectState& state);

// The option byte and the PROFIBUS configuration data, when they were read.
void applyUploadedOptions(const UploadBuffers& buffers, Project& project, const ProjectState& state);

// Everything a successful upload does to the records, in order: the defaults for the device type
// and switches as they stand, the option byte and configuration data, then the decoding. The
// caller passes a copy of the open project (delimiters and the double-fault switch of subnets 2 to
// 4 are kept from it) and adopts it afterwards.
void applyUpload(const UploadBuffers& buffers, Project& project, ProjectState& state);

} // namespace veltrane::serial
