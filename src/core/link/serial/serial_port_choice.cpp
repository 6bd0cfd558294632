#include "core/link/serial/serial_port_choice.h"

#include "core/model/device_profile.h"

#include <algorithm>
#include <cctype>

namespace veltrane::serial {

namespace {
template <class List>
auto itemAt(const List& list, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < list.size() ? list[static_cast<std::size_t>(index)]
                                                                       : list[0];
}
} // namespace

void SerialPortChoice::rebuildList(std::vector<SerialPortEntry> ports, int deviceType) {
    SerialPortList = std::move(ports);
    BaudRateIndex = deviceProfile(deviceType).baudIndex;
}

void SerialPortChoice::refreshPorts(std::vector<SerialPortEntry> ports) { SerialPortList = std::move(ports); }

void SerialPortChoice::applyFirstBaudDefault(int deviceType) {
    if (!FirstBaudDefault)
        return;
    if (const DeviceProfile& profile = deviceProfile(deviceType); profile.firstBaudDefault)
        BaudRateIndex = profile.baudIndex;
    FirstBaudDefault = false;
}

SerialLineSettings SerialPortChoice::lineSettings() const {
    SerialLineSettings settings;
    settings.baudRate = itemAt(kBaudRates, BaudRateIndex);
    settings.parity = itemAt(kParities, ParityIndex);
    settings.dataBits = itemAt(kDataBits, DataBitsIndex);
    // Any index but 0 means two stop bits.
    settings.stopBits = StopBitsIndex == 0 ? 1 : 2;
    return settings;
}

std::optional<std::string> SerialPortChoice::deviceToOpen() {
    if (!SerialPortPath.empty())
        return SerialPortPath;
    if (SerialPortIndex < 0)
        SerialPortIndex = 0;
    if (static_cast<std::size_t>(SerialPortIndex) >= SerialPortList.size())
        return std::nullopt;
    return SerialPortList[static_cast<std::size_t>(SerialPortIndex)].device;
}

SerialLineSettings defaultLineSettings(int deviceType) {
    SerialPortChoice choice;
    choice.rebuildList({}, deviceType);
    return choice.lineSettings();
}

std::optional<Parity> parityFromName(std::string_view name) {
    static constexpr std::array<std::string_view, 5> names{"none", "odd", "even", "mark", "space"};
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (std::size_t i = 0; i < names.size(); ++i)
        if (lower == names[i])
            return kParities[i];
    return std::nullopt;
}

} // namespace veltrane::serial
