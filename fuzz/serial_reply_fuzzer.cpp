// Feeds arbitrary bytes as gateway replies: to both reply checks under every context, and through
// a whole upload whose replies are cut from the input. Nothing may read or write out of bounds,
// a refused reply must leave the buffers as they were, and whatever an upload gathers must decode
// into records within their capacities.

#include "core/link/serial/reply_checks.h"
#include "core/link/serial/serial_upload.h"
#include "core/link/serial/upload_decode.h"
#include "core/model/project_defaults.h"

#include <cstdio>
#include <cstdlib>

using namespace veltrane;
using namespace veltrane::serial;

namespace {
#define check(condition) checkAt((condition), __LINE__)
void checkAt(bool condition, int line) {
    if (condition)
        return;
    std::fprintf(stderr, "serial_reply_fuzzer: check at line %d failed\n", line);
    std::abort();
}

void checkRecords(const Project& project) {
    for (const CONFIG& subnet : project.subnets) {
        check(subnet.nodeCount >= 0 && subnet.nodeCount <= kMaxNodes);
        check(subnet.commandCount >= 0 && subnet.commandCount <= kMaxCommands);
        for (int i = 0; i < subnet.commandCount; ++i) {
            const int node = subnet.commands[static_cast<std::size_t>(i)].nodeIndex;
            check(node >= 1 && node <= subnet.nodeCount);
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    // The first byte chooses the project, the rest are replies.
    const std::uint8_t choice = data[0];
    const ByteView replies(data + 1, size - 1);

    (void)checkDownloadReply(replies);
    for (int c = 0; c < 8; ++c) {
        const UploadContext context{(c & 1) != 0, (c & 2) != 0, (c & 4) != 0};
        UploadBuffers buffers;
        const UploadBuffers before = buffers;
        if (checkUploadReply(replies, context, buffers) == 0)
            check(buffers == before);
        for (int k = 0; k < kWireSubnets; ++k)
            check(buffers.commandCounts[static_cast<std::size_t>(k)] <= kMaxCommands);
    }
    (void)checkOptionReply(replies);
    if (auto bytes = checkConfigDataReply(replies))
        check(bytes->size() <= kConfigDataBytes);

    // A whole upload: each reply is the next frame-sized piece of the input (n from its second
    // byte), so the fuzzer can steer well-formed frames through the sequence.
    ProjectState state;
    state.DeviceType = choice % 8;
    state.flags.extendedFrameModel = (choice & 0x08) != 0;
    state.flags.hardwareSizedModel = (choice & 0x10) != 0;
    state.flags.commandStatusModel = (choice & 0x20) != 0;
    state.flags.configDataModel = (choice & 0x40) != 0;
    state.flags.dataFilterModel = (choice & 0x80) != 0;
    SerialUpload upload(state);
    std::size_t at = 0;
    int steps = 0;
    while (upload.current()) {
        check(++steps < 64); // 1 + 1 + 4 x (2 + 3) + 2 steps at most: a longer run is a loop
        const ByteView rest = replies.subspan(at);
        if (rest.empty()) {
            (void)upload.onTimeout();
            break;
        }
        const std::size_t length =
            rest.size() < 2 ? rest.size() : std::min<std::size_t>(rest.size(), 3u + rest[1]);
        (void)upload.onReply(rest.first(length));
        at += length;
    }
    Project project;
    applyProjectDefaults(project, state);
    ProjectState decoded = state;
    applyUpload(upload.buffers(), project, decoded);
    checkRecords(project);
    return 0;
}
