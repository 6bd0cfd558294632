#pragma once
// The byte codes of the choice texts carried by configuration frames, in one place for the frame
// builders and the upload decoder. Position in a list is the code.

#include "core/strings/strings.h"
#include "core/model/subnet_protocol.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane::serial::codes {

using Table = std::vector<std::string_view>;

// The stored protocol texts in the order of their codes on the wire.
inline const Table& protocols() {
    static const std::vector<std::string> stored{
        storedProtocolText(SubnetProtocol::ModbusMaster), storedProtocolText(SubnetProtocol::ModbusSlave),
        storedProtocolText(SubnetProtocol::Custom), storedProtocolText(SubnetProtocol::UserConfig)};
    static const Table t(stored.begin(), stored.end());
    return t;
}
// The Modbus side has no 4800.
inline const Table& subnetBauds() {
    static const Table t{"300", "600", "1200", "2400", "9600", "19200", "38400", "57600", "115200"};
    return t;
}
inline const Table& dataBits() {
    static const Table t{"8", "7"};
    return t;
}
inline const Table& parities() {
    static const Table t{tr(Str::ParityNone), tr(Str::ParityOdd), tr(Str::ParityEven), tr(Str::ParityMark),
                         tr(Str::ParitySpace)};
    return t;
}
inline const Table& stopBits() {
    static const Table t{"1", "2"};
    return t;
}
inline const Table& transmissionModes() {
    static const Table t{tr(Str::ModeRTU), tr(Str::ModeASCII)};
    return t;
}
// Codes 1 to 4: code 0 means nothing.
inline const Table& outputModes() {
    static const Table t{"", tr(Str::OutputCycle), tr(Str::OutputForbidden), tr(Str::OutputChangeOfValue),
                         tr(Str::OutputPulse)};
    return t;
}
inline const Table& deviceNetBauds() {
    static const Table t{tr(Str::BaudDeviceNet125K), tr(Str::BaudDeviceNet250K), tr(Str::BaudDeviceNet500K),
                         tr(Str::BaudAutoListeners)};
    return t;
}
inline const Table& deviceNetInputSizes() {
    static const Table t{"8", "16", "32", "64", "96", "128", "160"};
    return t;
}
inline const Table& deviceNetOutputSizes() {
    static const Table t{"8", "16", "32", "64", "96", "112"};
    return t;
}
inline const Table& profibusSizes() {
    static const Table t{"8", "16", "48", "112"};
    return t;
}

// The code of a text; 0 when the table has no such text.
inline std::uint8_t codeOf(const Table& table, std::string_view text) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (!table[i].empty() && table[i] == text)
            return static_cast<std::uint8_t>(i);
    return 0;
}

// The text of a code, when the table has one.
inline std::optional<std::string> textOf(const Table& table, std::uint8_t code) {
    if (code >= table.size() || table[code].empty())
        return std::nullopt;
    return std::string(table[code]);
}

} // namespace veltrane::serial::codes
