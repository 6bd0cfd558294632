// The rows of a command item: the Modbus request and where its data lie in the gateway's buffers.
#include "core/common/hex.h"
#include "core/editor/editor.h"
#include "core/editor/row_provider.h"
#include "core/mapping/buffer_layout.h"
#include "core/mapping/byte_count_rules.h"
#include "core/model/function_code.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace veltrane {

namespace {

enum Row {
    kSlaveAddressRow = 0,
    kFunctionCodeRow,
    kStartingAddressRow,
    kNumberOfDataRow,
    kMappingAddressRow,
    kMappingBitRow,
    kNumberOfBytesRow,
    kFilterOrSwapRow,
    kCheckRow,
    kScanRow,
};

struct Range {
    std::uint32_t low;
    std::uint32_t high;
    bool contains(std::uint32_t v) const { return v >= low && v <= high; }
};

bool usesDataFilter(const ProjectState& state) {
    return state.DeviceType == device::ProfibusFilter || state.flags.dataFilterModel;
}

// The largest number of data a command may have, and the message shown above it.
struct DataLimit {
    std::int32_t maximum;
    std::optional<Str> message;
};

std::optional<DataLimit> dataLimit(const ProjectState& state, const FunctionCodeInfo& code) {
    const bool registers = code.multipleRegisters();
    const bool bits = code.multipleBits();
    if (!registers && !bits)
        return std::nullopt;
    if (registers && state.flags.hardwareSizedModel)
        return DataLimit{84, std::nullopt};
    switch (state.DeviceType) {
    case device::DeviceNet:
        return DataLimit{registers ? 36 : 400, std::nullopt};
    case device::Profibus:
    case device::ProfibusFilter:
    case device::Profibus7:
        return DataLimit{registers ? 56 : 400, std::nullopt};
    case device::FourSubnets:
        return DataLimit{registers ? 127 : 2000, std::nullopt};
    case device::EtherNetIP:
        return registers ? DataLimit{100, Str::MsgRegisterLimit} : DataLimit{400, Str::MsgCoilLimit};
    default:
        return std::nullopt;
    }
}

// The buffer ranges a mapping address may lie in; none for device types without a known buffer.
std::vector<Range> mappingRanges(const ProjectState& state, const FunctionCodeInfo& code) {
    const bool read = code.read;
    switch (state.DeviceType) {
    case device::DeviceNet:
        if (read)
            return {{0x0002, 0x009F}};
        return {{0x0000, 0x009F}, {0x4000, 0x406F}};
    case device::Profibus:
    case device::ProfibusFilter:
    case device::Profibus7:
    // Types 5 and 6 are PROFIBUS gateways too; their buffers are taken to be those of type 1.
    case device::ProfibusSlave:
    case device::ProfibusUserConfig: {
        std::uint32_t size = 0x70;
        if (state.flags.hardwareSizedModel)
            size = 0xA8;
        else if (state.flags.commandStatusModel)
            size = 0xE0;
        if (read)
            return {{0x0000, size - 1}};
        return {{0x0000, size - 1}, {0x4000, 0x4000 + size - 1}};
    }
    case device::FourSubnets:
        if (read)
            return {{0x0000, 0x0BFF}};
        return {{0x0000, 0x0BFF}, {0x4000, 0x4BFF}};
    case device::EtherNetIP:
        if (read)
            return {{0x0000, 0x01EB}};
        return {{0x4000, 0x41EB}};
    default:
        return {};
    }
}

class CommandRows : public RowProvider {
public:
    void fillRows(Editor& editor) override {
        INSTRUCTION* command = selectedCommand(editor);
        if (command == nullptr)
            return;
        // A command always shows its node's current address.
        CONFIG& subnet = editor.subnet(editor.view().subnetIndex);
        if (command->nodeIndex >= 1 && command->nodeIndex <= std::clamp(subnet.nodeCount, 0, kMaxNodes))
            command->slaveAddress = subnet.nodes[static_cast<std::size_t>(command->nodeIndex - 1)].address;

        const ProjectState& state = editor.state();
        const FunctionCodeInfo& code = functionCodeInfo(command->functionCode);
        ParameterGrid& grid = editor.grid();
        grid.setRow(kSlaveAddressRow, tr(Str::RowSlaveAddress), shownValue(command->slaveAddress),
                    GridCellColour::Grey);
        grid.setRow(kFunctionCodeRow, tr(Str::RowFunctionCode), command->functionCode, GridCellColour::Grey);
        grid.setRow(kStartingAddressRow, tr(Str::RowStartingAddress), shownValue(command->startAddress),
                    GridCellColour::White);
        grid.setRow(kNumberOfDataRow, tr(Str::RowNumberOfData), shownValue(command->dataCount),
                    code.single() ? GridCellColour::Grey : GridCellColour::White);
        const std::string& mapping = command->mappingAddress;
        grid.setRow(kMappingAddressRow, tr(Str::RowMappingAddress),
                    mapping.empty() || mapping == "-1" ? std::string() : mapping + "H",
                    GridCellColour::White);
        grid.setRow(kMappingBitRow, tr(Str::RowMappingBit), shownValue(command->mappingBit),
                    code.registers() ? GridCellColour::Grey : GridCellColour::White);
        grid.setRow(kNumberOfBytesRow, tr(Str::RowNumberOfBytes), shownValue(command->byteCount),
                    GridCellColour::Grey);
        const Str filterTitle = usesDataFilter(state) ? Str::RowDataFilter : Str::RowByteSwap;
        if (filterFixed(state, code))
            grid.setRow(kFilterOrSwapRow, tr(filterTitle),
                        tr(usesDataFilter(state) ? Str::FilterWord : Str::SwapNone), GridCellColour::Grey);
        else
            grid.setRow(kFilterOrSwapRow, tr(filterTitle), command->filterOrSwap, GridCellColour::White);
        grid.setRow(kCheckRow, tr(Str::RowTypeOfCheck), command->checkType, GridCellColour::Grey);
        grid.setRow(kScanRow, tr(Str::RowTypeOfScan), command->scanType, GridCellColour::White);
    }

    bool isEditable(const Editor& editor, int row) const override {
        const INSTRUCTION* command = selectedCommand(editor);
        if (command == nullptr)
            return false;
        const FunctionCodeInfo& code = functionCodeInfo(command->functionCode);
        switch (row) {
        case kStartingAddressRow:
        case kMappingAddressRow:
        case kScanRow:
            return true;
        case kNumberOfDataRow:
            return !code.single();
        case kMappingBitRow:
            return code.bits;
        case kFilterOrSwapRow:
            return !filterFixed(editor.state(), code);
        default:
            return false;
        }
    }

    std::vector<std::string> optionsFor(const Editor& editor, int row) const override {
        const INSTRUCTION* command = selectedCommand(editor);
        if (command == nullptr)
            return {};
        if (row == kScanRow)
            return {tr(Str::ScanFast), tr(Str::ScanSlow)};
        if (row != kFilterOrSwapRow)
            return {};
        const ProjectState& state = editor.state();
        if (usesDataFilter(state))
            return {tr(Str::FilterWord), tr(Str::FilterHiByte), tr(Str::FilterLowByte)};
        if (functionCodeOfText(command->functionCode) == FunctionCode::PresetSingleRegister && state.DeviceType == device::EtherNetIP)
            return {tr(Str::SwapNone), tr(Str::SwapTwoBytes)};
        return {tr(Str::SwapNone), tr(Str::SwapTwoBytes), tr(Str::SwapFourBytes)};
    }

    bool commitOption(Editor& editor, int row, const std::string& text) override {
        INSTRUCTION* command = selectedCommand(editor);
        if (command == nullptr)
            return true;
        if (row == kFilterOrSwapRow)
            command->filterOrSwap = text;
        else if (row == kScanRow)
            command->scanType = text;
        return true;
    }

    void commitEdit(Editor& editor, int row, std::string& editText) override {
        INSTRUCTION* command = selectedCommand(editor);
        if (command == nullptr)
            return;
        switch (row) {
        case kStartingAddressRow:
            commitStartingAddress(editor, *command, editText);
            break;
        case kNumberOfDataRow:
            commitNumberOfData(editor, *command, editText);
            break;
        case kMappingAddressRow:
            commitMappingAddress(editor, *command, editText);
            break;
        case kMappingBitRow:
            commitMappingBit(editor, *command, editText);
            break;
        default:
            break;
        }
    }

    HelpText helpFor(const Editor& editor, int row) const override {
        const ProjectState& state = editor.state();
        switch (row) {
        case kSlaveAddressRow:
            return HelpText::replace(tr(Str::HelpCommandSlaveAddress));
        case kFunctionCodeRow:
            return HelpText::replace(tr(Str::HelpFunctionCode));
        case kStartingAddressRow:
            return HelpText::replace(tr(Str::HelpStartingAddress));
        case kNumberOfDataRow:
            return HelpText::replace(tr(Str::HelpNumberOfData));
        case kMappingAddressRow:
            return HelpText::replace(tr(state.flags.hardwareSizedModel ? Str::HelpMappingAddressHardwareSized
                                                                       : Str::HelpMappingAddress));
        case kMappingBitRow:
            return HelpText::replace(tr(Str::HelpMappingBit));
        case kNumberOfBytesRow:
            return HelpText::replace(tr(Str::HelpNumberOfBytes));
        case kFilterOrSwapRow:
            if (state.DeviceType == device::ProfibusFilter)
                return HelpText::replace(tr(Str::HelpDataFilterProfibus));
            return HelpText::replace(
                tr(state.flags.dataFilterModel ? Str::HelpDataFilter : Str::HelpByteSwap));
        case kScanRow:
            return HelpText::replace(tr(Str::HelpScanType));
        default:
            return HelpText::clear();
        }
    }

private:
    static INSTRUCTION* selectedCommand(Editor& editor) {
        CONFIG& subnet = editor.subnet(editor.view().subnetIndex);
        const int c = editor.view().selectedCommandIndex;
        if (c < 1 || c > std::clamp(subnet.commandCount, 0, kMaxCommands))
            return nullptr;
        return &subnet.commands[static_cast<std::size_t>(c - 1)];
    }
    static const INSTRUCTION* selectedCommand(const Editor& editor) {
        return selectedCommand(const_cast<Editor&>(editor));
    }

    // The data filter / byte swap is fixed for bit commands, and for single and multiple register
    // writes when the gateway filters instead of swapping.
    static bool filterFixed(const ProjectState& state, const FunctionCodeInfo& code) {
        if (code.bits)
            return true;
        return code.write() && usesDataFilter(state);
    }

    static void showBytes(Editor& editor, const INSTRUCTION& command) {
        if (editor.selectionUnchanged())
            editor.grid().setText(kNumberOfBytesRow, 1, shownValue(command.byteCount));
    }

    static void recomputeBytes(INSTRUCTION& command) {
        const std::int64_t data = decimalValue(command.dataCount);
        // An unset bit ("-1") counts as bit 0, so one coil never needs zero bytes.
        const std::int64_t bit = std::max(0, decimalValue(command.mappingBit));
        const FunctionCodeInfo& code = functionCodeInfo(command.functionCode);
        if (code.multipleBits())
            command.byteCount = decimalText(mappedByteCount(bit, data));
        else if (code.multipleRegisters())
            command.byteCount = decimalText(2 * data);
    }

    // Device type 4 refuses a command whose bytes would run past the end of its buffer.
    static bool fitsBuffer(const INSTRUCTION& command) {
        const std::int64_t a = hexValue(command.mappingAddress);
        const std::int64_t b = decimalValue(command.byteCount);
        const FunctionCodeInfo& code = functionCodeInfo(command.functionCode);
        if (code.read)
            return a + b <= kInputBufferLast;
        if (code.write())
            return a + b <= kOutputBufferLast;
        return true;
    }

    static void commitStartingAddress(Editor& editor, INSTRUCTION& command, std::string& editText) {
        constexpr std::int32_t kLowest = 0;
        constexpr std::int32_t kHighest = 65535;
        const auto inRange = [](const std::string& text) {
            const std::int32_t v = decimalValue(text);
            return v >= kLowest && v <= kHighest;
        };
        if (!isCanonical(editText) || !inRange(editText)) {
            // Only the typed address is offered for conversion, never the stored one it fell back to.
            editText = command.startAddress;
            editor.refuseInput(acceptedRange(kLowest, kHighest));
            return;
        }
        command.startAddress = editText;
        if (!editor.selectionUnchanged())
            return;
        const std::int32_t v = decimalValue(editText);
        const std::int32_t base = functionCodeInfo(command.functionCode).plcBase;
        if (base < 0 || v <= base || v >= base + 10000)
            return;
        const std::int32_t converted = v - base - 1;
        if (editor.prompter().ask(tr(Str::AskPlcAddress), Buttons::OkCancel) != Answer::Ok)
            return;
        editText = decimalText(converted);
        if (inRange(editText))
            command.startAddress = editText;
        else
            editText = command.startAddress;
    }

    static void commitNumberOfData(Editor& editor, INSTRUCTION& command, std::string& editText) {
        const ProjectState& state = editor.state();
        const std::int32_t n = decimalValue(editText);
        const std::optional<DataLimit> limit = dataLimit(state, functionCodeInfo(command.functionCode));
        const auto refuse = [&] {
            editor.refuseInput(limit ? acceptedRange(1, limit->maximum) : format(Str::AcceptedAtLeast, {"1"}));
        };
        if (n <= 0) {
            editText = command.dataCount;
            showBytes(editor, command);
            refuse();
        } else if (!isCanonicalForm(editText)) {
            editText = command.dataCount;
            refuse();
        } else {
            // A numeral too large for the value type is still a number, and above every limit.
            const bool beyondType = !isCanonical(editText);
            if (beyondType || (limit && n > limit->maximum)) {
                editText = command.dataCount;
                if (limit && limit->message)
                    editor.prompter().message(tr(*limit->message));
                else
                    refuse();
            } else {
                command.dataCount = editText;
            }
            if (decimalValue(editText) > 0) {
                recomputeBytes(command);
                showBytes(editor, command);
            }
        }
        if (state.DeviceType == device::EtherNetIP && !fitsBuffer(command)) {
            editor.withdrawRefusal();
            editor.prompter().message(tr(Str::MsgDataTooLarge));
            editText.clear();
            command.dataCount = "0";
        }
    }

    static void commitMappingAddress(Editor& editor, INSTRUCTION& command, std::string& editText) {
        const ProjectState& state = editor.state();
        std::string lower = editText;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        const std::uint32_t v = hexValue(lower);
        const std::string canonical = hexNumberText(v);
        const std::vector<Range> ranges = mappingRanges(state, functionCodeInfo(command.functionCode));
        const auto refuse = [&] {
            std::string accepted;
            for (const Range& r : ranges) {
                if (!accepted.empty())
                    accepted += tr(Str::AcceptedRangeJoin);
                accepted += format(Str::AcceptedRange, {hexNumberText(r.low) + "H", hexNumberText(r.high) + "H"});
            }
            editor.refuseInput(accepted);
        };
        if (lower != canonical && lower != canonical + "h") {
            editText = command.mappingAddress;
            refuse();
        } else {
            editText = canonical;
            const bool inside =
                std::any_of(ranges.begin(), ranges.end(), [v](const Range& r) { return r.contains(v); });
            if (inside) {
                command.mappingAddress = editText;
            } else {
                editText = command.mappingAddress;
                refuse();
            }
        }
        if (state.DeviceType == device::EtherNetIP && !fitsBuffer(command)) {
            editor.withdrawRefusal();
            editor.prompter().message(tr(Str::MsgMappingTooLarge));
            editText.clear();
            command.mappingAddress.clear();
        }
    }

    static void commitMappingBit(Editor& editor, INSTRUCTION& command, std::string& editText) {
        constexpr std::int32_t kLastBit = 7;
        const std::int32_t bit = decimalValue(editText);
        if (!isCanonical(editText) || bit < 0 || bit > kLastBit) {
            editText = command.mappingBit;
            editor.refuseInput(acceptedRange(0, kLastBit));
            return;
        }
        command.mappingBit = editText;
        if (functionCodeInfo(command.functionCode).multipleBits()) {
            recomputeBytes(command);
            showBytes(editor, command);
        }
    }
};

} // namespace

std::vector<std::string> commandRowTitles(const ProjectState& state) {
    std::vector<std::string> titles;
    for (Str title : {Str::RowSlaveAddress, Str::RowFunctionCode, Str::RowStartingAddress, Str::RowNumberOfData,
                      Str::RowMappingAddress, Str::RowMappingBit, Str::RowNumberOfBytes,
                      usesDataFilter(state) ? Str::RowDataFilter : Str::RowByteSwap, Str::RowTypeOfCheck,
                      Str::RowTypeOfScan})
        titles.push_back(tr(title));
    return titles;
}

std::unique_ptr<RowProvider> makeCommandRows() {
    return std::make_unique<CommandRows>();
}

} // namespace veltrane
