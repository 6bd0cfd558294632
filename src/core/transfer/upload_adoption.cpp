#include "core/transfer/upload_adoption.h"

#include "core/mapping/byte_count_rules.h"
#include "core/strings/strings.h"

#include <algorithm>

namespace veltrane {

namespace {
void showAdopted(Document& document) {
    document.editor().rebuildTree();
    document.editor().expandAll();
    document.editor().notifyProjectChanged(ProjectChange::Replaced);
}

// No link carries a byte count; what a slot held before belongs to another command. The uploaded
// commands get the count the download over the same link would give them.
void recountBytes(Project& project, int subnets, std::string (*rule)(const INSTRUCTION&)) {
    for (int s = 0; s < subnets; ++s) {
        CONFIG& subnet = project.subnets[static_cast<std::size_t>(s)];
        const int used = std::clamp(subnet.commandCount, 0, kMaxCommands);
        for (int c = 0; c < used; ++c) {
            INSTRUCTION& command = subnet.commands[static_cast<std::size_t>(c)];
            if (std::string bytes = rule(command); !bytes.empty())
                command.byteCount = std::move(bytes);
        }
    }
}

constexpr int kImageSubnets = 2;
}  // namespace

void adoptSerialUpload(Document& document, const serial::SerialUpload& upload, std::string origin) {
    if (upload.base() == serial::SerialUpload::Base::GatewayType)
        document.newDocument(NewProjectKind{upload.deviceType(), {}});
    Project project = document.project();
    ProjectState state = document.state();
    upload.applyTo(project, state);
    recountBytes(project, kSubnetSlots, &completenessCommandBytes);
    state.UploadedProjectPending = true;
    document.project() = std::move(project);
    document.state() = state;
    // File New with an upload pending keeps the records: an untitled, unmodified document.
    document.newDocument();
    document.detachFromFile(std::move(origin));
    showAdopted(document);
}

void adoptEthernetUpload(Document& document, const ethernet::ConfigurationImage& image, std::string origin) {
    // Decoded into copies, so that nothing is half-written if the decoding stops.
    Project project = document.project();
    ProjectState state = document.state();
    ethernet::decodeConfigurationImage(image, project, state);
    recountBytes(project, kImageSubnets, &ethernetDownloadCommandBytes);
    // The records are the gateway's now, not the file's: saving them over it would lose the
    // user's project, so they wait for a name of their own.
    state.ProjectModified = false;
    document.project() = std::move(project);
    document.state() = state;
    document.detachFromFile(std::move(origin));
    // Nothing before them can be undone into them.
    document.editor().startNewHistory(true);
    showAdopted(document);
}

const std::string& serialUploadNotCarried() { return tr(Str::UlNotCarriedSerial); }
const std::string& ethernetUploadNotCarried() { return tr(Str::UlNotCarriedEthernet); }

}  // namespace veltrane
