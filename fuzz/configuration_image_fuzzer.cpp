// Feeds arbitrary bytes, as a gateway's upload reply, to the configuration image decoder. Whatever
// arrives must decode into records that keep their invariants, and the decoded project must be a
// fixed point: building its image and decoding that again changes nothing.

#include "core/link/ethernet/configuration_image.h"
#include "core/link/ethernet/tcp_messages.h"
#include "core/model/project_defaults.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

using namespace veltrane;
using namespace veltrane::ethernet;

namespace {
#define check(condition) checkAt((condition), __LINE__)
void checkAt(bool condition, int line) {
    if (condition)
        return;
    std::fprintf(stderr, "configuration_image_fuzzer: check at line %d failed\n", line);
    std::abort();
}

void checkInvariants(const Project& project) {
    for (std::size_t k = 0; k < 2; ++k) {
        const CONFIG& subnet = project.subnets[k];
        check(subnet.commandCount >= 0 && subnet.commandCount <= kMaxCommands);
        check(subnet.nodeCount >= 0 && subnet.nodeCount <= subnet.commandCount);
        for (std::int32_t i = 0; i < subnet.commandCount; ++i) {
            const INSTRUCTION& c = subnet.commands[static_cast<std::size_t>(i)];
            check(c.nodeIndex >= 1 && c.nodeIndex <= subnet.nodeCount);
            check(subnet.nodes[static_cast<std::size_t>(c.nodeIndex - 1)].address == c.slaveAddress);
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> received(data, size);
    Project project;
    ProjectState state;
    initializeNewProject(project, state);
    state.flags.singleSubnetModel = size > 0 && (data[size - 1] & 1) != 0;

    const auto reply = decodeReadReply(received);
    // The decoder itself takes any image, also one that the reply check would refuse.
    const ConfigurationImage image = reply ? *reply : ConfigurationImage::fromReceived(received);
    decodeConfigurationImage(image, project, state);
    checkInvariants(project);
    check(state.DeviceType == 4);

    const ConfigurationImage built = buildConfigurationImage(project, state);
    Project again = project;
    ProjectState stateAgain = state;
    decodeConfigurationImage(built, again, stateAgain);
    check(again == project);
    check(buildConfigurationImage(again, stateAgain) == built);
    return 0;
}
