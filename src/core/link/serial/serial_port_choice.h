#pragma once
// The PC's serial port and line settings chosen for gateway transfers. Lives for the run of the
// application (or of one CLI command) and is never stored in a project.

#include "core/link/serial_line_settings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane::serial {

struct SerialPortEntry {
    std::string device; // what is opened: a stable /dev/serial/by-id path where there is one
    std::string label;  // what the list shows
};

inline constexpr std::array<int, 8> kBaudRates{300, 600, 1200, 2400, 4800, 9600, 19200, 115200};
inline constexpr std::array<Parity, 5> kParities{Parity::None, Parity::Odd, Parity::Even, Parity::Mark,
                                                 Parity::Space};
inline constexpr std::array<int, 4> kDataBits{8, 7, 6, 5};
inline constexpr std::array<int, 2> kStopBits{1, 2};

struct SerialPortChoice {
    std::vector<SerialPortEntry> SerialPortList;
    int SerialPortIndex = 0; // -1: the dialog was closed with no port selected
    int BaudRateIndex = 6;
    int ParityIndex = 0;
    int DataBitsIndex = 0;
    int StopBitsIndex = 0;
    bool SerialPortConfigured = false;
    bool FirstBaudDefault = true;
    // A device typed by the user (pseudo-terminals are not listed); empty: the list entry is used.
    std::string SerialPortPath;

    // For every new or opened project: the ports found, and the usual baud rate of the device type.
    void rebuildList(std::vector<SerialPortEntry> ports, int deviceType);
    // The ports found now (a USB adapter plugged in since); every chosen setting stays.
    void refreshPorts(std::vector<SerialPortEntry> ports);
    // The one-time baud default when the dialog is first made.
    void applyFirstBaudDefault(int deviceType);
    // The settings at the stored indices; an index out of its list takes the list's first item.
    SerialLineSettings lineSettings() const;
    // The device to open: the typed path, else the list entry at SerialPortIndex (a negative index
    // becomes 0). None when neither exists.
    std::optional<std::string> deviceToOpen();
};

// The line settings a CLI transfer uses unless told otherwise: as a fresh choice for the type.
SerialLineSettings defaultLineSettings(int deviceType);

// "none", "odd", "even", "mark", "space" (any case).
std::optional<Parity> parityFromName(std::string_view name);

} // namespace veltrane::serial
