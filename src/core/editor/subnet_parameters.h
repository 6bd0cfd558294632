#pragma once
// The rows of a subnet item: the setting each row shows for the device type, the protocol and the
// model switches, editability, option lists, commit rules, help texts and the protocol change with
// its effect on the subnet's nodes, commands and tree items. Options and commits follow the
// setting a row shows, so a pick always lands in the field the grid displays.

#include "core/editor/editor.h"
#include "core/model/subnet_protocol.h"
#include "core/editor/parameter_row.h"

#include <string>
#include <vector>

namespace veltrane {

// The setting a subnet row shows. The serial settings and the transmission mode belong to the
// set of the subnet's protocol.
enum class SubnetField {
    None,
    Protocol,
    BaudRate,
    DataBits,
    Parity,
    StopBits,
    SlaveAddress,
    TransmissionMode,
    ResponseTimeout,
    PollDelay,
    OutputMode,
    OutputPulse,
    ScanRate,
    CommandStatus,
    CommInterface,
    DebugInterface,  // always the interface the communication interface leaves free
    FrameType,
    CharInterval,
    FrameLength,
    StartDelimiter,
    EndDelimiter,
    AutoSend,
    AutoSendPeriod,
    CrcCheck,
};

inline constexpr int kSubnetRows = 20;

// How a commit ended, for the grid: whether the project counts as changed.
struct SubnetCommit {
    bool stored = false;    // a value (or the protocol) was written into the project
    bool modified = true;   // false only when the user cancelled deleting the master configuration
};

class SubnetParameters {
public:
    // subnetIndex is 0-based.
    SubnetParameters(Editor& editor, int subnetIndex);

    SubnetField field(int row) const;
    // Rows 0 to kSubnetRows - 1.
    std::vector<ParameterRow> rows() const;
    bool editable(int row) const;
    std::vector<std::string> options(int row) const;

    // Stores a picked option; row 0 runs the protocol change with its questions.
    SubnetCommit commitOption(int row, const std::string& text);
    // Applies the row's rule to a typed text; returns the text the cell shows afterwards.
    std::string commitEdit(int row, const std::string& editText);

    HelpText help(int row) const;

private:
    const CONFIG& subnet() const { return m_editor.project().subnets[static_cast<std::size_t>(m_index)]; }
    CONFIG& subnet() { return m_editor.project().subnets[static_cast<std::size_t>(m_index)]; }
    const ProjectState& state() const { return m_editor.state(); }
    bool is(SubnetProtocol protocol) const;
    bool pulseEnabled() const;
    int serialSet() const;  // whose serial settings the rows show
    std::string value(SubnetField field) const;
    std::string tableTitle(int row) const;
    bool grey(int row) const;
    bool rowEditable(int row) const;
    std::string* storage(SubnetField field);
    SubnetCommit changeProtocol(const std::string& text);
    void rebuildSubnetItem();

    Editor& m_editor;
    int m_index;
};

}  // namespace veltrane
