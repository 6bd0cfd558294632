#pragma once
// Ethernet download and upload: the checks before them (on the UI thread, they may change the
// project's byte counts) and the TCP exchanges (on a worker thread, they touch no project).
//
// An exchange's Error carries the message to show; an empty message means the failure is silent.

#include "core/common/result.h"
#include "core/interaction/prompter.h"
#include "core/link/ethernet/configuration_image.h"
#include "core/link/ethernet/gateway_selection.h"
#include "core/link/transport/clock.h"
#include "core/link/transport/stream_socket.h"
#include "core/mapping/conflict_state.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <cstdint>
#include <string>

namespace veltrane::ethernet {

inline constexpr int kSocketTimeoutMs = 1000;
// The bounded wait for a connection; after it an unfinished attempt counts as failed.
inline constexpr int kConnectWaitMs = 3000;
inline constexpr int kSecondPartWaitMs = 500;

enum class EthernetOperation { Download, Upload };

// After the scan's Log In: refuses (with its message) a download the gateway's switch forbids and a
// project whose model does not fit the gateway's model code.
bool entryAllowed(EthernetOperation operation, const GatewaySelection& selection, const ProjectState& state,
                  Prompter& prompter);

// The Download dialog's opening check; false when a mapping conflict closes it again.
bool downloadMayOpen(const Project& project, const ProjectState& state, Prompter& prompter,
                     MappingConflictState& conflictState);

// The "Download" button's checks: node addresses, the byte counts (written into the project) and
// the buffer ranges. False after showing the first failure's message.
bool prepareDownload(Project& project, Prompter& prompter);

struct GatewayEndpoint {
    std::string address;
    std::uint16_t port = 0;
};

// Connects, sends the image and checks the gateway's answer. On success the connection stays open
// for the restart request; on failure it is closed.
Status downloadImage(StreamSocket& socket, const GatewayEndpoint& gateway, const ConfigurationImage& image);

// The restart request on the connection a download left open; silent on failure. The connection
// is closed either way.
Status sendRestart(StreamSocket& socket);

// Connects, asks for the image and gathers the reply in one or two receives. Closes the connection.
Result<ConfigurationImage> uploadImage(StreamSocket& socket, const GatewayEndpoint& gateway, Clock& clock);

// Writes an uploaded image into the project through a copy, so nothing is half-written if anything
// goes wrong; the tree is not rebuilt here.
void adoptUploadedImage(const ConfigurationImage& image, Project& project, ProjectState& state);

}  // namespace veltrane::ethernet
