#pragma once
// The fields in which two subnets differ, one line each, so that a failed comparison says where.
#include "core/model/records.h"
#include <string>
namespace veltrane::testing {
inline std::string configDiff(const CONFIG& a, const CONFIG& b) {
    std::string out;
    if (a.doubleFaultClear != b.doubleFaultClear)
        out += "doubleFaultClear: " + a.doubleFaultClear + " vs " + b.doubleFaultClear + "\n";
    if (a.protocolType != b.protocolType)
        out += "protocolType: " + a.protocolType + " vs " + b.protocolType + "\n";
    if (a.baudRate != b.baudRate)
        out += "baudRate: " + a.baudRate + " vs " + b.baudRate + "\n";
    if (a.dataBits != b.dataBits)
        out += "dataBits: " + a.dataBits + " vs " + b.dataBits + "\n";
    if (a.parity != b.parity)
        out += "parity: " + a.parity + " vs " + b.parity + "\n";
    if (a.stopBits != b.stopBits)
        out += "stopBits: " + a.stopBits + " vs " + b.stopBits + "\n";
    if (a.transmissionMode != b.transmissionMode)
        out += "transmissionMode: " + a.transmissionMode + " vs " + b.transmissionMode + "\n";
    if (a.responseTimeout != b.responseTimeout)
        out += "responseTimeout: " + a.responseTimeout + " vs " + b.responseTimeout + "\n";
    if (a.pollDelay != b.pollDelay)
        out += "pollDelay: " + a.pollDelay + " vs " + b.pollDelay + "\n";
    if (a.outputMode != b.outputMode)
        out += "outputMode: " + a.outputMode + " vs " + b.outputMode + "\n";
    if (a.outputPulse != b.outputPulse)
        out += "outputPulse: " + a.outputPulse + " vs " + b.outputPulse + "\n";
    if (a.scanRate != b.scanRate)
        out += "scanRate: " + a.scanRate + " vs " + b.scanRate + "\n";
    if (a.commandStatus != b.commandStatus)
        out += "commandStatus: " + a.commandStatus + " vs " + b.commandStatus + "\n";
    if (a.timeoutAction != b.timeoutAction)
        out += "timeoutAction: " + a.timeoutAction + " vs " + b.timeoutAction + "\n";
    if (a.timeoutTimes != b.timeoutTimes)
        out += "timeoutTimes: " + a.timeoutTimes + " vs " + b.timeoutTimes + "\n";
    if (a.slaveBaudRate != b.slaveBaudRate)
        out += "slaveBaudRate: " + a.slaveBaudRate + " vs " + b.slaveBaudRate + "\n";
    if (a.slaveDataBits != b.slaveDataBits)
        out += "slaveDataBits: " + a.slaveDataBits + " vs " + b.slaveDataBits + "\n";
    if (a.slaveParity != b.slaveParity)
        out += "slaveParity: " + a.slaveParity + " vs " + b.slaveParity + "\n";
    if (a.slaveStopBits != b.slaveStopBits)
        out += "slaveStopBits: " + a.slaveStopBits + " vs " + b.slaveStopBits + "\n";
    if (a.slaveModeAddress != b.slaveModeAddress)
        out += "slaveModeAddress: " + a.slaveModeAddress + " vs " + b.slaveModeAddress + "\n";
    if (a.slaveTransmissionMode != b.slaveTransmissionMode)
        out += "slaveTransmissionMode: " + a.slaveTransmissionMode + " vs " + b.slaveTransmissionMode + "\n";
    if (a.customBaudRate != b.customBaudRate)
        out += "customBaudRate: " + a.customBaudRate + " vs " + b.customBaudRate + "\n";
    if (a.customDataBits != b.customDataBits)
        out += "customDataBits: " + a.customDataBits + " vs " + b.customDataBits + "\n";
    if (a.customParity != b.customParity)
        out += "customParity: " + a.customParity + " vs " + b.customParity + "\n";
    if (a.customStopBits != b.customStopBits)
        out += "customStopBits: " + a.customStopBits + " vs " + b.customStopBits + "\n";
    if (a.userBaudRate != b.userBaudRate)
        out += "userBaudRate: " + a.userBaudRate + " vs " + b.userBaudRate + "\n";
    if (a.userDataBits != b.userDataBits)
        out += "userDataBits: " + a.userDataBits + " vs " + b.userDataBits + "\n";
    if (a.userParity != b.userParity)
        out += "userParity: " + a.userParity + " vs " + b.userParity + "\n";
    if (a.userStopBits != b.userStopBits)
        out += "userStopBits: " + a.userStopBits + " vs " + b.userStopBits + "\n";
    if (a.frameType != b.frameType)
        out += "frameType: " + a.frameType + " vs " + b.frameType + "\n";
    if (a.charInterval != b.charInterval)
        out += "charInterval: " + a.charInterval + " vs " + b.charInterval + "\n";
    if (a.frameLength != b.frameLength)
        out += "frameLength: " + a.frameLength + " vs " + b.frameLength + "\n";
    if (a.autoSend != b.autoSend)
        out += "autoSend: " + a.autoSend + " vs " + b.autoSend + "\n";
    if (a.autoSendPeriod != b.autoSendPeriod)
        out += "autoSendPeriod: " + a.autoSendPeriod + " vs " + b.autoSendPeriod + "\n";
    if (a.crcCheck != b.crcCheck)
        out += "crcCheck: " + a.crcCheck + " vs " + b.crcCheck + "\n";
    if (a.commInterface != b.commInterface)
        out += "commInterface: " + a.commInterface + " vs " + b.commInterface + "\n";
    if (a.debugInterface != b.debugInterface)
        out += "debugInterface: " + a.debugInterface + " vs " + b.debugInterface + "\n";
    if (a.validDataLength != b.validDataLength)
        out += "validDataLength: " + a.validDataLength + " vs " + b.validDataLength + "\n";
    if (a.startDelimiter != b.startDelimiter)
        out += "startDelimiter: " + a.startDelimiter + " vs " + b.startDelimiter + "\n";
    if (a.endDelimiter != b.endDelimiter)
        out += "endDelimiter: " + a.endDelimiter + " vs " + b.endDelimiter + "\n";
    if (a.nodeCount != b.nodeCount)
        out += "nodeCount " + std::to_string(a.nodeCount) + " vs " + std::to_string(b.nodeCount) + "\n";
    if (a.commandCount != b.commandCount)
        out +=
            "commandCount " + std::to_string(a.commandCount) + " vs " + std::to_string(b.commandCount) + "\n";
    for (std::size_t i = 0; i < a.nodes.size(); ++i) {
        if (!(a.nodes[i] == b.nodes[i]))
            out += "node" + std::to_string(i) + ": " + a.nodes[i].address + "/" + a.nodes[i].name + " vs " +
                   b.nodes[i].address + "/" + b.nodes[i].name + "\n";
        if (a.commands[i].slaveAddress != b.commands[i].slaveAddress)
            out += "cmd" + std::to_string(i) + " slaveAddress: " + a.commands[i].slaveAddress + " vs " +
                   b.commands[i].slaveAddress + "\n";
        if (a.commands[i].functionCode != b.commands[i].functionCode)
            out += "cmd" + std::to_string(i) + " functionCode: " + a.commands[i].functionCode + " vs " +
                   b.commands[i].functionCode + "\n";
        if (a.commands[i].startAddress != b.commands[i].startAddress)
            out += "cmd" + std::to_string(i) + " startAddress: " + a.commands[i].startAddress + " vs " +
                   b.commands[i].startAddress + "\n";
        if (a.commands[i].dataCount != b.commands[i].dataCount)
            out += "cmd" + std::to_string(i) + " dataCount: " + a.commands[i].dataCount + " vs " +
                   b.commands[i].dataCount + "\n";
        if (a.commands[i].mappingAddress != b.commands[i].mappingAddress)
            out += "cmd" + std::to_string(i) + " mappingAddress: " + a.commands[i].mappingAddress + " vs " +
                   b.commands[i].mappingAddress + "\n";
        if (a.commands[i].mappingBit != b.commands[i].mappingBit)
            out += "cmd" + std::to_string(i) + " mappingBit: " + a.commands[i].mappingBit + " vs " +
                   b.commands[i].mappingBit + "\n";
        if (a.commands[i].byteCount != b.commands[i].byteCount)
            out += "cmd" + std::to_string(i) + " byteCount: " + a.commands[i].byteCount + " vs " +
                   b.commands[i].byteCount + "\n";
        if (a.commands[i].filterOrSwap != b.commands[i].filterOrSwap)
            out += "cmd" + std::to_string(i) + " filterOrSwap: " + a.commands[i].filterOrSwap + " vs " +
                   b.commands[i].filterOrSwap + "\n";
        if (a.commands[i].checkType != b.commands[i].checkType)
            out += "cmd" + std::to_string(i) + " checkType: " + a.commands[i].checkType + " vs " +
                   b.commands[i].checkType + "\n";
        if (a.commands[i].scanType != b.commands[i].scanType)
            out += "cmd" + std::to_string(i) + " scanType: " + a.commands[i].scanType + " vs " +
                   b.commands[i].scanType + "\n";
        if (a.commands[i].nodeIndex != b.commands[i].nodeIndex)
            out += "cmd" + std::to_string(i) + " nodeIndex\n";
    }
    return out;
}
} // namespace veltrane::testing
