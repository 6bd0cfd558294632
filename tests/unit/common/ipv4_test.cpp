#include "core/common/ipv4.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

// Sockets report addresses as host-order numbers and the gateway messages carry octets; both must
// name the same address.
TEST(Ipv4, NumberAndOctetsAgree) {
    const std::pair<std::uint32_t, Ipv4Octets> cases[] = {
        {0x7F000001, {127, 0, 0, 1}},
        {0xC0A8006E, {192, 168, 0, 110}},
        {0, {0, 0, 0, 0}},
        {0xFFFFFFFF, {255, 255, 255, 255}},
    };
    for (const auto& [number, octets] : cases) {
        EXPECT_EQ(ipv4Number(octets), number);
        EXPECT_EQ(ipv4Octets(number), octets);
    }
    EXPECT_EQ(ipv4Number(*parseIpv4("127.0.0.2")), 0x7F000002u);
}

}  // namespace
