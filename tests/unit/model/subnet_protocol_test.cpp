#include "core/model/subnet_protocol.h"

#include <gtest/gtest.h>

using namespace veltrane;

TEST(SubnetProtocol, StoredTextsRoundTripAndAnythingElseIsOther) {
    for (SubnetProtocol p : {SubnetProtocol::ModbusMaster, SubnetProtocol::ModbusSlave, SubnetProtocol::UserConfig,
                             SubnetProtocol::Custom})
        EXPECT_EQ(subnetProtocolOf(storedProtocolText(p)), p);
    EXPECT_EQ(storedProtocolText(SubnetProtocol::ModbusMaster), "Modbus Master");
    // Stored texts compare exactly, as files hold them.
    for (const char* text : {"", "modbus master", "Modbus Master ", "Custom"})
        EXPECT_EQ(subnetProtocolOf(text), SubnetProtocol::Other) << text;
    EXPECT_EQ(storedProtocolText(SubnetProtocol::Other), "");
}
