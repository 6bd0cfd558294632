#include "core/transfer/download_checks.h"

#include "core/document/document.h"
#include "core/editor/completeness_check.h"
#include "core/link/ethernet/configuration_image.h"
#include "core/link/serial/serial_download.h"
#include "core/mapping/buffer_layout.h"
#include "core/mapping/byte_count_rules.h"
#include "core/mapping/conflict_check.h"
#include "core/model/device_profile.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

#include <algorithm>
#include <cstdlib>

namespace veltrane {

namespace {

// Subnets 1 and 2 are always both sent, whatever SubnetCount says.
constexpr int kImageSubnets = 2;

int usedCount(std::int32_t count, int capacity) { return std::clamp(count, 0, capacity); }

std::int64_t readHex(const std::string& text) { return std::strtoll(text.c_str(), nullptr, 16); }

// A conflict check of this project alone: the verdict is cleared first.
bool freshConflictFound(const Project& project, const ProjectState& state, Prompter& prompter,
                        MappingConflictState& conflicts) {
    conflicts.MappingConflictFound = false;
    (void)checkMappingConflicts(project, state, prompter, conflicts);
    return conflicts.MappingConflictFound;
}

// Used node slots of the first `subnets` subnets whose address is empty or "-1" are refused. The
// serial download looks at all four subnets, the Ethernet download at the two its image carries.
bool nodeAddressesSet(const Project& project, int subnets) {
    for (int s = 0; s < subnets; ++s) {
        const CONFIG& subnet = project.subnets[static_cast<std::size_t>(s)];
        for (int n = 0; n < usedCount(subnet.nodeCount, kMaxNodes); ++n) {
            const std::string& address = subnet.nodes[static_cast<std::size_t>(n)].address;
            if (address.empty() || address == "-1")
                return false;
        }
    }
    return true;
}

}  // namespace

bool openProjectToSend(Document& document, const std::string& path) {
    if (!document.openDocument(path))
        return false;
    if (!document.openedFileWasEmpty())
        return true;
    document.prompter().message(format(Str::DlFileHoldsNoProject, {path}));
    return false;
}

bool serialDownloadMayOpen(Project& project, const ProjectState& state, Prompter& prompter) {
    if (checkConfigurationComplete(project, state, prompter))
        return true;
    prompter.message(tr(Str::DlConfigurationIncomplete));
    return false;
}

Status serialDownloadPreconditions(const Project& project, const ProjectState& state) {
    if (profibusSizesMustMatch(state) && project.fieldbus.inputSize != project.fieldbus.outputSize)
        return makeError(ErrorKind::Refused, tr(Str::DlProfibusSizesDiffer));
    if (!nodeAddressesSet(project, kSubnetSlots))
        return makeError(ErrorKind::Refused, tr(Str::DlNodeAddressEmpty));
    return numbersFit(serial::downloadNumbers(project, state));
}

bool prepareSerialDownload(const Project& project, const ProjectState& state, Prompter& prompter,
                           MappingConflictState& conflicts) {
    if (auto ready = serialDownloadPreconditions(project, state); !ready) {
        prompter.message(ready.message());
        return false;
    }
    if (!freshConflictFound(project, state, prompter, conflicts))
        return true;
    return prompter.ask(tr(Str::DlMappingConflictQuestion), Buttons::YesNo) == Answer::Yes;
}

bool ethernetDownloadMayOpen(const Project& project, const ProjectState& state, Prompter& prompter,
                             MappingConflictState& conflicts) {
    if (!freshConflictFound(project, state, prompter, conflicts))
        return true;
    prompter.message(tr(Str::EthCommandConflict));
    return false;
}

namespace {
// Which command, where it ends, and the buffer it leaves.
std::string rangeDetail(int subnet, int command, const INSTRUCTION& record, bool read, std::int64_t last) {
    const BufferBounds buffer = bufferBounds(read);
    return format(Str::EthRangeDetail,
                  {std::to_string(subnet + 1), std::to_string(command + 1), record.mappingAddress, record.byteCount,
                   bufferAddressText(last), tr(read ? Str::BufferInput : Str::BufferOutput),
                   std::to_string(buffer.size()), bufferAddressText(buffer.first), bufferAddressText(buffer.last)});
}
}  // namespace

bool prepareEthernetDownload(Project& project, Prompter& prompter) {
    if (!nodeAddressesSet(project, kImageSubnets)) {
        prompter.message(tr(Str::DlNodeAddressEmpty));
        return false;
    }
    for (int s = 0; s < kImageSubnets; ++s) {
        CONFIG& subnet = project.subnets[static_cast<std::size_t>(s)];
        for (int c = 0; c < usedCount(subnet.commandCount, kMaxCommands); ++c) {
            INSTRUCTION& command = subnet.commands[static_cast<std::size_t>(c)];
            if (std::string bytes = ethernetDownloadCommandBytes(command); !bytes.empty())
                command.byteCount = std::move(bytes);
        }
    }
    for (int s = 0; s < kImageSubnets; ++s) {
        const CONFIG& subnet = project.subnets[static_cast<std::size_t>(s)];
        for (int c = 0; c < usedCount(subnet.commandCount, kMaxCommands); ++c) {
            const INSTRUCTION& command = subnet.commands[static_cast<std::size_t>(c)];
            const std::int64_t last = readHex(command.mappingAddress) + decimalValue(command.byteCount) - 1;
            const std::string& code = command.functionCode;
            const bool read = code == "1" || code == "2" || code == "3" || code == "4";
            const bool write = code == "5" || code == "6" || code == "15" || code == "16";
            if ((read && last > kInputBufferLast) || (write && last > kOutputBufferLast)) {
                prompter.messageWithDetail(tr(Str::EthRangeExceeded), rangeDetail(s, c, command, read, last));
                return false;
            }
        }
    }
    if (const Status fit = numbersFit(ethernet::imageNumbers(project)); !fit) {
        prompter.message(fit.message());
        return false;
    }
    return true;
}

}  // namespace veltrane
