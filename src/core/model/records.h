#pragma once
// The project records. Field names keep the spelling of the stored format; every parameter is a
// text exactly as the grid shows it, apart from the two counts and a command's node index.

#include <array>
#include <cstdint>
#include <string>

namespace veltrane {

inline constexpr int kSubnetSlots = 4;   // records held in memory
inline constexpr int kMaxNodes = 48;     // per subnet
inline constexpr int kMaxCommands = 48;  // per subnet, shared by all its nodes
inline constexpr int kMinSlaveAddress = 0;    // Modbus slave addresses a node may have
inline constexpr int kMaxSlaveAddress = 247;

struct FIELDBUS {
    std::string fieldbusType;
    std::string deviceNetAddress;
    std::string deviceNetBaudRate;
    std::string inputSize;
    std::string outputSize;
    std::string configMode;
    std::string configData;
    std::string ipAssignMode;
    std::string ipAddress;
    std::string subnetMask;
    std::string defaultGateway;
    std::string dns1;
    std::string dns2;

    bool operator==(const FIELDBUS&) const = default;
};

struct NodeEntry {
    std::string address;
    std::string name;

    bool operator==(const NodeEntry&) const = default;
};

struct INSTRUCTION {
    std::string slaveAddress;
    std::string functionCode;
    std::string startAddress;
    std::string dataCount;
    std::string mappingAddress;
    std::string mappingBit;
    std::string byteCount;
    std::string filterOrSwap;
    std::string checkType;
    std::string scanType;
    std::int32_t nodeIndex = 0;  // 1-based slot of the owning node; 0 in free slots

    bool operator==(const INSTRUCTION&) const = default;
};

struct CONFIG {
    std::string doubleFaultClear;
    std::string protocolType;
    // Modbus Master
    std::string baudRate;
    std::string dataBits;
    std::string parity;
    std::string stopBits;
    std::string transmissionMode;
    std::string responseTimeout;
    std::string pollDelay;
    std::string outputMode;
    std::string outputPulse;
    std::string scanRate;
    std::string commandStatus;
    std::string timeoutAction;
    std::string timeoutTimes;
    // Modbus Slave
    std::string slaveBaudRate;
    std::string slaveDataBits;
    std::string slaveParity;
    std::string slaveStopBits;
    std::string slaveModeAddress;
    std::string slaveTransmissionMode;
    // Custom protocol
    std::string customBaudRate;
    std::string customDataBits;
    std::string customParity;
    std::string customStopBits;
    // User Config
    std::string userBaudRate;
    std::string userDataBits;
    std::string userParity;
    std::string userStopBits;
    std::string frameType;
    std::string charInterval;
    std::string frameLength;
    std::string autoSend;
    std::string autoSendPeriod;
    std::string crcCheck;
    std::string commInterface;
    std::string debugInterface;
    std::string validDataLength;
    std::string startDelimiter;
    std::string endDelimiter;

    std::int32_t nodeCount = 0;
    std::int32_t commandCount = 0;
    std::array<NodeEntry, kMaxNodes> nodes{};
    std::array<INSTRUCTION, kMaxCommands> commands{};

    bool operator==(const CONFIG&) const = default;
};

// The records one gateway's project consists of. Subnets are indexed 0..3 here; the user sees 1..4.
struct Project {
    FIELDBUS fieldbus;
    std::array<CONFIG, kSubnetSlots> subnets{};

    bool operator==(const Project&) const = default;
};

}  // namespace veltrane
