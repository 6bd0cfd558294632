#include "core/debug/send_validation.h"

#include "core/strings/strings.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

struct SendCase {
    const char* address;
    std::string data;
    Str message;  // Str::Count_: accepted
};

TEST(SendValidation, EveryCheckInItsOrder) {
    const SendCase cases[] = {
        {"", "zz", Str::DebugPleaseComplete},
        {"4000", "", Str::DebugPleaseComplete},
        // Illegal characters come before the format checks, in either box.
        {"4g00", "0011", Str::DebugIllegalCharacters},
        {"400", "00 0x", Str::DebugIllegalCharacters},
        {"4000", "00,01", Str::DebugIllegalCharacters},
        {"4000", "0011", Str::DebugFormatIncorrect},
        // The data's separators are checked before the address.
        {"3fff", "0011", Str::DebugFormatIncorrect},
        {"400", "00 01", Str::DebugFormatIncorrect},
        {"40000", "00", Str::DebugFormatIncorrect},
        {"3fff", "00", Str::DebugAddressOutOfRange},
        {"41ec", "00", Str::DebugAddressOutOfRange},
        {"4 00", "00", Str::DebugAddressOutOfRange},
        {"41EB", "ff 00", Str::DebugAddressOutOfRange},
        {"4000", "f", Str::DebugFormatIncorrect},
        {"4000", " ", Str::DebugFormatIncorrect},
    };
    for (const SendCase& c : cases) {
        const auto result = validateSend(c.address, c.data);
        ASSERT_FALSE(result.ok()) << c.address << " / " << c.data;
        EXPECT_EQ(result.message(), tr(c.message)) << c.address << " / " << c.data;
        EXPECT_EQ(result.kind(), ErrorKind::Format);
    }
}

TEST(SendValidation, AcceptedTextsAndTheirBytes) {
    const std::tuple<const char*, const char*, WritePayload> cases[] = {
        {"4000", "00 01 02 03", {0x4000, {0x00, 0x01, 0x02, 0x03}}},
        {"41EB", "FF", {0x41EB, {0xFF}}},
        {"41eb", "ff", {0x41EB, {0xFF}}},
        {"4000", "00 1", {0x4000, {0x00}}},       // a lone last digit is dropped
        {"4001", " 1 2 ", {0x4001, {0x01, 0x20}}},  // a blank inside a pair is a 0 digit
        {"4001", "1   2", {0x4001, {0x10, 0x02}}},
        {"41ea", "aB Cd", {0x41EA, {0xAB, 0xCD}}},
    };
    for (const auto& [address, data, expected] : cases) {
        const auto result = validateSend(address, data);
        ASSERT_TRUE(result.ok()) << address << " / " << data << ": " << result.message();
        EXPECT_EQ(*result, expected) << address << " / " << data;
    }
}

TEST(SendValidation, WholeBufferFitsOverEthernetButNotInOneSerialWrite) {
    std::string all;
    for (int i = 0; i < 492; ++i)
        all += i ? " 5a" : "5a";
    const auto ethernet = validateSend("4000", all, DebugTransport::Ethernet);
    ASSERT_TRUE(ethernet.ok());
    EXPECT_EQ(ethernet->data.size(), 492u);
    EXPECT_EQ(validateSend("4000", all + " 00").message(), tr(Str::DebugAddressOutOfRange));
    EXPECT_EQ(validateSend("4000", all, DebugTransport::Serial).message(), tr(Str::DebugFormatIncorrect));

    std::string most = all.substr(0, 255 * 3 - 1);
    EXPECT_TRUE(validateSend("4000", most, DebugTransport::Serial).ok());
}

}  // namespace
