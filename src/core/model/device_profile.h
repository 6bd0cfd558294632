#pragma once
// What sets the device types apart: one row per type, read wherever the tool talks to a gateway of
// that type or picks a default for it. A new kind of gateway is one new row. Types outside the
// table get a row of their own that sends, reads and shows nothing type-specific.

#include "core/model/project_state.h"

#include <cstdint>
#include <optional>

namespace veltrane {

// The string table's ids (core/strings/strings.h); declared here alone, as this header reaches Qt
// headers that moc reads, and moc cannot read the table.
enum class Str : std::uint16_t;

// How the debug monitor reaches a gateway.
enum class DebugTransport {
    None,     // the project's gateway offers no debug link: no columns, nothing received
    Ethernet, // UDP datagrams with the 8-byte message header
    Serial,   // raw bytes on the serial port, no header
};

// How a serial download configures the subnets and an upload reads them back.
enum class SubnetProcedure {
    None,
    Single,      // subnet 0: parameters, then the commands of a Modbus master
    FourSubnets, // subnets 0 to 3 in turn
};

// The fieldbus parameters a serial download writes and an upload reads back.
enum class FieldbusFrame {
    None,
    DeviceNet,
    ProfibusShort, // input and output size
    ProfibusLong,  // and the valid data length switch; its reply is read in the long form too
};

// The texts of the three step lines of a transfer.
struct StepCaptionIds {
    Str fieldbus;
    Str parameters;
    Str commands;
};

struct DeviceProfile {
    std::int32_t deviceType = -1; // -1: the row of every type outside the table
    SubnetProcedure subnets = SubnetProcedure::None;
    FieldbusFrame fieldbus = FieldbusFrame::None; // also which fieldbus values an upload decodes
    bool longSubnetFrame = false;                 // the 22-byte subnet block instead of the 13-byte one
    bool profibusSizesMatch = false;              // a download refuses differing input and output sizes
    bool dataFilter = false;                      // a command's last byte is a data filter, not a byte swap
    // The step lines of a single-subnet transfer, for the device code the gateway reports;
    // none: the lines stay empty. A four-subnet transfer names its subnet lines instead.
    std::optional<StepCaptionIds> downloadSteps{};
    std::optional<StepCaptionIds> uploadSteps{};
    // What an upload names the fieldbus; none: it is left as the defaults have it.
    std::optional<Str> uploadedFieldbusType{};
    int baudIndex = 6;             // the serial port choice's baud rate for the type
    bool firstBaudDefault = false; // whether the first-made dialog also sets it
    DebugTransport debugTransport = DebugTransport::None;
    int commandsPerPackage = 6; // command records in one upload package
    // A hardware-sized gateway reports this row's code over the serial link and is configured as a
    // gateway of the type given; only hardware-sized projects take that code there, and the
    // type's own projects read no subnet parameters from it.
    std::optional<std::int32_t> hardwareSizedAs{};
};

// The row of a device type; the unknown row for a type outside the table.
const DeviceProfile& deviceProfile(std::int32_t deviceType);
// The row of the device code a gateway reports in its device information reply (type + 1).
const DeviceProfile& deviceProfileForCode(int deviceCode);

// The rows combined with the model switches.

// The long subnet parameter frame (and reading it back in the long form).
bool usesLongSubnetFrame(const ProjectState& state);
// Reading the PROFIBUS parameters back in the long form; the download sends it only for the
// types whose row writes the long frame.
bool readsLongProfibusReply(const ProjectState& state);
// The fieldbus frame a download writes: none for hardware-sized projects, whose upload still reads
// the row's frame back.
FieldbusFrame fieldbusFrameWritten(const ProjectState& state);
// A download refuses differing PROFIBUS input and output sizes.
bool profibusSizesMustMatch(const ProjectState& state);
// Whether a command's last byte is read as a data filter.
bool usesDataFilter(const ProjectState& state);
// The device code a download goes on with: the type's own, or a hardware-sized gateway's for a
// hardware-sized project of any type.
bool downloadTakesDeviceCode(const ProjectState& state, int deviceCode);
// Whether an upload's device information reply with this code is well formed at all.
bool uploadTakesDeviceCode(int deviceCode, bool hardwareSizedModel);

} // namespace veltrane
