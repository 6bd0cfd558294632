#include "support/editor_fixture.h"

#include <tuple>

using namespace veltrane;
using veltrane::testing::EditorFixture;

namespace {

constexpr int kStart = 2, kData = 3, kMapping = 4, kBit = 5, kBytes = 6, kFilter = 7;

class CommandRows : public EditorFixture {
protected:
    // A new project of the given type with one node and one command of the given function code,
    // selected. Type 4 keeps the tree of a new project; the others are rebuilt for their layout.
    INSTRUCTION& commandOf(int code, std::int32_t deviceType = device::EtherNetIP, ModelFlags flags = {}) {
        document.newDocument();
        prompter.clearShown();
        state().DeviceType = deviceType;
        state().flags = flags;
        editor().rebuildTree();
        const std::string subnetPath =
            tree().text(tree().topLevel()[deviceType == device::FourSubnets ? 0 : 1]);
        const std::string node = addNodeWithCommands(subnetPath, {code});
        editor().selectItem(tree().children(find(node)).front());
        return subnet(0).commands[0];
    }
};

TEST_F(CommandRows, RowsTitlesValuesAndColours) {
    INSTRUCTION& command = commandOf(1);
    command.mappingAddress = "1a";
    command.mappingBit = "-1";
    editor().showSelection();
    const ParameterGrid& grid = editor().grid();
    const std::vector<std::string> titles = {
        "Slave Address (0~247)", "Function Code",     "Starting Address", "Number of Data",
        "Mapping Address (HEX)", "Mapping Bit (0~7)", "Number of Bytes",  "Byte Swap",
        "Type of Check",         "Type of Scan"};
    for (int row = 0; row < 10; ++row)
        EXPECT_EQ(grid.text(row, 0), titles[static_cast<std::size_t>(row)]);
    EXPECT_EQ(grid.usedRows(), 10);
    EXPECT_EQ(grid.text(0, 1), "1");
    EXPECT_EQ(grid.text(kMapping, 1), "1aH");
    EXPECT_EQ(grid.text(kBit, 1), "");

    // Grey (G) or white (W) value cells, rows 0 to 9, per function code and filter setting.
    struct Case {
        int code;
        bool filter;
        std::string colours;
        std::string row7;
    };
    const Case cases[] = {
        {1, false, "GGWWWWGGGW", "No Swap"}, {3, false, "GGWWWGGWGW", "Two Bytes Swap"},
        {5, false, "GGWGWWGGGW", "No Swap"}, {6, false, "GGWGWGGWGW", "Two Bytes Swap"},
        {16, true, "GGWWWGGGGW", "Word"},    {4, true, "GGWWWGGWGW", "Low Byte"},
    };
    for (const Case& c : cases) {
        ModelFlags flags;
        flags.dataFilterModel = c.filter;
        INSTRUCTION& cmd = commandOf(c.code, device::EtherNetIP, flags);
        cmd.filterOrSwap = c.filter ? "Low Byte" : "Two Bytes Swap";
        editor().showSelection();
        std::string colours;
        for (int row = 0; row < 10; ++row)
            colours += grid.colour(row, 1) == GridCellColour::Grey ? 'G' : 'W';
        EXPECT_EQ(colours, c.colours) << c.code;
        EXPECT_EQ(grid.text(kFilter, 0), c.filter ? "Data Filter" : "Byte Swap");
        EXPECT_EQ(grid.text(kFilter, 1), c.row7) << c.code;
        for (int row = 0; row < 12; ++row) {
            editor().onGridClick(row, 1);
            const bool opened = editor().view().editBoxVisible || editor().view().optionListVisible;
            EXPECT_EQ(opened, row < 10 && c.colours[static_cast<std::size_t>(row)] == 'W')
                << c.code << " row " << row;
            editor().closeOptionList();
            editor().commitEdit();
        }
    }
}

TEST_F(CommandRows, FilterOrSwapOptions) {
    using V = std::vector<std::string>;
    ModelFlags filter;
    filter.dataFilterModel = true;
    commandOf(6);
    editor().onGridClick(kFilter, 1);
    EXPECT_EQ(editor().view().options, (V{"No Swap", "Two Bytes Swap"}));
    commandOf(6, device::FourSubnets);
    editor().onGridClick(kFilter, 1);
    EXPECT_EQ(editor().view().options, (V{"No Swap", "Two Bytes Swap", "Four Bytes Swap"}));
    commandOf(3, device::ProfibusFilter);
    editor().onGridClick(kFilter, 1);
    EXPECT_EQ(editor().view().options, (V{"Word", "Hi Byte", "Low Byte"}));
    commandOf(6, device::ProfibusFilter);
    editor().onGridClick(kFilter, 1);
    EXPECT_FALSE(editor().view().optionListVisible);
    pick(9, "Slow Scan");
    INSTRUCTION& command = commandOf(4, device::EtherNetIP, filter);
    pick(kFilter, "Hi Byte");
    EXPECT_EQ(command.filterOrSwap, "Hi Byte");
}

TEST_F(CommandRows, StartingAddressOffersThePlcConversion) {
    struct Case {
        int code;
        std::string typed;
        std::vector<Answer> answers;
        std::string stored;
        bool asked;
    };
    const Case cases[] = {
        {3, "40001", {Answer::Ok}, "0", true},
        {3, "40001", {Answer::Cancel}, "40001", true},
        {1, "5", {Answer::Ok}, "4", true},
        {3, "40000", {}, "40000", false},
        {2, "10000", {}, "10000", false},
        {2, "19999", {Answer::Ok}, "9998", true},
        {4, "30001", {Answer::Ok}, "0", true},
        {16, "49999", {Answer::Ok}, "9998", true},
        {15, "9999", {Answer::Ok}, "9998", true},
        {1, "0", {}, "0", false},
        {3, "65535", {}, "65535", false},
        {3, "65536", {}, "", false},
        {3, "007", {}, "", false},
        {3, "-1", {}, "", false},
    };
    for (const Case& c : cases) {
        INSTRUCTION& command = commandOf(c.code);
        for (Answer answer : c.answers)
            prompter.addAnswer(answer);
        EXPECT_EQ(type(kStart, c.typed), c.stored) << c.code << " " << c.typed;
        EXPECT_EQ(command.startAddress, c.stored) << c.code << " " << c.typed;
        EXPECT_EQ(!prompter.shown().empty(), c.asked) << c.code << " " << c.typed;
        if (c.asked) {
            EXPECT_EQ(
                prompter.shown().front(),
                "The address you entered may be the PLC address, will be converted to a protocol address!");
        }
    }
    // A refused text falls back to the stored address without asking about it again.
    INSTRUCTION& command = commandOf(3);
    prompter.addAnswer(Answer::Cancel);
    type(kStart, "40001");
    prompter.clearShown();
    EXPECT_EQ(type(kStart, "70000"), "40001");
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(command.startAddress, "40001");
}

TEST_F(CommandRows, NumberOfDataLimitsPerDeviceType) {
    ModelFlags hardware;
    hardware.hardwareSizedModel = true;
    struct Case {
        std::int32_t type;
        ModelFlags flags;
        int code;
        std::string typed;
        std::string stored;
        std::string message;
    };
    const std::string registers = "The maximum number of the register command  is 100!";
    const std::string coils = "The maximum number of the coil command is 400!";
    const Case cases[] = {
        {4, {}, 3, "100", "100", ""},   {4, {}, 3, "101", "", registers},   {4, {}, 1, "400", "400", ""},
        {4, {}, 15, "401", "", coils},  {0, {}, 4, "36", "36", ""},         {0, {}, 4, "37", "", ""},
        {0, {}, 2, "401", "", ""},      {1, {}, 16, "57", "", ""},          {7, {}, 16, "56", "56", ""},
        {2, {}, 3, "127", "127", ""},   {2, {}, 1, "2000", "2000", ""},     {2, {}, 1, "2001", "", ""},
        {5, {}, 3, "5000", "5000", ""}, {0, hardware, 3, "84", "84", ""},   {0, hardware, 3, "85", "", ""},
        {4, hardware, 3, "85", "", ""}, {4, hardware, 1, "401", "", coils}, {4, {}, 3, "007", "", ""},
        {4, {}, 3, "0", "", ""},        {4, {}, 3, "-3", "", ""},
        // A numeral beyond the value type is still a number above the limit, on every device type.
        {4, {}, 3, "2147483647", "", registers}, {4, {}, 3, "99999999999", "", registers},
        {4, {}, 1, "99999999999", "", coils},    {5, {}, 3, "99999999999", "", ""},
        {4, {}, 3, "099999999999", "", ""},      {4, {}, 3, "-99999999999", "", ""},
    };
    for (const Case& c : cases) {
        INSTRUCTION& command = commandOf(c.code, c.type, c.flags);
        EXPECT_EQ(type(kData, c.typed), c.stored) << c.type << "/" << c.code << " " << c.typed;
        EXPECT_EQ(command.dataCount, c.stored);
        const std::vector<std::string> expected =
            c.message.empty() ? std::vector<std::string>{} : std::vector{c.message};
        EXPECT_EQ(prompter.shown(), expected) << c.type << "/" << c.code << " " << c.typed;
    }
}

TEST_F(CommandRows, ByteCountFollowsDataAndMappingBit) {
    INSTRUCTION& coils = commandOf(1);
    type(kBit, "3");
    type(kData, "10");
    EXPECT_EQ(coils.byteCount, "2");
    EXPECT_EQ(editor().grid().text(kBytes, 1), "2");
    type(kBit, "7");
    EXPECT_EQ(coils.byteCount, "3");
    EXPECT_EQ(editor().grid().text(kBytes, 1), "3");
    EXPECT_EQ(type(kBit, "8"), "7");
    EXPECT_EQ(type(kBit, "07"), "7");

    INSTRUCTION& holding = commandOf(3);
    type(kData, "10");
    EXPECT_EQ(holding.byteCount, "20");
    EXPECT_EQ(type(kData, "0"), "10"); // dropped, the stored count comes back
    EXPECT_EQ(editor().grid().text(kBytes, 1), "20");

    INSTRUCTION& single = commandOf(5);
    EXPECT_EQ(single.byteCount, "1");
    editor().onGridClick(kData, 1);
    EXPECT_FALSE(editor().view().editBoxVisible);
}

TEST_F(CommandRows, MappingAddressIsLowerCaseHexInsideTheBuffer) {
    ModelFlags hardware, status;
    hardware.hardwareSizedModel = true;
    status.commandStatusModel = true;
    struct Case {
        std::int32_t type;
        ModelFlags flags;
        int code;
        std::string typed;
        std::string stored;
    };
    const Case cases[] = {
        {4, {}, 3, "1A0", "1a0"},     {4, {}, 3, "1a0h", "1a0"},  {4, {}, 3, "1a0H", "1a0"},
        {4, {}, 3, "01a0", ""},       {4, {}, 3, "0x1a0", ""},    {4, {}, 3, "1eb", "1eb"},
        {4, {}, 3, "1ec", ""},        {4, {}, 3, "1 a", ""},      {4, {}, 16, "0", ""},
        {4, {}, 16, "4000", "4000"},  {4, {}, 16, "41ec", ""},    {4, {}, 3, "", ""},
        {0, {}, 3, "1", ""},          {0, {}, 3, "2", "2"},       {0, {}, 16, "1", "1"},
        {0, {}, 16, "4070", ""},      {1, {}, 3, "6f", "6f"},     {1, {}, 3, "70", ""},
        {1, hardware, 3, "a7", "a7"}, {1, status, 3, "df", "df"}, {1, {}, 16, "406f", "406f"},
        {2, {}, 1, "bff", "bff"},     {2, {}, 6, "4bff", "4bff"}, {5, {}, 3, "10", "10"},
        {6, {}, 3, "70", ""},
    };
    for (const Case& c : cases) {
        INSTRUCTION& command = commandOf(c.code, c.type, c.flags);
        const std::string shown = type(kMapping, c.typed);
        EXPECT_EQ(command.mappingAddress, c.stored) << c.type << "/" << c.code << " " << c.typed;
        EXPECT_EQ(shown, c.stored.empty() ? "" : c.stored + "H");
    }
}

TEST_F(CommandRows, BufferCheckOfTheEtherNetIpGateway) {
    const std::string data = "The number of data is too large, try to reduce the memory-mapped starting "
                             "address or reduce the number of data!";
    const std::string mapping = "The number of data or memory-mapped starting address is too large, try to "
                                "reduce the memory-mapped starting address or reduce the number of data!";

    INSTRUCTION& first = commandOf(3);
    type(kData, "6"); // 12 bytes
    EXPECT_EQ(type(kMapping, "1e0"), "");
    EXPECT_EQ(prompter.shown(), std::vector{mapping});
    EXPECT_EQ(first.mappingAddress, "");
    EXPECT_EQ(first.dataCount, "6");

    INSTRUCTION& second = commandOf(16);
    type(kMapping, "41e0");
    EXPECT_EQ(type(kData, "6"), "");
    EXPECT_EQ(prompter.shown(), std::vector{data});
    EXPECT_EQ(second.dataCount, "0");
    EXPECT_EQ(second.byteCount, "12");
    EXPECT_EQ(editor().grid().text(kBytes, 1), "12");

    // A value the row refuses on a command that no longer fits: the buffer message alone says why.
    std::vector<std::string> notes;
    editor().onInputRefused = [&](const std::string& note) { notes.push_back(note); };
    for (const auto& [row, typed, message] : {std::tuple{kData, "0", data}, std::tuple{kMapping, "zz", mapping}}) {
        INSTRUCTION& stale = commandOf(3);
        stale.mappingAddress = "1e0";
        stale.dataCount = "6";
        stale.byteCount = "12";
        type(row, typed);
        EXPECT_EQ(prompter.shown(), std::vector{message}) << typed;
    }
    EXPECT_TRUE(notes.empty()) << notes.front();

    // Other device types have no such check.
    INSTRUCTION& third = commandOf(3, device::FourSubnets);
    type(kMapping, "bfa");
    type(kData, "100");
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(third.dataCount, "100");
}

TEST_F(CommandRows, HelpTexts) {
    ModelFlags filter;
    filter.dataFilterModel = true;
    commandOf(3);
    const auto helpOf = [&](int row) {
        editor().onGridClick(row, 0);
        return editor().helpText();
    };
    EXPECT_EQ(helpOf(0), "Modbus Slave Address");
    EXPECT_EQ(helpOf(6), "The command occupies number of byte of input or output buffer.");
    EXPECT_EQ(helpOf(7).substr(0, 26), "There are three modes: No ");
    EXPECT_EQ(helpOf(9).substr(0, 43), "Every Modbus command can be set to fast sca");
    EXPECT_EQ(helpOf(8), "");
    helpOf(3);
    EXPECT_EQ(helpOf(42), "");
    commandOf(3, device::EtherNetIP, filter);
    EXPECT_EQ(helpOf(7).substr(0, 20), "There are three type");
    commandOf(3, device::ProfibusFilter);
    EXPECT_EQ(helpOf(7).substr(0, 20), "There are three type");
    EXPECT_EQ(helpOf(4).substr(0, 32), "There are two buffers in the gat");
}

} // namespace
