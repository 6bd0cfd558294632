#include "core/link/serial/serial_transfer.h"

#include "core/strings/strings.h"

namespace veltrane::serial {

ExchangeRule exchangeRuleFor(const SerialStep& step) {
    ExchangeRule rule;
    switch (step.rule) {
    case SettleRule::A:
    case SettleRule::B:
    case SettleRule::C: rule = ExchangeRule::standard(); break;
    case SettleRule::D: rule = ExchangeRule::contentDecides(); break;
    }
    rule.firstByteTimeoutMs = step.timeout.count();
    return rule;
}

SerialTransferResult runSerialTransfer(SerialSequence& sequence, ByteStream& port, Clock& clock,
                                       SerialTransferObserver& observer, const std::function<bool()>& cancelled) {
    SerialTransferResult result;
    FrameExchange exchange(port, clock, port.baudRate());
    bool captionsShown = false;
    while (const SerialStep* step = sequence.current()) {
        if (cancelled && cancelled()) {
            result.status = makeError(ErrorKind::Cancelled, tr(Str::TransferCancelled));
            return result;
        }
        const ExchangeRule rule = exchangeRuleFor(*step);
        auto reply = exchange.exchange(step->request, rule);
        ++result.exchanges;
        result.bytesOut += step->request.size();
        StepOutcome outcome;
        if (reply) {
            result.bytesIn += reply->size();
            // Rule D takes silence as an empty reply: the content check then refuses it.
            outcome = sequence.onReply(*reply);
        } else if (reply.kind() == ErrorKind::Timeout) {
            outcome = sequence.onTimeout();
        } else {
            result.status = reply.error(); // the port itself failed
            return result;
        }
        if (!captionsShown && sequence.deviceCode() != 0 && outcome.kind != StepOutcome::Kind::Stopped) {
            captionsShown = true;
            observer.deviceReported(sequence.deviceCode());
        }
        if (outcome.notice)
            observer.notice(*outcome.notice);
        if (!outcome.linesDone.empty())
            observer.linesDone(outcome.linesDone);
        if (outcome.kind == StepOutcome::Kind::Stopped) {
            result.closePort = outcome.closePort;
            result.status = outcome.error ? *outcome.error : makeError(ErrorKind::Refused, {});
            return result;
        }
    }
    return result;
}

} // namespace veltrane::serial
