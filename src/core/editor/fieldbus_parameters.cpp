#include "core/editor/fieldbus_parameters.h"

#include "core/model/text_value.h"

#include <algorithm>

namespace veltrane {

namespace {
using F = FieldbusField;

bool isProfibusLayout(std::int32_t type) {
    return type == device::Profibus || type == device::ProfibusFilter || type == device::Profibus7;
}

bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }

bool isHexOrBlank(char c) {
    return isDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ' ';
}

std::vector<std::string> texts(std::initializer_list<Str> ids) {
    std::vector<std::string> out;
    for (Str id : ids)
        out.push_back(tr(id));
    return out;
}

std::vector<std::string> enableDisable() { return texts({Str::Enable, Str::Disable}); }

Str titleOf(F field) {
    switch (field) {
    case F::Protocol: return Str::FbTitleProtocol;
    case F::DeviceNetAddress: return Str::FbTitleDeviceNetAddress;
    case F::DeviceNetBaudRate: return Str::FbTitleDeviceNetBaudRate;
    case F::DeviceNetInputSize: return Str::FbTitleDeviceNetInput;
    case F::DeviceNetOutputSize: return Str::FbTitleDeviceNetOutput;
    case F::ProfibusInputSize:
    case F::HardwareInputSize: return Str::FbTitleProfibusInput;
    case F::ProfibusOutputSize:
    case F::HardwareOutputSize: return Str::FbTitleProfibusOutput;
    case F::DoubleFaultClear: return Str::FbTitleDoubleFault;
    case F::TimeoutAction: return Str::FbTitleTimeoutAction;
    case F::TimeoutTimes: return Str::FbTitleTimeoutTimes;
    case F::ValidDataLength: return Str::FbTitleValidDataLength;
    case F::ConfigMode: return Str::FbTitleConfigMode;
    case F::ConfigData: return Str::FbTitleConfigData;
    case F::IpAssignMode: return Str::FbTitleIpMode;
    case F::IpAddress: return Str::FbTitleIpAddress;
    case F::SubnetMask: return Str::FbTitleSubnetMask;
    case F::DefaultGateway: return Str::FbTitleDefaultGateway;
    case F::Dns1: return Str::FbTitleDns1;
    case F::Dns2: return Str::FbTitleDns2;
    case F::InputValidDataLength: return Str::FbTitleInputValidLength;
    case F::TransactionNumber: return Str::FbTitleTransactionNo;
    case F::None: break;
    }
    return Str::Count_;
}

// Fields the user can change; the others are shown only.
bool isSetting(F field) {
    return field != F::None && field != F::Protocol && field != F::HardwareInputSize &&
           field != F::HardwareOutputSize && field != F::Dns1 && field != F::Dns2;
}

std::string orDefault(const std::string& stored, const char* shownWhenEmpty) {
    return stored.empty() ? std::string(shownWhenEmpty) : stored;
}
}  // namespace

bool isValidIpText(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == '.')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    if (parts.size() != 4)
        return false;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (part.empty() || (i < 3 && part.size() > 3))
            return false;
        if (!std::all_of(part.begin(), part.end(), isDecimalDigit))
            return false;
        if (decimalValue(part) > 255)
            return false;
    }
    return true;
}

bool isValidConfigDataText(const std::string& text) {
    if (!std::all_of(text.begin(), text.end(), isHexOrBlank))
        return false;
    for (std::size_t i = 2; i < text.size(); i += 3)
        if (text[i] != ' ')
            return false;
    return text.size() <= 24;
}

std::string timeoutChoiceLabel(const std::string& stored) {
    return stored == tr(Str::TimeoutClearChoice) ? tr(Str::TimeoutClearLabel) : stored;
}

std::string timeoutChoiceStored(const std::string& label) {
    return label == tr(Str::TimeoutClearLabel) ? tr(Str::TimeoutClearChoice) : label;
}

bool FieldbusParameters::subnet1Is(Str protocol) const { return subnet1().protocolType == tr(protocol); }

bool FieldbusParameters::bytesChoice() const {
    return m_project.fieldbus.configMode == tr(Str::ConfigUseBytesChoice);
}

FieldbusField FieldbusParameters::field(int row) const {
    if (row < 0 || row >= kFieldbusRows)
        return F::None;
    if (row == 0)
        return F::Protocol;
    const std::int32_t type = m_state.DeviceType;
    const ModelFlags& flags = m_state.flags;
    F layout[kFieldbusRows] = {F::Protocol, F::None, F::None, F::None, F::None, F::None, F::None, F::None, F::None};

    if (type == device::DeviceNet) {
        layout[1] = F::DeviceNetAddress;
        layout[2] = F::DeviceNetBaudRate;
        layout[3] = F::DeviceNetInputSize;
        layout[4] = F::DeviceNetOutputSize;
    } else if (isProfibusLayout(type)) {
        if (flags.hardwareSizedModel) {
            layout[1] = F::HardwareInputSize;
            layout[2] = F::HardwareOutputSize;
            layout[3] = F::DoubleFaultClear;
        } else if (flags.commandStatusModel || flags.userConfigOnlyModel) {
            layout[1] = F::HardwareInputSize;
            layout[2] = F::HardwareOutputSize;
            if (subnet1Is(Str::ProtocolModbusMaster)) {
                layout[3] = F::TimeoutAction;
                layout[4] = F::TimeoutTimes;
            } else if (subnet1Is(Str::ProtocolUserConfig)) {
                layout[3] = F::ValidDataLength;
            }
        } else if (!flags.dataFilterModel && !flags.configDataModel) {
            layout[1] = F::ProfibusInputSize;
            layout[2] = F::ProfibusOutputSize;
        } else {
            layout[1] = F::ProfibusInputSize;
            layout[2] = F::ProfibusOutputSize;
            layout[3] = F::ConfigMode;
            layout[4] = F::ConfigData;
        }
        if (subnet1Is(Str::ProtocolUserConfig) && type != device::ProfibusFilter)
            layout[3] = F::ValidDataLength;
    } else if (type == device::EtherNetIP) {
        layout[1] = F::IpAssignMode;
        layout[2] = F::IpAddress;
        layout[3] = F::SubnetMask;
        layout[4] = F::DefaultGateway;
        layout[5] = F::Dns1;
        layout[6] = F::Dns2;
        if (flags.singleSubnetModel) {
            layout[7] = F::InputValidDataLength;
            layout[8] = F::TransactionNumber;
        }
    } else if (type == device::ProfibusSlave || type == device::ProfibusUserConfig) {
        layout[1] = F::HardwareInputSize;
        layout[2] = F::HardwareOutputSize;
        if (type == device::ProfibusUserConfig)
            layout[3] = F::ValidDataLength;
    }
    return layout[row];
}

std::string FieldbusParameters::value(FieldbusField f) const {
    const FIELDBUS& fb = m_project.fieldbus;
    switch (f) {
    case F::Protocol: return fb.fieldbusType;
    case F::DeviceNetAddress: return fb.deviceNetAddress;
    case F::DeviceNetBaudRate: return fb.deviceNetBaudRate;
    case F::DeviceNetInputSize:
    case F::ProfibusInputSize: return fb.inputSize;
    case F::DeviceNetOutputSize:
    case F::ProfibusOutputSize: return fb.outputSize;
    case F::HardwareInputSize:
    case F::HardwareOutputSize: return tr(Str::FbHardwareConfigured);
    case F::DoubleFaultClear: return subnet1().doubleFaultClear;
    case F::TimeoutAction: return timeoutChoiceLabel(subnet1().timeoutAction);
    case F::TimeoutTimes: return subnet1().timeoutTimes;
    case F::ValidDataLength: return subnet1().validDataLength;
    case F::ConfigMode:
    case F::InputValidDataLength: return fb.configMode;
    case F::ConfigData:
    case F::TransactionNumber: return fb.configData;
    case F::IpAssignMode: return fb.ipAssignMode;
    // Empty addresses show the factory settings; they are not stored.
    case F::IpAddress: return orDefault(fb.ipAddress, "192.168.0.110");
    case F::SubnetMask: return orDefault(fb.subnetMask, "255.255.255.0");
    case F::DefaultGateway: return orDefault(fb.defaultGateway, "192.168.0.1");
    case F::Dns1: return orDefault(fb.dns1, "0.0.0.0");
    case F::Dns2: return orDefault(fb.dns2, "0.0.0.0");
    case F::None: break;
    }
    return {};
}

bool FieldbusParameters::grey(FieldbusField f) const {
    const ModelFlags& flags = m_state.flags;
    switch (f) {
    case F::Protocol:
    case F::HardwareInputSize:
    case F::HardwareOutputSize:
    case F::Dns1:
    case F::Dns2: return true;
    case F::DeviceNetBaudRate: return flags.extendedFrameModel;
    case F::TimeoutTimes: return subnet1().timeoutAction != tr(Str::TimeoutClearChoice);
    case F::ProfibusInputSize:
    // The configuration mode decides, also when a User Config subnet puts its own row in row 3.
    case F::ProfibusOutputSize: return (flags.dataFilterModel || flags.configDataModel) && !bytesChoice();
    case F::ConfigData: return bytesChoice();
    case F::IpAddress:
    case F::SubnetMask:
    case F::DefaultGateway: return m_project.fieldbus.ipAssignMode != tr(Str::IpManuallyAssign);
    case F::InputValidDataLength:
    case F::TransactionNumber: return subnet1Is(Str::ProtocolModbusMaster);
    default: break;
    }
    return false;
}

std::vector<ParameterRow> FieldbusParameters::rows() const {
    std::vector<ParameterRow> out(kFieldbusRows);
    for (int row = 0; row < kFieldbusRows; ++row) {
        const F f = field(row);
        if (f == F::None)
            continue;
        out[static_cast<std::size_t>(row)] = {tr(titleOf(f)), shownValue(value(f)), grey(f)};
    }
    return out;
}

bool FieldbusParameters::rowEditable(int row) const {
    const std::int32_t type = m_state.DeviceType;
    const ModelFlags& flags = m_state.flags;
    if (row <= 0)
        return false;
    switch (type) {
    case device::DeviceNet:
        return row <= 4 && !(row == 2 && flags.extendedFrameModel);
    case device::Profibus:
    case device::Profibus7:
        if (field(row) == F::ValidDataLength)
            return true;
        if (flags.hardwareSizedModel)
            return row == 3;
        if (flags.commandStatusModel || flags.userConfigOnlyModel)
            // The buffer rows show the hardware-configuration text here, so the rows that can be
            // changed are the timeout rows the grid shows, as on type 3.
            return row == 3 || (row == 4 && !grey(field(row)));
        if (flags.dataFilterModel || flags.configDataModel)
            return bytesChoice() ? (row >= 1 && row <= 3) : (row == 3 || row == 4);
        return row == 1 || row == 2;
    case device::ProfibusFilter:
        if (subnet1Is(Str::ProtocolUserConfig))
            return row == 3;
        if (subnet1Is(Str::ProtocolModbusMaster))
            return row == 3 || (row == 4 && flags.commandStatusModel &&
                                subnet1().timeoutAction == tr(Str::TimeoutClearChoice));
        return false;
    case device::EtherNetIP:
        if (row == 1)
            return true;
        if (row >= 2 && row <= 4)
            return m_project.fieldbus.ipAssignMode == tr(Str::IpManuallyAssign);
        if (row == 7 || row == 8)
            return flags.singleSubnetModel && subnet1Is(Str::ProtocolUserConfig);
        return false;
    case device::ProfibusUserConfig:
        return row == 3;
    default:
        return false;
    }
}

bool FieldbusParameters::editable(int row) const { return isSetting(field(row)) && rowEditable(row); }

std::vector<std::string> FieldbusParameters::options(int row) const {
    const bool large = m_state.flags.largeBufferModel;
    switch (field(row)) {
    case F::DeviceNetBaudRate:
        return texts({Str::BaudDeviceNet125K, Str::BaudDeviceNet250K, Str::BaudDeviceNet500K, Str::BaudAutoListeners});
    case F::DeviceNetInputSize: {
        std::vector<std::string> sizes{"8", "16", "32", "64", "96"};
        if (!large)
            sizes.insert(sizes.end(), {"128", "160"});
        return sizes;
    }
    case F::DeviceNetOutputSize: {
        std::vector<std::string> sizes{"8", "16", "32", "64"};
        if (!large)
            sizes.insert(sizes.end(), {"96", "112"});
        return sizes;
    }
    case F::ProfibusInputSize:
    case F::ProfibusOutputSize: return {"8", "16", "48", "112"};
    case F::DoubleFaultClear:
    case F::ValidDataLength: return enableDisable();
    case F::TimeoutAction: return texts({Str::TimeoutClearLabel, Str::TimeoutHoldChoice});
    case F::ConfigMode: return texts({Str::ConfigUseBytesChoice, Str::ConfigInputData});
    case F::IpAssignMode: return texts({Str::IpManuallyAssign, Str::IpBOOTP, Str::IpDHCP});
    case F::InputValidDataLength:
    case F::TransactionNumber:
        if (subnet1Is(Str::ProtocolUserConfig))
            return enableDisable();
        return {};
    default: return {};
    }
}

std::string* FieldbusParameters::storage(FieldbusField f) {
    FIELDBUS& fb = m_project.fieldbus;
    CONFIG& s1 = m_project.subnets[0];
    switch (f) {
    case F::DeviceNetAddress: return &fb.deviceNetAddress;
    case F::DeviceNetBaudRate: return &fb.deviceNetBaudRate;
    case F::DeviceNetInputSize:
    case F::ProfibusInputSize: return &fb.inputSize;
    case F::DeviceNetOutputSize:
    case F::ProfibusOutputSize: return &fb.outputSize;
    case F::DoubleFaultClear: return &s1.doubleFaultClear;
    case F::TimeoutAction: return &s1.timeoutAction;
    case F::TimeoutTimes: return &s1.timeoutTimes;
    case F::ValidDataLength: return &s1.validDataLength;
    case F::ConfigMode:
    case F::InputValidDataLength: return &fb.configMode;
    case F::ConfigData:
    case F::TransactionNumber: return &fb.configData;
    case F::IpAssignMode: return &fb.ipAssignMode;
    case F::IpAddress: return &fb.ipAddress;
    case F::SubnetMask: return &fb.subnetMask;
    case F::DefaultGateway: return &fb.defaultGateway;
    case F::Dns1: return &fb.dns1;
    case F::Dns2: return &fb.dns2;
    default: return nullptr;
    }
}

bool FieldbusParameters::commitOption(int row, const std::string& text) {
    if (!editable(row))
        return false;
    const F f = field(row);
    const std::vector<std::string> choices = options(row);
    std::string stored = text;
    if (f == F::TimeoutAction) {
        // The stored spelling is accepted too, so scripts that copy a file's value still work.
        stored = timeoutChoiceStored(timeoutChoiceLabel(text));
        if (std::find(choices.begin(), choices.end(), timeoutChoiceLabel(stored)) == choices.end())
            return false;
    } else if (std::find(choices.begin(), choices.end(), text) == choices.end()) {
        return false;
    }
    std::string* target = storage(f);
    if (target == nullptr)
        return false;
    *target = stored;
    return true;
}

std::string FieldbusParameters::commitEdit(int row, const std::string& editText) {
    const F f = field(row);
    const std::string shown = shownValue(value(f));
    if (!editable(row) || !options(row).empty())
        return shown;
    std::string* target = storage(f);
    if (target == nullptr)
        return shown;
    bool accepted = false;
    std::string stored = editText;
    switch (f) {
    case F::DeviceNetAddress: {
        const std::int32_t address = decimalValue(editText);
        accepted = isCanonical(editText) && address >= 0 && address <= 63;
        break;
    }
    case F::IpAddress:
    case F::SubnetMask:
    case F::DefaultGateway:
    case F::Dns1:
    case F::Dns2: accepted = isValidIpText(editText); break;
    case F::ConfigData: accepted = isValidConfigDataText(editText); break;
    case F::TimeoutTimes: {
        const std::int32_t times = decimalValue(editText);
        accepted = times >= 2 && times <= 254 && std::any_of(editText.begin(), editText.end(), isDecimalDigit);
        stored = decimalText(times);  // a download sends the number, so store it as one
        break;
    }
    default: break;
    }
    if (!accepted)
        return shown;
    *target = stored;
    return shownValue(value(f));
}

HelpText FieldbusParameters::help(int row) const {
    const std::int32_t type = m_state.DeviceType;
    const ModelFlags& flags = m_state.flags;
    if (row == 0)
        return HelpText::replace(tr(Str::FbHelpProtocol));
    const bool filter = flags.dataFilterModel || flags.configDataModel;
    switch (type) {
    case device::DeviceNet:
        switch (row) {
        case 1: return HelpText::replace(tr(Str::FbHelpDeviceNetAddress));
        case 2: return HelpText::replace(tr(Str::FbHelpDeviceNetBaudRate));
        case 3: return HelpText::replace(tr(Str::FbHelpDeviceNetInput));
        case 4: return HelpText::replace(tr(Str::FbHelpDeviceNetOutput));
        default: return HelpText::clear();
        }
    case device::Profibus:
    case device::ProfibusFilter:
    case device::Profibus7:
        switch (row) {
        case 1: return HelpText::replace(tr(Str::FbHelpProfibusInput));
        case 2: return HelpText::replace(tr(Str::FbHelpProfibusOutput));
        case 3:
            if (type == device::ProfibusFilter && subnet1Is(Str::ProtocolUserConfig))
                return HelpText::replace(tr(Str::FbHelpValidDataLength));
            if (flags.hardwareSizedModel)
                return HelpText::replace(tr(Str::FbHelpDoubleFault));
            if (flags.commandStatusModel) {
                if (subnet1Is(Str::ProtocolModbusMaster))
                    return HelpText::replace(tr(Str::FbHelpTimeoutAction));
                if (subnet1Is(Str::ProtocolUserConfig))
                    return HelpText::replace(tr(Str::FbHelpDoubleFault));
                return HelpText::clear();
            }
            if (filter)
                return HelpText::replace(tr(Str::FbHelpConfigMode));
            return HelpText::clear();
        case 4:
            if (filter)
                return HelpText::replace(tr(Str::FbHelpConfigData));
            if (flags.commandStatusModel && subnet1Is(Str::ProtocolModbusMaster))
                return HelpText::replace(tr(Str::FbHelpTimeoutTimes));
            return HelpText::clear();
        default: return HelpText::clear();
        }
    case device::EtherNetIP: {
        static const Str ipHelp[] = {Str::FbHelpIpMode,         Str::FbHelpIpAddress, Str::FbHelpSubnetMask,
                                     Str::FbHelpDefaultGateway, Str::FbHelpDns1,      Str::FbHelpDns2};
        if (row >= 1 && row <= 6)
            return HelpText::replace(tr(ipHelp[row - 1]));
        if ((row == 7 || row == 8) && flags.singleSubnetModel)
            return HelpText::replace(tr(row == 7 ? Str::FbHelpInputValidLength : Str::FbHelpTransactionNo));
        return HelpText::clear();
    }
    case device::ProfibusSlave:
    case device::ProfibusUserConfig:
        if (row == 1)
            return HelpText::replace(tr(Str::FbHelpProfibusInput));
        if (row == 2)
            return HelpText::replace(tr(Str::FbHelpProfibusOutput));
        if (row == 3 && subnet1Is(Str::ProtocolUserConfig))
            return HelpText::replace(tr(Str::FbHelpValidDataLength));
        return HelpText::clear();
    default:
        return HelpText::unchanged();
    }
}

}  // namespace veltrane
