#pragma once
// The text fields of each record by name, in the order of the records: what printing, the JSON
// report and the file codec (where its order is the same) walk instead of listing fields again.

#include "core/model/records.h"

#include <array>
#include <string_view>

namespace veltrane {

template <typename Record>
struct TextField {
    std::string_view name;
    std::string Record::*member;
};

#define VELTRANE_FIELD(Record, field) TextField<Record>{#field, &Record::field}

inline constexpr std::array kFieldbusFields{
    VELTRANE_FIELD(FIELDBUS, fieldbusType),   VELTRANE_FIELD(FIELDBUS, deviceNetAddress),
    VELTRANE_FIELD(FIELDBUS, deviceNetBaudRate), VELTRANE_FIELD(FIELDBUS, inputSize),
    VELTRANE_FIELD(FIELDBUS, outputSize),     VELTRANE_FIELD(FIELDBUS, configMode),
    VELTRANE_FIELD(FIELDBUS, configData),     VELTRANE_FIELD(FIELDBUS, ipAssignMode),
    VELTRANE_FIELD(FIELDBUS, ipAddress),      VELTRANE_FIELD(FIELDBUS, subnetMask),
    VELTRANE_FIELD(FIELDBUS, defaultGateway), VELTRANE_FIELD(FIELDBUS, dns1),
    VELTRANE_FIELD(FIELDBUS, dns2),
};

inline constexpr std::array kConfigFields{
    VELTRANE_FIELD(CONFIG, doubleFaultClear),  VELTRANE_FIELD(CONFIG, protocolType),
    VELTRANE_FIELD(CONFIG, baudRate),          VELTRANE_FIELD(CONFIG, dataBits),
    VELTRANE_FIELD(CONFIG, parity),            VELTRANE_FIELD(CONFIG, stopBits),
    VELTRANE_FIELD(CONFIG, transmissionMode),  VELTRANE_FIELD(CONFIG, responseTimeout),
    VELTRANE_FIELD(CONFIG, pollDelay),         VELTRANE_FIELD(CONFIG, outputMode),
    VELTRANE_FIELD(CONFIG, outputPulse),       VELTRANE_FIELD(CONFIG, scanRate),
    VELTRANE_FIELD(CONFIG, commandStatus),     VELTRANE_FIELD(CONFIG, timeoutAction),
    VELTRANE_FIELD(CONFIG, timeoutTimes),      VELTRANE_FIELD(CONFIG, slaveBaudRate),
    VELTRANE_FIELD(CONFIG, slaveDataBits),     VELTRANE_FIELD(CONFIG, slaveParity),
    VELTRANE_FIELD(CONFIG, slaveStopBits),     VELTRANE_FIELD(CONFIG, slaveModeAddress),
    VELTRANE_FIELD(CONFIG, slaveTransmissionMode), VELTRANE_FIELD(CONFIG, customBaudRate),
    VELTRANE_FIELD(CONFIG, customDataBits),    VELTRANE_FIELD(CONFIG, customParity),
    VELTRANE_FIELD(CONFIG, customStopBits),    VELTRANE_FIELD(CONFIG, userBaudRate),
    VELTRANE_FIELD(CONFIG, userDataBits),      VELTRANE_FIELD(CONFIG, userParity),
    VELTRANE_FIELD(CONFIG, userStopBits),      VELTRANE_FIELD(CONFIG, frameType),
    VELTRANE_FIELD(CONFIG, charInterval),      VELTRANE_FIELD(CONFIG, frameLength),
    VELTRANE_FIELD(CONFIG, autoSend),          VELTRANE_FIELD(CONFIG, autoSendPeriod),
    VELTRANE_FIELD(CONFIG, crcCheck),          VELTRANE_FIELD(CONFIG, commInterface),
    VELTRANE_FIELD(CONFIG, debugInterface),    VELTRANE_FIELD(CONFIG, validDataLength),
    VELTRANE_FIELD(CONFIG, startDelimiter),    VELTRANE_FIELD(CONFIG, endDelimiter),
};

inline constexpr std::array kNodeFields{
    VELTRANE_FIELD(NodeEntry, address),
    VELTRANE_FIELD(NodeEntry, name),
};

inline constexpr std::array kCommandFields{
    VELTRANE_FIELD(INSTRUCTION, slaveAddress),   VELTRANE_FIELD(INSTRUCTION, functionCode),
    VELTRANE_FIELD(INSTRUCTION, startAddress),   VELTRANE_FIELD(INSTRUCTION, dataCount),
    VELTRANE_FIELD(INSTRUCTION, mappingAddress), VELTRANE_FIELD(INSTRUCTION, mappingBit),
    VELTRANE_FIELD(INSTRUCTION, byteCount),      VELTRANE_FIELD(INSTRUCTION, filterOrSwap),
    VELTRANE_FIELD(INSTRUCTION, checkType),      VELTRANE_FIELD(INSTRUCTION, scanType),
};

#undef VELTRANE_FIELD

}  // namespace veltrane
