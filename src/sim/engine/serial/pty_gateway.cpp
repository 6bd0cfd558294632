#include "sim/engine/serial/pty_gateway.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace veltrane::sim {

namespace {
using Steady = std::chrono::steady_clock;

// A partial frame after this much silence is garbage (a garbled length byte, a client that gave
// up): dropping it lets the next request through.
constexpr auto kStalePartial = std::chrono::milliseconds(300);

bool makeRaw(int fd) {
    termios raw{};
    if (::tcgetattr(fd, &raw) != 0)
        return false;
    ::cfmakeraw(&raw);
    return ::tcsetattr(fd, TCSANOW, &raw) == 0;
}
} // namespace

PtyGateway::PtyGateway(SerialGatewayEngine& engine, int baudRate) : m_engine(engine), m_baudRate(baudRate) {}

PtyGateway::~PtyGateway() {
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

Status PtyGateway::open() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return makeError(ErrorKind::Io, std::string("no pseudo-terminal: ") + std::strerror(errno));
    const char* name = ::ptsname(m_master);
    if (name == nullptr)
        return makeError(ErrorKind::Io, "ptsname failed");
    m_slavePath = name;
    m_slave = ::open(name, O_RDWR | O_NOCTTY);
    // The line discipline is shared by both ends: raw, so nothing is echoed or translated.
    if (m_slave < 0 || !makeRaw(m_master) || !makeRaw(m_slave))
        return makeError(ErrorKind::Io, std::string("cannot set up ") + m_slavePath + ": " + std::strerror(errno));
    return {};
}

std::int64_t PtyGateway::byteTimeUs() const {
    return m_baudRate > 0 ? 10'000'000 / m_baudRate : 0;
}

void PtyGateway::writePaced(const Bytes& bytes) {
    const std::int64_t perByte = byteTimeUs();
    const auto start = Steady::now();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (perByte > 0)
            std::this_thread::sleep_until(start + std::chrono::microseconds(perByte * static_cast<std::int64_t>(i + 1)));
        if (::write(m_master, &bytes[i], 1) == 1)
            ++m_sent;
    }
}

void PtyGateway::serve(const std::atomic<bool>& stop, const std::function<void()>& afterRequest) {
    Steady::time_point firstPending{};
    Steady::time_point lastByte{};
    while (!stop.load()) {
        pollfd p{m_master, POLLIN, 0};
        const int ready = ::poll(&p, 1, 5);
        if (ready <= 0 || !(p.revents & POLLIN)) {
            const auto silence = kStalePartial + std::chrono::microseconds(20 * byteTimeUs());
            if (m_assembler.pending() > 0 && Steady::now() - lastByte > silence)
                m_assembler.clear();
            continue;
        }
        std::uint8_t buffer[512];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            continue;
        if (m_assembler.pending() == 0)
            firstPending = Steady::now();
        lastByte = Steady::now();
        m_received += static_cast<std::uint64_t>(n);
        m_assembler.feed(ByteView(buffer, static_cast<std::size_t>(n)));
        while (auto frame = m_assembler.next()) {
            // The PC's write lands at once on a pseudo-terminal; a gateway on a cable would have
            // the last byte only after the whole frame crossed the line.
            const auto arrived = firstPending + std::chrono::microseconds(byteTimeUs() *
                                                                          static_cast<std::int64_t>(frame->size()));
            std::this_thread::sleep_until(arrived);
            const SerialReply reply = m_engine.handle(*frame);
            for (const ReplyChunk& chunk : reply.chunks) {
                std::this_thread::sleep_for(chunk.delay);
                writePaced(chunk.bytes);
            }
            if (afterRequest)
                afterRequest();
            firstPending = Steady::now();
        }
    }
}

} // namespace veltrane::sim
