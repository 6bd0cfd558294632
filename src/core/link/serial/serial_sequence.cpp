#include "core/link/serial/serial_sequence.h"

#include "core/strings/strings.h"

#include <algorithm>
#include <string>

namespace veltrane::serial {

const SerialStep* SerialSequence::current() const {
    if (m_stopped || m_next >= m_plan.size())
        return nullptr;
    return &m_plan[m_next].step;
}

StepOutcome SerialSequence::onReply(ByteView reply) {
    if (!current())
        return stopWith(ErrorKind::Refused, {});
    m_insertAt = m_next + 1;
    // Copy: the check may add steps and so move the plan.
    const auto check = m_plan[m_next].check;
    const auto lines = m_plan[m_next].linesDone;
    const std::size_t capacity = m_plan[m_next].step.replyCapacity;
    StepOutcome outcome = check(reply.first(std::min(reply.size(), capacity)));
    if (outcome.kind == StepOutcome::Kind::Continue)
        outcome.linesDone.insert(outcome.linesDone.end(), lines.begin(), lines.end());
    return finish(std::move(outcome));
}

StepOutcome SerialSequence::onTimeout() {
    if (!current())
        return stopWith(ErrorKind::Refused, {});
    StepOutcome outcome;
    outcome.kind = StepOutcome::Kind::Stopped;
    outcome.error = m_plan[m_next].timeout;
    return finish(std::move(outcome));
}

void SerialSequence::addNext(Planned planned) {
    m_plan.insert(m_plan.begin() + static_cast<std::ptrdiff_t>(m_insertAt), std::move(planned));
    ++m_insertAt;
}

StepOutcome SerialSequence::finish(StepOutcome outcome) {
    if (outcome.kind == StepOutcome::Kind::Stopped) {
        m_stopped = true;
        return outcome;
    }
    ++m_next;
    if (m_next >= m_plan.size() && outcome.kind == StepOutcome::Kind::Continue)
        outcome.kind = StepOutcome::Kind::Finished;
    return outcome;
}

StepOutcome stopWith(ErrorKind kind, std::string message) {
    StepOutcome outcome;
    outcome.kind = StepOutcome::Kind::Stopped;
    outcome.error = makeError(kind, std::move(message));
    return outcome;
}

StepOutcome deviceMismatch() {
    StepOutcome outcome = stopWith(ErrorKind::DeviceMismatch, tr(Str::SerialDeviceTypeMismatch));
    outcome.closePort = true;
    return outcome;
}

ErrorKind kindOfRefusal(std::uint8_t acceptedCode) {
    return (acceptedCode & kNegativeBit) != 0 ? ErrorKind::NegativeReply : ErrorKind::MalformedReply;
}

int firmwareVersionOf(ByteView reply) {
    return reply.size() >= 5 ? 10 * reply[3] + reply[4] : 0;
}

StepCaptions stepCaptions(SubnetProcedure subnets, const std::optional<StepCaptionIds>& steps,
                          Str subnetCaption) {
    StepCaptions captions;
    if (subnets == SubnetProcedure::FourSubnets) {
        captions.fourSubnets = true;
        for (int k = 0; k < kSubnetLines; ++k)
            captions.subnets[static_cast<std::size_t>(k)] = format(subnetCaption, {std::to_string(k + 1)});
    } else if (steps) {
        captions.steps = {tr(steps->fieldbus), tr(steps->parameters), tr(steps->commands)};
    }
    return captions;
}

} // namespace veltrane::serial
