#pragma once
// What a serial gateway would answer an upload with after a download of a project: the download's
// frames stored over what the gateway holds now, in the forms the upload reads them.

#include "core/link/serial/reply_checks.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

namespace veltrane::compare {

// `held` is a finished upload's buffers: the device information, and which of the option byte and
// the configuration data the gateway was asked for.
serial::UploadBuffers serialRoundTrip(const Project& project, const ProjectState& state,
                                      const serial::UploadBuffers& held);

}  // namespace veltrane::compare
