#include "core/editor/subnet_parameters.h"
#include "core/model/subnet_protocol.h"

#include "core/editor/tree_items.h"
#include "core/model/text_value.h"

#include <algorithm>
#include <array>

namespace veltrane {

namespace {
using F = SubnetField;

std::vector<std::string> texts(std::initializer_list<Str> ids) {
    std::vector<std::string> out;
    for (Str id : ids)
        out.push_back(tr(id));
    return out;
}

enum Set { kMaster, kSlave, kCustom, kUser };

// A typed number's rule: the range, whether only the canonical spelling counts, and what a refused
// text leaves in the cell (the stored value, or nothing).
struct NumberRule {
    std::int32_t low = 0;
    std::int32_t high = -1;  // high < low: the row stores no typed text
    bool canonical = false;
    bool refusalShowsStored = false;
};

// Everything about one subnet setting; which row shows it is the layout's business (field()).
// The serial settings and the transmission mode have one field per protocol's set.
struct SubnetFieldInfo {
    F field;
    Str title;
    std::array<std::string CONFIG::*, 4> stored;  // by Set; null: derived, never stored
    std::vector<std::string> (*options)(const ProjectState&) = nullptr;  // null: the edit box
    NumberRule rule = {};
};

std::array<std::string CONFIG::*, 4> same(std::string CONFIG::*member) { return {member, member, member, member}; }

const std::vector<SubnetFieldInfo>& fieldTable() {
    using S = ProjectState;
    static const std::vector<SubnetFieldInfo> table = {
        {F::Protocol, Str::SnTitleProtocol, same(nullptr)},
        {F::BaudRate, Str::SnTitleBaudRate,
         {&CONFIG::baudRate, &CONFIG::slaveBaudRate, &CONFIG::customBaudRate, &CONFIG::userBaudRate},
         [](const S& s) -> std::vector<std::string> {
             if (s.DeviceType == device::EtherNetIP)
                 return {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};
             return {"300", "600", "1200", "2400", "9600", "19200", "38400", "57600", "115200"};
         }},
        {F::DataBits, Str::SnTitleDataBits,
         {&CONFIG::dataBits, &CONFIG::slaveDataBits, &CONFIG::customDataBits, &CONFIG::userDataBits},
         [](const S& s) -> std::vector<std::string> {
             if (s.DeviceType == device::ProfibusSlave)
                 return {"8"};
             return {"8", "7"};
         }},
        {F::Parity, Str::SnTitleParity, {&CONFIG::parity, &CONFIG::slaveParity, &CONFIG::customParity, &CONFIG::userParity},
         [](const S&) {
             return texts({Str::ParityNone, Str::ParityOdd, Str::ParityEven, Str::ParityMark, Str::ParitySpace});
         }},
        {F::StopBits, Str::SnTitleStopBits,
         {&CONFIG::stopBits, &CONFIG::slaveStopBits, &CONFIG::customStopBits, &CONFIG::userStopBits},
         [](const S&) -> std::vector<std::string> { return {"1", "2"}; }},
        {F::SlaveAddress, Str::SnTitleSlaveAddress, same(&CONFIG::slaveModeAddress), nullptr, {0, 247}},
        {F::TransmissionMode, Str::SnTitleTransmissionMode,
         {&CONFIG::transmissionMode, &CONFIG::slaveTransmissionMode, &CONFIG::transmissionMode,
          &CONFIG::transmissionMode},
         [](const S&) { return texts({Str::ModeRTU, Str::ModeASCII}); }},
        {F::ResponseTimeout, Str::SnTitleResponseTimeout, same(&CONFIG::responseTimeout), nullptr,
         {10, 60000, true, true}},
        {F::PollDelay, Str::SnTitlePollDelay, same(&CONFIG::pollDelay), nullptr, {0, 2500, true, true}},
        {F::OutputMode, Str::SnTitleOutputMode, same(&CONFIG::outputMode),
         [](const S&) { return texts({Str::OutputCycle, Str::OutputForbidden, Str::OutputChangeOfValue}); }},
        {F::OutputPulse, Str::SnTitleOutputPulse, same(&CONFIG::outputPulse), nullptr, {200, 2500}},
        {F::ScanRate, Str::SnTitleScanRate, same(&CONFIG::scanRate), nullptr, {1, 255, true, true}},
        {F::CommandStatus, Str::SnTitleCommandStatus, same(&CONFIG::commandStatus),
         [](const S&) {
             std::vector<std::string> out = texts({Str::Disable});
             for (int bytes = 1; bytes <= 6; ++bytes)
                 out.push_back(decimalText(bytes) + tr(Str::SnCommandStatusBytes));
             return out;
         }},
        {F::CommInterface, Str::SnTitleCommInterface, same(&CONFIG::commInterface),
         [](const S&) { return texts({Str::InterfaceRS485, Str::InterfaceRS232}); }},
        {F::DebugInterface, Str::SnTitleDebugInterface, same(nullptr)},
        {F::FrameType, Str::SnTitleFrameType, same(&CONFIG::frameType),
         [](const S& s) {
             if (s.flags.singleSubnetModel)
                 return texts({Str::FrameTimeInterval, Str::FrameLength, Str::FrameDelimiter});
             return texts({Str::FrameTimeInterval, Str::FrameLength});
         }},
        {F::CharInterval, Str::SnTitleCharInterval, same(&CONFIG::charInterval), nullptr, {10, 60000}},
        // The limit and the canonical check depend on the device type (commitEdit).
        {F::FrameLength, Str::SnTitleFrameLength, same(&CONFIG::frameLength), nullptr, {1, 223}},
        {F::StartDelimiter, Str::SnTitleStartDelimiter, same(&CONFIG::startDelimiter), nullptr, {0, 255}},
        {F::EndDelimiter, Str::SnTitleEndDelimiter, same(&CONFIG::endDelimiter), nullptr, {0, 255}},
        {F::AutoSend, Str::SnTitleAutoSend, same(&CONFIG::autoSend), [](const S&) { return texts({Str::Enable, Str::Disable}); }},
        {F::AutoSendPeriod, Str::SnTitleAutoSendPeriod, same(&CONFIG::autoSendPeriod), nullptr, {10, 60000}},
        {F::CrcCheck, Str::SnTitleCrcCheck, same(&CONFIG::crcCheck), [](const S&) { return texts({Str::Enable, Str::Disable}); }},
    };
    return table;
}

const SubnetFieldInfo* infoOf(F field) {
    for (const SubnetFieldInfo& info : fieldTable())
        if (info.field == field)
            return &info;
    return nullptr;
}

// The fields of rows 1 to 11, which every layout titles alike.
constexpr F kSerialRows[] = {F::BaudRate,         F::DataBits,        F::Parity,    F::StopBits,
                             F::SlaveAddress,     F::TransmissionMode, F::ResponseTimeout, F::PollDelay,
                             F::OutputMode,       F::OutputPulse,     F::ScanRate};

bool inRange(std::int32_t value, std::int32_t low, std::int32_t high) { return value >= low && value <= high; }

// True when the text holds a number at all; a text without digits is never taken for 0.
bool hasNumber(const std::string& text) {
    std::size_t i = text.find_first_not_of(" \t");
    if (i != std::string::npos && (text[i] == '+' || text[i] == '-'))
        ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

const std::string& otherInterface(const std::string& comm) {
    return tr(comm == tr(Str::InterfaceRS232) ? Str::InterfaceRS485 : Str::InterfaceRS232);
}
}  // namespace

SubnetParameters::SubnetParameters(Editor& editor, int subnetIndex)
    : m_editor(editor), m_index(std::clamp(subnetIndex, 0, kSubnetSlots - 1)) {}

bool SubnetParameters::is(SubnetProtocol protocol) const { return protocolOf(subnet()) == protocol; }

// Only a stored "Output Pulse" (from a file) opens the pulse row: the option list never offers it.
bool SubnetParameters::pulseEnabled() const { return subnet().outputMode == tr(Str::OutputPulse); }

SubnetField SubnetParameters::field(int row) const {
    if (row < 0 || row >= kSubnetRows)
        return F::None;
    if (row == 0)
        return F::Protocol;
    const std::int32_t type = state().DeviceType;
    const ModelFlags& flags = state().flags;
    F layout[kSubnetRows] = {};
    layout[0] = F::Protocol;
    const bool master = is(SubnetProtocol::ModbusMaster);
    const bool slave = is(SubnetProtocol::ModbusSlave);
    const bool user = is(SubnetProtocol::UserConfig);
    if (master || slave || user || is(SubnetProtocol::Custom)) {
        layout[1] = F::BaudRate;
        layout[2] = F::DataBits;
        layout[3] = F::Parity;
        layout[4] = F::StopBits;
    }
    if (master || slave) {
        layout[6] = F::TransmissionMode;
        if (slave)
            layout[5] = F::SlaveAddress;
        if (master) {
            layout[7] = F::ResponseTimeout;
            layout[8] = F::PollDelay;
            layout[9] = F::OutputMode;
            layout[10] = F::OutputPulse;
            layout[11] = F::ScanRate;
        }
        if (type == device::ProfibusFilter) {
            // The command status is stored from row 12 and titled there, so it is shown there too.
            if (master && flags.commandStatusModel)
                layout[12] = F::CommandStatus;
            layout[18] = F::CommInterface;
            layout[19] = F::DebugInterface;
        } else if (flags.extendedFrameModel) {
            layout[12] = F::CommInterface;
            layout[13] = F::DebugInterface;
        }
    } else if (user) {
        layout[12] = F::FrameType;
        layout[13] = F::CharInterval;
        layout[14] = F::FrameLength;
        if (type == device::EtherNetIP) {
            layout[15] = F::StartDelimiter;
            layout[16] = F::EndDelimiter;
            layout[17] = F::AutoSend;
            layout[18] = F::AutoSendPeriod;
            layout[19] = F::CrcCheck;
        } else {
            layout[15] = F::AutoSend;
            layout[16] = F::AutoSendPeriod;
            layout[17] = F::CrcCheck;
            layout[18] = F::CommInterface;
            layout[19] = F::DebugInterface;
        }
    }
    return layout[row];
}

std::string SubnetParameters::tableTitle(int row) const {
    const std::int32_t type = state().DeviceType;
    const bool serialLayout = type == device::ProfibusFilter || type == device::ProfibusUserConfig;
    if (row == 1)
        return tr(serialLayout || type == device::EtherNetIP ? Str::SnTitleBaudRate : Str::SnTitleModbusBaudRate);
    if (row <= 11)
        return tr(row == 0 ? Str::SnTitleProtocol : infoOf(kSerialRows[row - 1])->title);
    if (serialLayout) {
        static const Str titles[] = {Str::SnTitleFrameType,      Str::SnTitleCharInterval, Str::SnTitleFrameLength,
                                     Str::SnTitleAutoSend,       Str::SnTitleAutoSendPeriod, Str::SnTitleCrcCheck,
                                     Str::SnTitleCommInterface,  Str::SnTitleDebugInterface};
        if (row == 12 && state().flags.commandStatusModel && is(SubnetProtocol::ModbusMaster))
            return tr(Str::SnTitleCommandStatus);
        return tr(titles[row - 12]);
    }
    if (type == device::EtherNetIP) {
        static const Str titles[] = {Str::SnTitleFrameType,       Str::SnTitleCharInterval, Str::SnTitleFrameLength,
                                     Str::SnTitleStartDelimiter,  Str::SnTitleEndDelimiter, Str::SnTitleAutoSend,
                                     Str::SnTitleAutoSendPeriod,  Str::SnTitleCrcCheck};
        return is(SubnetProtocol::UserConfig) ? tr(titles[row - 12]) : std::string();
    }
    if (state().flags.extendedFrameModel && (row == 12 || row == 13))
        return tr(row == 12 ? Str::SnTitleCommInterface : Str::SnTitleDebugInterface);
    return {};
}

int SubnetParameters::serialSet() const {
    return is(SubnetProtocol::ModbusSlave) ? kSlave : is(SubnetProtocol::Custom) ? kCustom : is(SubnetProtocol::UserConfig) ? kUser : kMaster;
}

std::string SubnetParameters::value(SubnetField f) const {
    const CONFIG& s = subnet();
    if (f == F::Protocol)
        return s.protocolType;
    if (f == F::DebugInterface)
        return otherInterface(s.commInterface);
    const SubnetFieldInfo* info = infoOf(f);
    if (info == nullptr)
        return {};
    return s.*(info->stored[static_cast<std::size_t>(serialSet())]);
}

bool SubnetParameters::grey(int row) const {
    const std::int32_t type = state().DeviceType;
    const ModelFlags& flags = state().flags;
    const CONFIG& s = subnet();
    if (row == 0)
        return !(is(SubnetProtocol::UserConfig) && !flags.userConfigOnlyModel && type != device::ProfibusUserConfig);
    if (field(row) == F::DebugInterface)
        return true;
    if (is(SubnetProtocol::ModbusMaster)) {
        if (row == 5)
            return true;
        if (row == 10)
            return !pulseEnabled();
        if (type == device::ProfibusFilter && row >= 13 && row <= 17)
            return true;
        if (type == device::ProfibusUserConfig && row == 18)
            return true;
        return false;
    }
    if (is(SubnetProtocol::ModbusSlave)) {
        if (row >= 7 && row <= 11)
            return true;
        return type == device::ProfibusFilter && row >= 12 && row != 18;
    }
    if (is(SubnetProtocol::Custom))
        return row >= 5 && row <= 11;
    if (is(SubnetProtocol::UserConfig)) {
        if (row >= 5 && row <= 11)
            return true;
        const bool disabled = s.autoSend == tr(Str::Disable);
        if (type == device::EtherNetIP) {
            // Each frame end rule opens its own rows, as the commit of the frame type does.
            if (row == 14)
                return s.frameType != tr(Str::FrameLength);
            if (row == 15 || row == 16)
                return s.frameType != tr(Str::FrameDelimiter);
            if (row == 18)
                return disabled;
        } else {
            if (row == 14)
                return s.frameType == tr(Str::FrameTimeInterval);
            if ((type == device::ProfibusFilter || type == device::ProfibusUserConfig) && row == 16)
                return disabled;
        }
    }
    return false;
}

std::vector<ParameterRow> SubnetParameters::rows() const {
    std::vector<ParameterRow> out(kSubnetRows);
    for (int row = 0; row < kSubnetRows; ++row) {
        const F f = field(row);
        ParameterRow& cell = out[static_cast<std::size_t>(row)];
        // Rows that show a setting carry its title, also where the layouts give the row none.
        cell.title = (f != F::None && row >= 12) ? tr(infoOf(f)->title) : tableTitle(row);
        cell.value = shownValue(value(f));
        cell.grey = grey(row);
    }
    return out;
}

bool SubnetParameters::rowEditable(int row) const {
    const std::int32_t type = state().DeviceType;
    const ModelFlags& flags = state().flags;
    const CONFIG& s = subnet();
    if (row == 0) {
        if (flags.userConfigOnlyModel || flags.extendedFrameModel)
            return false;
        return type == device::DeviceNet || type == device::FourSubnets || type == device::ProfibusFilter ||
               type == device::Profibus7 || (type == device::EtherNetIP && flags.singleSubnetModel);
    }
    if (type == device::ProfibusSlave)
        return row <= 6;
    if (type == device::ProfibusUserConfig) {
        if (row == 14 && s.frameType == tr(Str::FrameTimeInterval))
            return false;
        if (row == 16 && s.autoSend == tr(Str::Disable))
            return false;
        return row <= 4 || (row >= 12 && row <= 17);
    }
    if (is(SubnetProtocol::ModbusMaster)) {
        if (row == 5 || (row == 10 && !pulseEnabled()))
            return false;
        if (row <= 11)
            return !(type == device::EtherNetIP && (row == 2 || row == 6));
        if (row == 12)
            return flags.extendedFrameModel || type == device::ProfibusFilter;
        if (type == device::ProfibusFilter)
            return row == 18 || flags.extendedFrameModel;
        return false;
    }
    if (is(SubnetProtocol::ModbusSlave)) {
        if (row == 12 && flags.extendedFrameModel)
            return true;
        if (type == device::ProfibusFilter)
            return row <= 6 || row == 18 || (flags.extendedFrameModel && (row == 17 || row >= 19));
        return row <= 11;
    }
    if (is(SubnetProtocol::Custom))
        return row <= 4;
    if (is(SubnetProtocol::UserConfig)) {
        if (row <= 4)
            return true;
        if (row < 12 || row > 19)
            return false;
        if (type != device::EtherNetIP)
            return true;
        if (row == 14)
            return s.frameType == tr(Str::FrameLength);
        if (row == 15 || row == 16)
            return s.frameType == tr(Str::FrameDelimiter);
        if (row == 18)
            return s.autoSend != tr(Str::Disable);
        return true;
    }
    return false;
}

bool SubnetParameters::editable(int row) const {
    const F f = field(row);
    return f != F::None && f != F::DebugInterface && rowEditable(row);
}

std::vector<std::string> SubnetParameters::options(int row) const {
    const F f = field(row);
    if (f == F::Protocol) {
        const std::int32_t type = state().DeviceType;
        std::vector<std::string> out = texts({Str::ProtocolModbusMaster});
        if ((type == device::EtherNetIP && state().flags.singleSubnetModel) || type == device::Profibus7)
            out.push_back(tr(Str::ProtocolUserConfig));
        else if (type == device::ProfibusFilter)
            out.insert(out.end(), {tr(Str::ProtocolModbusSlave), tr(Str::ProtocolUserConfig)});
        else if (type == device::FourSubnets)
            out.push_back(tr(Str::ProtocolCustom));
        return out;
    }
    const SubnetFieldInfo* info = infoOf(f);
    return info == nullptr || info->options == nullptr ? std::vector<std::string>{} : info->options(state());
}

std::string* SubnetParameters::storage(SubnetField f) {
    const SubnetFieldInfo* info = infoOf(f);
    if (info == nullptr)
        return nullptr;
    std::string CONFIG::*member = info->stored[static_cast<std::size_t>(serialSet())];
    return member == nullptr ? nullptr : &(subnet().*member);
}

SubnetCommit SubnetParameters::commitOption(int row, const std::string& text) {
    if (!editable(row))
        return {};
    const std::vector<std::string> choices = options(row);
    if (std::find(choices.begin(), choices.end(), text) == choices.end())
        return {};
    const F f = field(row);
    if (f == F::Protocol)
        return changeProtocol(text);
    std::string* target = storage(f);
    if (target == nullptr)
        return {};
    *target = text;
    // The debug interface is whichever one communication leaves free; keep the record saying so.
    if (f == F::CommInterface)
        subnet().debugInterface = otherInterface(text);
    return {true, true};
}

SubnetCommit SubnetParameters::changeProtocol(const std::string& text) {
    CONFIG& s = subnet();
    if (text == s.protocolType)
        return {};
    Prompter& prompter = m_editor.prompter();
    if (protocolOf(s) == SubnetProtocol::ModbusMaster) {
        if (prompter.ask(tr(Str::AskDeleteMasterConfiguration), Buttons::OkCancel) != Answer::Ok)
            return {false, false};
        // The slots keep their texts; only the counts say they are free.
        s.nodeCount = 0;
        s.commandCount = 0;
    } else if (subnetProtocolOf(text) == SubnetProtocol::ModbusMaster) {
        if (prompter.ask(tr(Str::AskChangeToModbusMaster), Buttons::OkCancel) != Answer::Ok)
            return {};
    }
    s.protocolType = text;
    rebuildSubnetItem();
    return {true, true};
}

void SubnetParameters::rebuildSubnetItem() {
    TreeModel& tree = m_editor.tree();
    for (ItemId id : tree.topLevel())
        if (tree.kind(id) == ItemKind::Subnet && tree.subnet(id) == m_index + 1)
            m_editor.rebuildSubnetItems(id, m_index);
    // Nodes can be added to a master subnet only; a custom-protocol subnet offers no edit at all.
    EditFlags flags = m_editor.editFlags();
    flags.addNode = is(SubnetProtocol::ModbusMaster);
    if (is(SubnetProtocol::Custom))
        flags = EditFlags{};
    m_editor.setEditFlags(flags);
}

std::string SubnetParameters::commitEdit(int row, const std::string& editText) {
    const F f = field(row);
    const std::string shown = shownValue(value(f));
    if (!editable(row) || !options(row).empty())
        return shown;
    std::string* target = storage(f);
    if (target == nullptr)
        return shown;
    const bool ethernet = state().DeviceType == device::EtherNetIP;
    const bool numeric = hasNumber(editText);
    const std::int32_t number = decimalValue(editText);
    const bool canonical = isCanonical(editText);
    auto within = [&](std::int32_t low, std::int32_t high) { return numeric && inRange(number, low, high); };
    // Accepted values are stored in their canonical form: what the grid shows is what a
    // download sends.
    auto store = [&] {
        *target = decimalText(number);
        return *target;
    };
    NumberRule rule = infoOf(f)->rule;
    if (f == F::FrameLength && ethernet) {
        rule.high = 254;
        rule.canonical = true;
    }
    std::string result;
    if (rule.high < rule.low) {
        result = shown;
    } else if (f == F::SlaveAddress && editText.empty()) {
        // An empty address is how a user takes it back; the check then reports the subnet.
        target->clear();
    } else if (f == F::OutputPulse && !pulseEnabled()) {
        result.clear();
    } else if ((!rule.canonical || canonical) && within(rule.low, rule.high)) {
        result = store();
    } else {
        m_editor.refuseInput(acceptedRange(rule.low, rule.high));
        if (rule.refusalShowsStored)
            result = shown;
    }
    if (ethernet && !isCanonical(result))
        result.clear();
    return result;
}

HelpText SubnetParameters::help(int row) const {
    const std::int32_t type = state().DeviceType;
    const ModelFlags& flags = state().flags;
    const bool master = is(SubnetProtocol::ModbusMaster);
    const bool user = is(SubnetProtocol::UserConfig);
    if ((master && row > 11) || (user && row > 19))
        return HelpText::clear();
    const bool serialLayout = type == device::ProfibusFilter || type == device::ProfibusUserConfig;
    const bool ethernetUser = type == device::EtherNetIP && user;
    switch (row) {
    case 0: return HelpText::replace(tr(type == device::EtherNetIP ? Str::SnHelpProtocolEthernet : Str::SnHelpProtocol));
    case 1: return HelpText::replace(tr(flags.userConfigOnlyModel ? Str::SnHelpSerialBaudRate : Str::SnHelpBaudRate));
    case 2: return HelpText::replace(tr(Str::SnHelpDataBits));
    case 3: return HelpText::replace(tr(Str::SnHelpParity));
    case 4: return HelpText::replace(tr(Str::SnHelpStopBits));
    case 5:
    case 6:
    case 10: return HelpText::clear();  // these rows have no help text
    case 7: return HelpText::replace(tr(Str::SnHelpResponseTimeout));
    case 8: return HelpText::replace(tr(Str::SnHelpPollDelay));
    case 9: return HelpText::replace(tr(Str::SnHelpOutputMode));
    case 11: return HelpText::replace(tr(Str::SnHelpScanRate));
    case 12:
        if (flags.extendedFrameModel)
            return HelpText::replace(tr(Str::SnHelpCommInterface));
        if (ethernetUser)
            return HelpText::replace(tr(Str::SnHelpFrameType));
        if (type == device::EtherNetIP)
            return HelpText::unchanged();
        return HelpText::clear();
    case 13:
        if (flags.extendedFrameModel)
            return HelpText::replace(tr(Str::SnHelpDebugInterface));
        if (serialLayout || ethernetUser)
            return HelpText::replace(tr(Str::SnHelpCharInterval));
        return HelpText::unchanged();
    case 14:
        return serialLayout || ethernetUser ? HelpText::replace(tr(Str::SnHelpFrameLength)) : HelpText::unchanged();
    case 15:
    case 16:
        if (serialLayout)
            return HelpText::replace(tr(row == 15 ? Str::SnHelpAutoSend : Str::SnHelpAutoSendPeriod));
        return ethernetUser ? HelpText::replace(tr(Str::SnHelpDelimiter)) : HelpText::unchanged();
    case 17:
    case 18:
    case 19: {
        static const Str serial[] = {Str::SnHelpCrcCheck, Str::SnHelpCommInterfaceSerial, Str::SnHelpDebugInterfaceSerial};
        static const Str ethernet[] = {Str::SnHelpAutoSend, Str::SnHelpAutoSendPeriod, Str::SnHelpCrcCheck};
        if (serialLayout)
            return HelpText::replace(tr(serial[row - 17]));
        return ethernetUser ? HelpText::replace(tr(ethernet[row - 17])) : HelpText::unchanged();
    }
    default: return HelpText::unchanged();
    }
}

}  // namespace veltrane
