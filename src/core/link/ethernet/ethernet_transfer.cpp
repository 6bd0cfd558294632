#include "core/link/ethernet/ethernet_transfer.h"

#include "core/link/ethernet/discovery_messages.h"
#include "core/link/ethernet/tcp_messages.h"
#include "core/mapping/buffer_layout.h"
#include "core/mapping/byte_count_rules.h"
#include "core/mapping/conflict_check.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

#include <cstdlib>

namespace veltrane::ethernet {

namespace {

Error fail(Str message) { return makeError(ErrorKind::Io, tr(message)); }
Error silent(ErrorKind kind) { return makeError(kind, std::string()); }

// Subnets 1 and 2 are always both sent, whatever SubnetCount says.
constexpr int kImageSubnets = 2;

int usedCount(std::int32_t count, int capacity) { return count < 0 ? 0 : (count > capacity ? capacity : count); }

std::int64_t readHex(const std::string& text) { return std::strtoll(text.c_str(), nullptr, 16); }

Status connect(StreamSocket& socket, const GatewayEndpoint& gateway) {
    if (!socket.connectTo(gateway.address, gateway.port, kConnectWaitMs)) {
        socket.close();
        return fail(Str::EthConnectFailed);
    }
    if (!socket.setDoNotRoute(true)) {
        socket.close();
        return silent(ErrorKind::Io);
    }
    return {};
}

}  // namespace

bool entryAllowed(EthernetOperation operation, const GatewaySelection& selection, const ProjectState& state,
                  Prompter& prompter) {
    if (operation == EthernetOperation::Download && !selection.RemoteConfigAllowed) {
        prompter.message(tr(Str::EthRemoteDisabled));
        return false;
    }
    const bool single = state.flags.singleSubnetModel;
    if ((selection.GatewayModelCode == model::SingleSubnet && !single) ||
        (selection.GatewayModelCode == model::TwoSubnets && single)) {
        prompter.message(tr(Str::EthModelMismatch));
        return false;
    }
    return true;
}

bool downloadMayOpen(const Project& project, const ProjectState& state, Prompter& prompter,
                     MappingConflictState& conflictState) {
    conflictState.MappingConflictFound = false;
    (void)checkMappingConflicts(project, state, prompter, conflictState);
    if (conflictState.MappingConflictFound) {
        prompter.message(tr(Str::EthCommandConflict));
        return false;
    }
    return true;
}

bool prepareDownload(Project& project, Prompter& prompter) {
    for (int s = 0; s < kImageSubnets; ++s) {
        const CONFIG& subnet = project.subnets[static_cast<std::size_t>(s)];
        for (int n = 0; n < usedCount(subnet.nodeCount, kMaxNodes); ++n) {
            const std::string& address = subnet.nodes[static_cast<std::size_t>(n)].address;
            if (address.empty() || address == "-1") {
                prompter.message(tr(Str::DlNodeAddressEmpty));
                return false;
            }
        }
    }
    for (int s = 0; s < kImageSubnets; ++s) {
        CONFIG& subnet = project.subnets[static_cast<std::size_t>(s)];
        for (int c = 0; c < usedCount(subnet.commandCount, kMaxCommands); ++c) {
            INSTRUCTION& command = subnet.commands[static_cast<std::size_t>(c)];
            const std::int64_t n = decimalValue(command.dataCount);
            const std::string& code = command.functionCode;
            if (code == "1" || code == "2" || code == "15")
                command.byteCount = std::to_string(ethernetDownloadByteCount(n));
            else if (code == "3" || code == "4" || code == "16")
                command.byteCount = std::to_string(2 * n);
            else if (code == "5")
                command.byteCount = "1";
            else if (code == "6")
                command.byteCount = "2";
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
                prompter.message(tr(Str::EthRangeExceeded));
                return false;
            }
        }
    }
    return true;
}

Status downloadImage(StreamSocket& socket, const GatewayEndpoint& gateway, const ConfigurationImage& image) {
    if (auto connected = connect(socket, gateway); !connected)
        return connected;
    const auto bytes = image.bytes();
    if (!socket.write(Bytes(bytes.begin(), bytes.end()), kSocketTimeoutMs)) {
        socket.close();
        return fail(Str::EthWriteConfigFailed);
    }
    auto reply = socket.receive(kWriteReplyBuffer, kSocketTimeoutMs);
    if (!reply) {
        socket.close();
        return fail(Str::EthWriteConfigFailed);
    }
    if (!checkWriteReply(*reply)) {
        socket.close();
        return makeError(ErrorKind::NegativeReply, tr(Str::EthWriteFailed));
    }
    return {};
}

Status sendRestart(StreamSocket& socket) {
    const auto request = RestartRequest{}.encode();
    Status sent = socket.write(Bytes(request.begin(), request.end()), kSocketTimeoutMs);
    socket.close();
    if (!sent)
        return silent(ErrorKind::Io);
    return {};
}

Result<ConfigurationImage> uploadImage(StreamSocket& socket, const GatewayEndpoint& gateway, Clock& clock) {
    if (auto connected = connect(socket, gateway); !connected)
        return connected.error();
    const auto request = ReadRequest{}.encode();
    if (!socket.write(Bytes(request.begin(), request.end()), kSocketTimeoutMs)) {
        socket.close();
        return silent(ErrorKind::Io);
    }
    auto first = socket.receive(kReadReplyBuffer, kSocketTimeoutMs);
    if (!first) {
        socket.close();
        return makeError(first.kind(), tr(Str::EthReadConfigFailed));
    }
    Bytes reply = std::move(*first);
    if (reply.size() < kImageSize) {
        // The rest of a reply cut in two; whatever has not come by then reads as zero.
        clock.sleepMs(kSecondPartWaitMs);
        if (auto rest = socket.receive(kReadReplyBuffer - reply.size(), kSocketTimeoutMs))
            reply.insert(reply.end(), rest->begin(), rest->end());
    }
    socket.close();
    auto image = decodeReadReply(reply);
    if (!image)
        return makeError(image.kind(), tr(Str::EthReadFailed));
    return image;
}

void adoptUploadedImage(const ConfigurationImage& image, Project& project, ProjectState& state) {
    Project decoded = project;
    ProjectState decodedState = state;
    decodeConfigurationImage(image, decoded, decodedState);
    project = std::move(decoded);
    state = decodedState;
}

}  // namespace veltrane::ethernet
