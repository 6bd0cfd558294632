#include "core/editor/fieldbus_parameters.h"
#include "core/editor/row_provider.h"
#include "core/model/subnet_protocol.h"

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

bool subnet1Is(const Project& project, SubnetProtocol protocol) { return protocolOf(project.subnets[0]) == protocol; }

bool bytesChoice(const Project& project) { return project.fieldbus.configMode == tr(Str::ConfigUseBytesChoice); }

constexpr std::int32_t kLastDeviceNetAddress = 63;
constexpr std::int32_t kFewestTimeouts = 2;
constexpr std::int32_t kMostTimeouts = 254;

bool acceptDeviceNetAddress(const std::string& editText, std::string&) {
    const std::int32_t address = decimalValue(editText);
    return isCanonical(editText) && address >= 0 && address <= kLastDeviceNetAddress;
}

bool acceptIp(const std::string& editText, std::string&) { return isValidIpText(editText); }

bool acceptConfigData(const std::string& editText, std::string&) { return isValidConfigDataText(editText); }

bool acceptTimeoutTimes(const std::string& editText, std::string& stored) {
    const std::int32_t times = decimalValue(editText);
    stored = decimalText(times);  // a download sends the number, so store it as one
    return times >= kFewestTimeouts && times <= kMostTimeouts &&
           std::any_of(editText.begin(), editText.end(), isDecimalDigit);
}

// What a row with this rule takes, for the note about a refused value; empty: no note.
std::string acceptedInput(bool (*accept)(const std::string&, std::string&)) {
    if (accept == acceptDeviceNetAddress)
        return acceptedRange(0, kLastDeviceNetAddress);
    if (accept == acceptTimeoutTimes)
        return acceptedRange(kFewestTimeouts, kMostTimeouts);
    if (accept == acceptConfigData)
        return tr(Str::AcceptedConfigData);
    if (accept == acceptIp)
        return tr(Str::AcceptedIpAddress);
    return {};
}

// Empty addresses show the factory settings; they are not stored.
constexpr const char* kFactoryIp = "192.168.0.110";
constexpr const char* kFactoryMask = "255.255.255.0";
constexpr const char* kFactoryGateway = "192.168.0.1";
constexpr const char* kNoDns = "0.0.0.0";

using Options = std::vector<std::string> (*)(const Project&, const ProjectState&);
using Grey = bool (*)(const Project&, const ProjectState&);
using Accept = bool (*)(const std::string& editText, std::string& stored);

// Everything about one fieldbus setting; which row shows it is the layout's business (field()).
struct FieldbusFieldInfo {
    F field;
    Str title;
    std::string* (*stored)(Project&);  // null: shows `fixed` and is never stored
    bool setting;                      // the user can change it (when its row is editable)
    Options options;                   // null: the edit box
    Grey grey;                         // null: white
    Accept accept;                     // edit-box rule; null: typed texts are not stored
    const char* shownWhenEmpty = nullptr;
    Str fixed = Str::Count_;
};

std::string* fbField(Project& p, std::string FIELDBUS::*member) { return &(p.fieldbus.*member); }
std::string* s1Field(Project& p, std::string CONFIG::*member) { return &(p.subnets[0].*member); }

#define VELTRANE_FB(member) [](Project& p) { return fbField(p, &FIELDBUS::member); }
#define VELTRANE_S1(member) [](Project& p) { return s1Field(p, &CONFIG::member); }

const std::vector<FieldbusFieldInfo>& fieldTable() {
    const Grey always = [](const Project&, const ProjectState&) { return true; };
    const Grey unlessManualIp = [](const Project& p, const ProjectState&) {
        return p.fieldbus.ipAssignMode != tr(Str::IpManuallyAssign);
    };
    // The configuration mode decides, also when a User Config subnet puts its own row in row 3.
    const Grey sizesByConfigMode = [](const Project& p, const ProjectState& s) {
        return (s.flags.dataFilterModel || s.flags.configDataModel) && !bytesChoice(p);
    };
    const Grey whileMaster = [](const Project& p, const ProjectState&) {
        return subnet1Is(p, SubnetProtocol::ModbusMaster);
    };
    const Options enableDisableOptions = [](const Project&, const ProjectState&) { return enableDisable(); };
    const Options userConfigSwitch = [](const Project& p, const ProjectState&) {
        return subnet1Is(p, SubnetProtocol::UserConfig) ? enableDisable() : std::vector<std::string>{};
    };
    const Options profibusSizes = [](const Project&, const ProjectState&) {
        return std::vector<std::string>{"8", "16", "48", "112"};
    };
    static const std::vector<FieldbusFieldInfo> table = {
        {F::Protocol, Str::FbTitleProtocol, VELTRANE_FB(fieldbusType), false, nullptr, always, nullptr},
        {F::DeviceNetAddress, Str::FbTitleDeviceNetAddress, VELTRANE_FB(deviceNetAddress), true, nullptr, nullptr,
         acceptDeviceNetAddress},
        {F::DeviceNetBaudRate, Str::FbTitleDeviceNetBaudRate, VELTRANE_FB(deviceNetBaudRate), true,
         [](const Project&, const ProjectState&) {
             return texts({Str::BaudDeviceNet125K, Str::BaudDeviceNet250K, Str::BaudDeviceNet500K,
                           Str::BaudAutoListeners});
         },
         [](const Project&, const ProjectState& s) { return s.flags.extendedFrameModel; }, nullptr},
        {F::DeviceNetInputSize, Str::FbTitleDeviceNetInput, VELTRANE_FB(inputSize), true,
         [](const Project&, const ProjectState& s) {
             std::vector<std::string> sizes{"8", "16", "32", "64", "96"};
             if (!s.flags.largeBufferModel)
                 sizes.insert(sizes.end(), {"128", "160"});
             return sizes;
         },
         nullptr, nullptr},
        {F::DeviceNetOutputSize, Str::FbTitleDeviceNetOutput, VELTRANE_FB(outputSize), true,
         [](const Project&, const ProjectState& s) {
             std::vector<std::string> sizes{"8", "16", "32", "64"};
             if (!s.flags.largeBufferModel)
                 sizes.insert(sizes.end(), {"96", "112"});
             return sizes;
         },
         nullptr, nullptr},
        {F::ProfibusInputSize, Str::FbTitleProfibusInput, VELTRANE_FB(inputSize), true, profibusSizes,
         sizesByConfigMode, nullptr},
        {F::ProfibusOutputSize, Str::FbTitleProfibusOutput, VELTRANE_FB(outputSize), true, profibusSizes,
         sizesByConfigMode, nullptr},
        {F::HardwareInputSize, Str::FbTitleProfibusInput, nullptr, false, nullptr, always, nullptr, nullptr,
         Str::FbHardwareConfigured},
        {F::HardwareOutputSize, Str::FbTitleProfibusOutput, nullptr, false, nullptr, always, nullptr, nullptr,
         Str::FbHardwareConfigured},
        {F::DoubleFaultClear, Str::FbTitleDoubleFault, VELTRANE_S1(doubleFaultClear), true, enableDisableOptions,
         nullptr, nullptr},
        {F::TimeoutAction, Str::FbTitleTimeoutAction, VELTRANE_S1(timeoutAction), true,
         [](const Project&, const ProjectState&) { return texts({Str::TimeoutClearLabel, Str::TimeoutHoldChoice}); },
         nullptr, nullptr},
        {F::TimeoutTimes, Str::FbTitleTimeoutTimes, VELTRANE_S1(timeoutTimes), true, nullptr,
         [](const Project& p, const ProjectState&) {
             return p.subnets[0].timeoutAction != tr(Str::TimeoutClearChoice);
         },
         acceptTimeoutTimes},
        {F::ValidDataLength, Str::FbTitleValidDataLength, VELTRANE_S1(validDataLength), true, enableDisableOptions,
         nullptr, nullptr},
        {F::ConfigMode, Str::FbTitleConfigMode, VELTRANE_FB(configMode), true,
         [](const Project&, const ProjectState&) { return texts({Str::ConfigUseBytesChoice, Str::ConfigInputData}); },
         nullptr, nullptr},
        {F::ConfigData, Str::FbTitleConfigData, VELTRANE_FB(configData), true, nullptr,
         [](const Project& p, const ProjectState&) { return bytesChoice(p); }, acceptConfigData},
        {F::IpAssignMode, Str::FbTitleIpMode, VELTRANE_FB(ipAssignMode), true,
         [](const Project&, const ProjectState&) { return texts({Str::IpManuallyAssign, Str::IpBOOTP, Str::IpDHCP}); },
         nullptr, nullptr},
        {F::IpAddress, Str::FbTitleIpAddress, VELTRANE_FB(ipAddress), true, nullptr, unlessManualIp, acceptIp,
         kFactoryIp},
        {F::SubnetMask, Str::FbTitleSubnetMask, VELTRANE_FB(subnetMask), true, nullptr, unlessManualIp, acceptIp,
         kFactoryMask},
        {F::DefaultGateway, Str::FbTitleDefaultGateway, VELTRANE_FB(defaultGateway), true, nullptr, unlessManualIp,
         acceptIp, kFactoryGateway},
        {F::Dns1, Str::FbTitleDns1, VELTRANE_FB(dns1), false, nullptr, always, acceptIp, kNoDns},
        {F::Dns2, Str::FbTitleDns2, VELTRANE_FB(dns2), false, nullptr, always, acceptIp, kNoDns},
        {F::InputValidDataLength, Str::FbTitleInputValidLength, VELTRANE_FB(configMode), true, userConfigSwitch,
         whileMaster, nullptr},
        {F::TransactionNumber, Str::FbTitleTransactionNo, VELTRANE_FB(configData), true, userConfigSwitch,
         whileMaster, nullptr},
    };
    return table;
}

#undef VELTRANE_FB
#undef VELTRANE_S1

const FieldbusFieldInfo* infoOf(F field) {
    for (const FieldbusFieldInfo& info : fieldTable())
        if (info.field == field)
            return &info;
    return nullptr;
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

bool FieldbusParameters::subnet1Is(SubnetProtocol protocol) const { return protocolOf(subnet1()) == protocol; }

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
            if (subnet1Is(SubnetProtocol::ModbusMaster)) {
                layout[3] = F::TimeoutAction;
                layout[4] = F::TimeoutTimes;
            } else if (subnet1Is(SubnetProtocol::UserConfig)) {
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
        if (subnet1Is(SubnetProtocol::UserConfig) && type != device::ProfibusFilter)
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
    const FieldbusFieldInfo* info = infoOf(f);
    if (info == nullptr)
        return {};
    if (info->stored == nullptr)
        return tr(info->fixed);
    const std::string& stored = *info->stored(m_project);
    if (f == F::TimeoutAction)
        return timeoutChoiceLabel(stored);
    return stored.empty() && info->shownWhenEmpty != nullptr ? std::string(info->shownWhenEmpty) : stored;
}

bool FieldbusParameters::grey(FieldbusField f) const {
    const FieldbusFieldInfo* info = infoOf(f);
    return info != nullptr && info->grey != nullptr && info->grey(m_project, m_state);
}

std::vector<ParameterRow> FieldbusParameters::rows() const {
    std::vector<ParameterRow> out(kFieldbusRows);
    for (int row = 0; row < kFieldbusRows; ++row) {
        const F f = field(row);
        if (f == F::None)
            continue;
        out[static_cast<std::size_t>(row)] = {tr(infoOf(f)->title), shownValue(value(f)), grey(f)};
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
        if (subnet1Is(SubnetProtocol::UserConfig))
            return row == 3;
        if (subnet1Is(SubnetProtocol::ModbusMaster))
            return row == 3 || (row == 4 && flags.commandStatusModel &&
                                subnet1().timeoutAction == tr(Str::TimeoutClearChoice));
        return false;
    case device::EtherNetIP:
        if (row == 1)
            return true;
        if (row >= 2 && row <= 4)
            return m_project.fieldbus.ipAssignMode == tr(Str::IpManuallyAssign);
        if (row == 7 || row == 8)
            return flags.singleSubnetModel && subnet1Is(SubnetProtocol::UserConfig);
        return false;
    case device::ProfibusUserConfig:
        return row == 3;
    default:
        return false;
    }
}

bool FieldbusParameters::editable(int row) const {
    const FieldbusFieldInfo* info = infoOf(field(row));
    return info != nullptr && info->setting && rowEditable(row);
}

std::vector<std::string> FieldbusParameters::options(int row) const {
    const FieldbusFieldInfo* info = infoOf(field(row));
    if (info == nullptr || info->options == nullptr)
        return {};
    return info->options(m_project, m_state);
}

std::string* FieldbusParameters::storage(FieldbusField f) {
    const FieldbusFieldInfo* info = infoOf(f);
    return info == nullptr || info->stored == nullptr || f == F::Protocol ? nullptr : info->stored(m_project);
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

std::string FieldbusParameters::commitEdit(int row, const std::string& editText, std::string* refusedAccepts) {
    const F f = field(row);
    const std::string shown = shownValue(value(f));
    if (!editable(row) || !options(row).empty())
        return shown;
    std::string* target = storage(f);
    if (target == nullptr)
        return shown;
    std::string stored = editText;
    const Accept accept = infoOf(f)->accept;
    const bool accepted = accept != nullptr && accept(editText, stored);
    if (!accepted) {
        if (refusedAccepts != nullptr)
            *refusedAccepts = acceptedInput(accept);
        return shown;
    }
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
            if (type == device::ProfibusFilter && subnet1Is(SubnetProtocol::UserConfig))
                return HelpText::replace(tr(Str::FbHelpValidDataLength));
            if (flags.hardwareSizedModel)
                return HelpText::replace(tr(Str::FbHelpDoubleFault));
            if (flags.commandStatusModel) {
                if (subnet1Is(SubnetProtocol::ModbusMaster))
                    return HelpText::replace(tr(Str::FbHelpTimeoutAction));
                if (subnet1Is(SubnetProtocol::UserConfig))
                    return HelpText::replace(tr(Str::FbHelpDoubleFault));
                return HelpText::clear();
            }
            if (filter)
                return HelpText::replace(tr(Str::FbHelpConfigMode));
            return HelpText::clear();
        case 4:
            if (filter)
                return HelpText::replace(tr(Str::FbHelpConfigData));
            if (flags.commandStatusModel && subnet1Is(SubnetProtocol::ModbusMaster))
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
        if (row == 3 && subnet1Is(SubnetProtocol::UserConfig))
            return HelpText::replace(tr(Str::FbHelpValidDataLength));
        return HelpText::clear();
    default:
        return HelpText::unchanged();
    }
}

}  // namespace veltrane
