#pragma once
// An upload becomes the open project only here, after every exchange succeeded, so a failed upload
// never touches it. The window and veltrane-cli both adopt through these.

#include "core/document/document.h"
#include "core/link/ethernet/configuration_image.h"
#include "core/link/serial/serial_upload.h"

#include <string>

namespace veltrane {

// A finished serial upload: a fresh, untitled and unmodified document holding the gateway's
// configuration over the defaults of the open project's device type and model switches, or, for an
// upload read as the gateway's own type, of a new project of that type. `origin` (the port) is where
// the caption says it came from.
void adoptSerialUpload(Document& document, const serial::SerialUpload& upload, std::string origin);

// A received configuration image, decoded into the open project, which becomes untitled (the next
// Save asks for a name; `origin` is the gateway's address) and unmodified; the tree is built again,
// expanded, and its first item selected.
void adoptEthernetUpload(Document& document, const ethernet::ConfigurationImage& image, std::string origin);

// What a round trip over each link cannot carry, for the user to read after an upload.
const std::string& serialUploadNotCarried();
const std::string& ethernetUploadNotCarried();

}  // namespace veltrane
