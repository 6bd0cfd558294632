#pragma once
// The rows of the fieldbus item: which setting each row shows for the device type and model
// switches, which rows can be edited, their option lists, the commit rules and the help texts.
// Options and commits follow the setting a row shows, so a pick always lands in the field the
// grid displays.

#include "core/editor/parameter_row.h"
#include "core/model/subnet_protocol.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <string>
#include <vector>

namespace veltrane {

// The setting a fieldbus row shows.
enum class FieldbusField {
    None,
    Protocol,
    DeviceNetAddress,
    DeviceNetBaudRate,
    DeviceNetInputSize,
    DeviceNetOutputSize,
    ProfibusInputSize,
    ProfibusOutputSize,
    HardwareInputSize,   // sizes come from the master's hardware configuration: a fixed text
    HardwareOutputSize,
    DoubleFaultClear,
    TimeoutAction,
    TimeoutTimes,
    ValidDataLength,
    ConfigMode,
    ConfigData,
    IpAssignMode,
    IpAddress,
    SubnetMask,
    DefaultGateway,
    Dns1,
    Dns2,
    InputValidDataLength,  // configMode on a single-subnet EtherNet/IP gateway
    TransactionNumber,     // configData on a single-subnet EtherNet/IP gateway
};

inline constexpr int kFieldbusRows = 9;

// Four dotted decimal parts, the first three of 1 to 3 digits, each at most 255; leading zeros
// are allowed.
bool isValidIpText(const std::string& text);

// The configuration-data text rule: hex digits and blanks only, a blank after every pair, at most
// 24 characters.
bool isValidConfigDataText(const std::string& text);

// The stored text of the input-data timeout choice for an option label, and the label shown for
// a stored text. The clear choice is stored as "\Template.xls" (files and gateways rely on it)
// but shown as "Clear".
std::string timeoutChoiceLabel(const std::string& stored);
std::string timeoutChoiceStored(const std::string& label);

class FieldbusParameters {
public:
    FieldbusParameters(Project& project, ProjectState& state) : m_project(project), m_state(state) {}

    FieldbusField field(int row) const;
    // Rows 0 to kFieldbusRows - 1; a row that shows nothing has an empty title and value.
    std::vector<ParameterRow> rows() const;
    bool editable(int row) const;
    // The option list of a row; empty for rows edited in the edit box.
    std::vector<std::string> options(int row) const;

    // Stores a picked option into the row's setting. Returns false (nothing stored) for a text
    // that is not one of the row's options or a row that cannot be edited.
    bool commitOption(int row, const std::string& text);
    // Applies the row's rule to a typed text; returns the text the cell shows afterwards (the
    // stored value when the input is refused).
    // `refusedAccepts`, when given, receives what the row takes if the typed text was refused.
    std::string commitEdit(int row, const std::string& editText, std::string* refusedAccepts = nullptr);

    HelpText help(int row) const;

private:
    const CONFIG& subnet1() const { return m_project.subnets[0]; }
    bool subnet1Is(SubnetProtocol protocol) const;
    bool bytesChoice() const;
    std::string value(FieldbusField field) const;
    bool grey(FieldbusField field) const;
    bool rowEditable(int row) const;
    std::string* storage(FieldbusField field);

    Project& m_project;
    ProjectState& m_state;
};

}  // namespace veltrane
