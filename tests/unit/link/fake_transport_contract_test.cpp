// The transport contract against the fake port, so the fake that every exchange test relies on
// behaves like the real line.

#include "support/byte_stream_contract.h"
#include "support/fake_byte_stream.h"

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
