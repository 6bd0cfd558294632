// The transport contracts against the fakes, so the fakes that exchange tests rely on behave like
// the real port and sockets.

#include "support/byte_stream_contract.h"
#include "support/datagram_socket_contract.h"
#include "support/fake_byte_stream.h"
#include "support/fake_datagram_socket.h"

namespace veltrane::testing {
namespace {

struct FakeHarness {
    std::string setUp() { return {}; }
    ByteStream& stream() { return port; }
    Clock& clock() { return fakeClock; }
    void peerSendAfter(std::int64_t delayMs, const Bytes& bytes) { port.feedAt(fakeClock.nowMs() + delayMs, bytes); }
    Bytes peerReceive(std::size_t count) {
        Bytes all = port.written();
        Bytes out(all.begin() + static_cast<std::ptrdiff_t>(taken),
                  all.begin() + static_cast<std::ptrdiff_t>(std::min(all.size(), taken + count)));
        taken += out.size();
        return out;
    }

    FakeClock fakeClock;
    FakeByteStream port{fakeClock};
    std::size_t taken = 0;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, ByteStreamContract, ::testing::Types<FakeHarness>);

}  // namespace
}  // namespace veltrane::testing

namespace veltrane::testing {
namespace {

struct FakeDatagramHarness {
    std::string setUp() { return {}; }
    DatagramSocket& a() { return socketA; }
    DatagramSocket& b() { return socketB; }
    Clock& clock() { return fakeClock; }

    FakeClock fakeClock;
    FakeDatagramNetwork network{fakeClock};
    FakeDatagramSocket socketA{network};
    FakeDatagramSocket socketB{network};
};

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, DatagramSocketContract, ::testing::Types<FakeDatagramHarness>);

}  // namespace
}  // namespace veltrane::testing
