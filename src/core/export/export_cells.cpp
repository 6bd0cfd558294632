#include "core/export/export_cells.h"
#include "core/common/windows1252.h"
#include "core/model/subnet_protocol.h"

#include "core/model/text_value.h"
#include "core/strings/strings.h"

#include <algorithm>

namespace veltrane {

namespace {

// Counts come from files and uploads; never trust them to stay inside the fixed arrays.
int usedSubnets(const ProjectState& state) { return std::clamp(state.SubnetCount, 0, kSubnetSlots); }
int usedCommands(const CONFIG& subnet) { return std::clamp(subnet.commandCount, 0, kMaxCommands); }

bool isUserConfig(const CONFIG& subnet) { return protocolOf(subnet) == SubnetProtocol::UserConfig; }

std::string upperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

class CellList {
public:
    // Cells take the workbook's UTF-8; every text here is a stored one or a table text.
    void put(ExportSheet sheet, int row, int column, const std::string& text) {
        m_cells.push_back({sheet, row, column, windows1252ToUtf8(text)});
    }
    std::vector<ExportCell> take() { return std::move(m_cells); }

private:
    std::vector<ExportCell> m_cells;
};

void addFieldbusSheet(CellList& cells, const Project& project, const ProjectState& state) {
    const FIELDBUS& fb = project.fieldbus;
    constexpr ExportSheet sheet = ExportSheet::Fieldbus;
    cells.put(sheet, 2, 1, fb.fieldbusType);
    cells.put(sheet, 2, 2, fb.ipAssignMode);
    cells.put(sheet, 2, 3, fb.ipAddress);
    cells.put(sheet, 2, 4, fb.subnetMask);
    cells.put(sheet, 2, 5, fb.defaultGateway);
    cells.put(sheet, 2, 6, fb.dns1);
    cells.put(sheet, 2, 7, fb.dns2);
    if (state.flags.singleSubnetModel) {
        cells.put(sheet, 2, 8, fb.configMode);
        cells.put(sheet, 2, 9, fb.configData);
    } else {
        // The two titles only mean something on single-subnet gateways.
        cells.put(sheet, 1, 8, {});
        cells.put(sheet, 1, 9, {});
    }
}

void addSubnetSheet(CellList& cells, const Project& project, const ProjectState& state) {
    constexpr ExportSheet sheet = ExportSheet::Subnet;
    bool framingTitlesWritten = false;
    for (int k = 1; k <= usedSubnets(state); ++k) {
        const CONFIG& s = project.subnets[static_cast<std::size_t>(k - 1)];
        const int row = k + 1;
        cells.put(sheet, row, 1, decimalText(k));
        cells.put(sheet, row, 2, s.protocolType);
        if (isModbusMaster(s)) {
            cells.put(sheet, row, 3, s.baudRate);
            cells.put(sheet, row, 4, s.dataBits);
            cells.put(sheet, row, 5, s.parity);
            cells.put(sheet, row, 6, s.stopBits);
            cells.put(sheet, row, 8, s.transmissionMode);
            cells.put(sheet, row, 9, s.responseTimeout);
            cells.put(sheet, row, 10, s.pollDelay);
            cells.put(sheet, row, 11, s.outputMode);
            cells.put(sheet, row, 12, s.outputPulse == "-1" ? std::string() : s.outputPulse);
            cells.put(sheet, row, 13, s.scanRate);
        } else if (isUserConfig(s)) {
            cells.put(sheet, row, 3, s.userBaudRate);
            cells.put(sheet, row, 4, s.userDataBits);
            cells.put(sheet, row, 5, s.userParity);
            cells.put(sheet, row, 6, s.userStopBits);
            const std::pair<Str, const std::string*> framing[] = {
                {Str::ExportTitleFrameType, &s.frameType},
                {Str::FrameTimeInterval, &s.charInterval},
                {Str::FrameLength, &s.frameLength},
                {Str::ExportTitleStartDelimiter, &s.startDelimiter},
                {Str::ExportTitleEndDelimiter, &s.endDelimiter},
                {Str::ExportTitleAutoSend, &s.autoSend},
                {Str::ExportTitleAutoSendPeriod, &s.autoSendPeriod},
                {Str::ExportTitleCrcCheck, &s.crcCheck},
            };
            int column = 14;
            for (const auto& [title, value] : framing) {
                // The template leaves these titles blank; a User Config subnet brings them.
                if (!framingTitlesWritten)
                    cells.put(sheet, 1, column, tr(title));
                cells.put(sheet, row, column, *value);
                ++column;
            }
            framingTitlesWritten = true;
        }
    }
}

void addCommandListSheet(CellList& cells, const Project& project, const ProjectState& state) {
    constexpr ExportSheet sheet = ExportSheet::CommandList;
    int row = 2;
    for (int k = 1; k <= usedSubnets(state); ++k) {
        const CONFIG& s = project.subnets[static_cast<std::size_t>(k - 1)];
        if (!isModbusMaster(s))
            continue;
        for (int i = 0; i < usedCommands(s); ++i, ++row) {
            const INSTRUCTION& c = s.commands[static_cast<std::size_t>(i)];
            cells.put(sheet, row, 1, decimalText(k));
            cells.put(sheet, row, 2, c.slaveAddress);
            cells.put(sheet, row, 3, c.functionCode);
            cells.put(sheet, row, 4, c.startAddress);
            cells.put(sheet, row, 5, c.dataCount);
            cells.put(sheet, row, 6, exportedMappingAddress(c.mappingAddress));
            cells.put(sheet, row, 7, c.mappingBit);
            cells.put(sheet, row, 8, c.byteCount);
            cells.put(sheet, row, 9, c.filterOrSwap);
            cells.put(sheet, row, 10, c.checkType);
            cells.put(sheet, row, 11, c.scanType);
        }
    }
}

}  // namespace

const std::string& exportSheetName(ExportSheet sheet) {
    switch (sheet) {
    case ExportSheet::Fieldbus:
        return tr(Str::ExportSheetFieldbus);
    case ExportSheet::Subnet:
        return tr(Str::TreeSubnet);
    case ExportSheet::CommandList:
        break;
    }
    return tr(Str::ExportSheetCommandList);
}

bool exportSupported(const ProjectState& state) { return state.DeviceType == device::EtherNetIP; }

std::vector<ExportCell> exportCells(const Project& project, const ProjectState& state) {
    CellList cells;
    addFieldbusSheet(cells, project, state);
    addSubnetSheet(cells, project, state);
    addCommandListSheet(cells, project, state);
    return cells.take();
}

std::string exportedMappingAddress(const std::string& mappingAddress) {
    // A bare "H" would read like an address; an unset one stays blank.
    if (mappingAddress.empty())
        return {};
    return upperCase(mappingAddress) + tr(Str::ExportMappingSuffix);
}

void upperCaseMappingAddresses(Project& project, const ProjectState& state) {
    for (int k = 0; k < usedSubnets(state); ++k) {
        CONFIG& s = project.subnets[static_cast<std::size_t>(k)];
        if (!isModbusMaster(s))
            continue;
        for (int i = 0; i < usedCommands(s); ++i) {
            std::string& address = s.commands[static_cast<std::size_t>(i)].mappingAddress;
            address = upperCase(address);
        }
    }
}

}  // namespace veltrane
