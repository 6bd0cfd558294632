#include "core/link/serial/serial_transfer.h"

#include "core/common/hex.h"
#include "core/strings/strings.h"

#include <algorithm>

namespace veltrane::serial {

namespace {
constexpr std::size_t kBytesNamed = 32;  // a reply named in a message; longer ones are cut

std::string receivedText(ByteView reply) {
    std::string text = hexBytesText(reply.first(std::min(reply.size(), kBytesNamed)), " ");
    if (reply.size() > kBytesNamed)
        text += " ...";
    return text;
}

bool checksumMismatch(ByteView reply) {
    if (reply.size() < 3 || reply.size() < std::size_t{reply[1]} + 3)
        return false;
    unsigned sum = 0;
    for (std::size_t i = 0; i < std::size_t{reply[1]} + 2; ++i)
        sum += reply[i];
    return static_cast<std::uint8_t>(sum) != reply[std::size_t{reply[1]} + 2];
}
}  // namespace

std::string refusedReplyDetail(ErrorKind kind, ByteView reply) {
    if (reply.empty())
        return {};
    if (kind == ErrorKind::NegativeReply && reply.size() >= 4)
        return format(Str::SerialReplyNegative, {hexBytesText(reply.first(1)), hexBytesText(reply.subspan(2, 2), " ")});
    if (kind != ErrorKind::MalformedReply)
        return {};
    return format(checksumMismatch(reply) ? Str::SerialReplyChecksum : Str::SerialReplyUnexpected,
                  {receivedText(reply)});
}

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
            Error error = outcome.error ? *outcome.error : makeError(ErrorKind::Refused, {});
            // A gateway that said no and a reply damaged on the line call for different remedies.
            if (reply && error.detail.empty())
                error.detail = refusedReplyDetail(error.kind, *reply);
            result.status = std::move(error);
            return result;
        }
    }
    return result;
}

} // namespace veltrane::serial
