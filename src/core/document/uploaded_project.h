#pragma once
// Turns a completed serial upload into the open project: a fresh, unsaved document holding the
// gateway's configuration over the defaults of the open project's device type and model switches.

#include "core/document/document.h"
#include "core/link/serial/serial_upload.h"

namespace veltrane {

// Call only after upload.finished(); the document changes here and nowhere before, so a failed
// upload never touches the open project.
void adoptUploadedProject(Document& document, const serial::SerialUpload& upload);

}  // namespace veltrane
