#pragma once
// An upload becomes the open project only here, after every exchange succeeded, so a failed upload
// never touches it. The window and veltrane-cli both adopt through these.

#include "core/document/document.h"
#include "core/link/ethernet/configuration_image.h"
#include "core/link/serial/serial_upload.h"

namespace veltrane {

// A finished serial upload: a fresh, untitled and unmodified document holding the gateway's
// configuration over the defaults of the open project's device type and model switches.
void adoptSerialUpload(Document& document, const serial::SerialUpload& upload);

// A received configuration image, decoded into the open project, which keeps its file name and
// stays unmodified; the tree is built again, expanded, and its first item selected.
void adoptEthernetUpload(Document& document, const ethernet::ConfigurationImage& image);

}  // namespace veltrane
