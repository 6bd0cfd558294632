#pragma once
// The line settings a serial port is opened with.

#include <cstdint>

namespace veltrane {

enum class Parity : std::uint8_t { None, Odd, Even, Mark, Space };

struct SerialLineSettings {
    int baudRate = 19200;
    Parity parity = Parity::None;
    int dataBits = 8;  // 5 to 8
    int stopBits = 1;  // 1 or 2

    friend bool operator==(const SerialLineSettings&, const SerialLineSettings&) = default;
};

}  // namespace veltrane
