#pragma once
// Runs a download or upload sequence against the simulated gateway in-process, the way the I/O
// runner does on a line: a reply counts when all its chunks arrive within the step's time-out.

#include "core/link/serial/serial_sequence.h"
#include "sim/engine/serial/serial_gateway_engine.h"

#include <string>
#include <vector>

namespace veltrane::testing {

struct SequenceRun {
    std::vector<Bytes> requests;
    std::vector<std::string> notices;
    std::vector<int> linesDone;
    bool finished = false;
    bool closePort = false;
    std::optional<Error> error;
};

inline SequenceRun runSequence(serial::SerialSequence& sequence, sim::SerialGatewayEngine& gateway) {
    SequenceRun run;
    while (const serial::SerialStep* step = sequence.current()) {
        run.requests.push_back(step->request);
        const sim::SerialReply reply = gateway.handle(step->request);
        std::chrono::milliseconds elapsed{0};
        Bytes received;
        for (const auto& chunk : reply.chunks) {
            elapsed += chunk.delay;
            if (elapsed <= step->timeout)
                received.insert(received.end(), chunk.bytes.begin(), chunk.bytes.end());
        }
        const serial::StepOutcome outcome =
            received.empty() ? sequence.onTimeout() : sequence.onReply(received);
        if (outcome.notice)
            run.notices.push_back(outcome.notice->message);
        run.linesDone.insert(run.linesDone.end(), outcome.linesDone.begin(), outcome.linesDone.end());
        run.closePort = run.closePort || outcome.closePort;
        if (outcome.kind == serial::StepOutcome::Kind::Stopped)
            run.error = outcome.error;
        if (outcome.kind == serial::StepOutcome::Kind::Finished)
            run.finished = true;
    }
    return run;
}

} // namespace veltrane::testing
