// Feeds arbitrary bytes to the decoders of what a gateway sends back over UDP and TCP: the
// discovery reply and the write and read replies. Nothing may crash; an accepted discovery reply
// must survive its own encoding.

#include "core/link/ethernet/discovery_messages.h"
#include "core/link/ethernet/tcp_messages.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

using namespace veltrane::ethernet;

namespace {
#define check(condition) checkAt((condition), __LINE__)
void checkAt(bool condition, int line) {
    if (condition)
        return;
    std::fprintf(stderr, "ethernet_reply_fuzzer: check at line %d failed\n", line);
    std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);

    const auto reply = DiscoveryReply::decode(bytes);
    check(reply.ok() == (size >= kDiscoveryReplyMinimum && commandCodeOf(bytes) == command::Discovery));
    if (reply) {
        const auto again = DiscoveryReply::decode(reply->encode());
        check(again && *again == *reply);
        check(reply->macText().size() == 17);
    }

    const auto write = checkWriteReply(bytes);
    check(write.ok() == (commandCodeOf(bytes) == command::WriteConfiguration));
    const auto read = decodeReadReply(bytes);
    if (read)
        check(read->commandCode() == command::ReadConfiguration);
    (void)MessageHeader::decode(bytes);
    return 0;
}
