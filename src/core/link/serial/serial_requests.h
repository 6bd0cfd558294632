#pragma once
// The requests of the serial configuration protocol, built from the project. Subnets are numbered
// from 0 here as on the wire.

#include "core/link/command_record.h"
#include "core/link/serial/serial_frame.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace veltrane::serial {

namespace code {
inline constexpr std::uint8_t DeviceInfo = 0x01;
inline constexpr std::uint8_t WriteSubnet = 0x03;
inline constexpr std::uint8_t ReadSubnet = 0x04;
inline constexpr std::uint8_t AddCommand = 0x10;
inline constexpr std::uint8_t ClearCommands = 0x14;
inline constexpr std::uint8_t ReadCommandCount = 0x15;
inline constexpr std::uint8_t ReadCommandPackage = 0x16;
inline constexpr std::uint8_t WriteDeviceNet = 0x21;
inline constexpr std::uint8_t ReadDeviceNet = 0x22;
inline constexpr std::uint8_t WriteProfibus = 0x30;
inline constexpr std::uint8_t ReadProfibus = 0x31;
inline constexpr std::uint8_t WriteOption = 0x32;
inline constexpr std::uint8_t ReadOption = 0x33;
inline constexpr std::uint8_t WriteConfigData = 0x34;
inline constexpr std::uint8_t ReadConfigData = 0x35;
} // namespace code

inline constexpr std::size_t kShortBlock = 13;
inline constexpr std::size_t kLongBlock = 22;
inline constexpr std::size_t kConfigDataBytes = 8;
inline constexpr std::uint8_t kClearCommandsMagic1 = 0x55;
inline constexpr std::uint8_t kClearCommandsMagic2 = 0xAA;

using SubnetBlock = std::array<std::uint8_t, kLongBlock>; // a short block is its first 13 bytes

// code, 00, code.
Bytes requestWithoutData(std::uint8_t requestCode);
Bytes readSubnetRequest(int subnet);
Bytes readCommandCountRequest(int subnet);
Bytes readCommandPackageRequest(int subnet, int package);
Bytes clearCommandsRequest(int subnet);

// The numbers of a subnet's parameter block, at their offsets in it (the short form sends the
// first 13 bytes).
std::vector<CarriedNumber> subnetBlockNumbers(const Project& project, int subnet);
SubnetBlock subnetBlock(const Project& project, int subnet);
Bytes subnetParameterFrame(const Project& project, int subnet, bool longForm);
CommandRecord commandRecord(const INSTRUCTION& command);
CarriedNumber deviceNetAddressNumber(const FIELDBUS& fieldbus);
Bytes deviceNetFrame(const FIELDBUS& fieldbus);
Bytes profibusFrame(const Project& project, bool longForm);
Bytes optionFrame(std::uint8_t value);
Bytes configDataFrame(const FIELDBUS& fieldbus);

// The timeout count that the option byte carries when the input data are cleared.
CarriedNumber timeoutTimesNumber(const Project& project);
// The option byte a download sends, when the project sends one at this firmware version.
std::optional<std::uint8_t> optionValue(const Project& project, const ProjectState& state,
                                        int firmwareVersion);
// Whether the PROFIBUS configuration data are exchanged at this firmware version.
bool exchangesConfigData(const ProjectState& state, int firmwareVersion);

struct FixedFrames {
    Bytes deviceInfo;
    Bytes deviceNet;
    Bytes profibusShort;
    Bytes profibusLong;
    Bytes readDeviceNet;
    Bytes readProfibus;
    Bytes readOption;
    Bytes readConfigData;
};
FixedFrames buildFixedFrames(const Project& project);

struct SubnetFrames {
    Bytes parametersShort;
    Bytes parametersLong;
    Bytes clearCommands;
    Bytes readParameters;
    Bytes readCommandCount;
    int commandCount = 0; // used command slots, 0..48
};
SubnetFrames buildSubnetFrames(const Project& project, int subnet);

// The add-command frame of the command in slot position (0-based) of the subnet.
Bytes buildAddCommandFrame(const Project& project, int subnet, int position);

} // namespace veltrane::serial
