#include "core/model/project_file.h"
#include "core/model/text_value.h"
#include "core/table/command_import.h"
#include "core/table/csv_reader.h"
#include "support/editor_fixture.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <tuple>

using namespace veltrane;
using veltrane::testing::EditorFixture;

namespace {

const std::string kHeader = "Subnet,Slave Address,Function Code,Starting Address,Number of Data,"
                            "Mapping Address (HEX),Mapping Bit (0~7),Number of Bytes,Byte Swap,Type of Check,"
                            "Type of Scan\n";

class TableImport : public EditorFixture {
protected:
    veltrane::CommandImport prepare(const std::string& csv, ImportOptions options = {}) {
        const Result<std::vector<TableRow>> rows = readCsv(csv);
        EXPECT_TRUE(rows) << rows.message();
        const Result<CommandTable> table = readCommandTable(*rows);
        EXPECT_TRUE(table) << table.message();
        return prepareCommandImport(document.project(), state(), *table, options);
    }
};

TEST_F(TableImport, EntersEachCellAsTypingWould) {
    for (const Answer answer : {Answer::Ok, Answer::Cancel}) {
        const veltrane::CommandImport import =
            prepare(kHeader + "1,5,3,40011,10,0,,99,Two Bytes Swap,,Slow Scan\n1,5,01 read coil status,7,16,1A,3,,,,\n"
                              "1,9,06,,,,,,,,\n",
                    {false, answer});
        ASSERT_TRUE(import.accepted()) << import.refusals.front();
        const CONFIG& subnet = import.project.subnets[0];
        ASSERT_EQ(subnet.nodeCount, 2);
        EXPECT_EQ(subnet.nodes[0].address, "5");
        EXPECT_EQ(subnet.nodes[0].name, "Node-5");
        ASSERT_EQ(subnet.commandCount, 3);
        const INSTRUCTION& read = subnet.commands[0];
        EXPECT_EQ(read.startAddress, answer == Answer::Ok ? "10" : "40011");  // the PLC address question
        EXPECT_EQ(std::tie(read.dataCount, read.byteCount, read.mappingAddress, read.filterOrSwap, read.scanType),
                  std::tie("10", "20", "0", "Two Bytes Swap", "Slow Scan"));
        const INSTRUCTION& coils = subnet.commands[1];
        EXPECT_EQ(std::tie(coils.functionCode, coils.mappingAddress, coils.mappingBit, coils.byteCount, coils.nodeIndex),
                  std::make_tuple("1", "1a", "3", "3", 1));
        EXPECT_EQ(subnet.commands[2].nodeIndex, 2);
        EXPECT_EQ(import.added.size(), 3u);
        EXPECT_TRUE(import.added[0].newNode);
        EXPECT_FALSE(import.added[1].newNode);
    }
    // The project itself is untouched until the import is applied, and then it is one edit.
    EXPECT_EQ(subnet(0).commandCount, 0);
    ASSERT_TRUE(applyCommandImport(editor(), prepare(kHeader + "1,5,3,,,,,,,,\n")));
    EXPECT_EQ(subnet(0).commandCount, 1);
    EXPECT_TRUE(state().ProjectModified);
    EXPECT_NE(find("Subnet 1/Node-5/03 Read Holding Register"), kNoItem);
    EXPECT_EQ(editor().undoName(), "Import Commands");
    editor().undo();
    EXPECT_EQ(subnet(0).commandCount, 0);
    EXPECT_EQ(subnet(0).nodeCount, 0);
    editor().redo();
    EXPECT_EQ(subnet(0).commandCount, 1);
}

TEST_F(TableImport, RefusalsNameLineAndColumnAndNothingChanges) {
    const std::string csv = kHeader +
                            "1,5,3,0,1,0,,,,,\n"
                            "3,5,3,,,,,,,,\n"
                            "1,5,9,,,,,,,,\n"
                            "1,300,3,,,,,,,,\n"
                            "1,5,1,0,1,0,9,,,,\n"
                            "1,5,3,0,500,,,,,,Sometimes\n";
    const veltrane::CommandImport import = prepare(csv);
    const std::vector<std::string> expected = {
        "line 3, Subnet: the project has no subnet \"3\"",
        "line 4, Function Code: \"9\" is no command of the \"Select Command\" list",
        "line 5, Slave Address: \"300\" was not accepted: Slave Address (0~247) takes 0 to 247.",
        "line 6, Mapping Bit (0~7): \"9\" was not accepted: Mapping Bit (0~7) takes 0 to 7.",
        "line 7, Number of Data: The maximum number of the register command  is 100!",
        "line 7, Type of Scan: \"Sometimes\" is not one of \"Fast Scan\", \"Slow Scan\"",
    };
    EXPECT_EQ(import.refusals, expected);
    const Project before = document.project();
    EXPECT_FALSE(applyCommandImport(editor(), import));
    EXPECT_EQ(document.project(), before);
    EXPECT_FALSE(state().ProjectModified);
}

TEST_F(TableImport, TheFortyNinthCommandOfANodeIsRefused) {
    std::string csv = kHeader;
    for (int i = 0; i < 49; ++i)
        csv += "1,7,3,,,,,,,,\n";
    const veltrane::CommandImport import = prepare(csv);
    EXPECT_EQ(import.refusals, std::vector<std::string>{"line 50, Function Code: Number of commands overrun!"});
}

TEST_F(TableImport, ReplaceEmptiesTheNamedSubnetsFirst) {
    ASSERT_TRUE(applyCommandImport(editor(), prepare(kHeader + "1,5,3,,,,,,,,\n2,6,3,,,,,,,,\n")));
    const veltrane::CommandImport import = prepare(kHeader + "1,8,4,,,,,,,,\n", {true, Answer::Cancel});
    ASSERT_TRUE(import.accepted());
    EXPECT_EQ(import.project.subnets[0].nodeCount, 1);
    EXPECT_EQ(import.project.subnets[0].nodes[0].address, "8");
    EXPECT_EQ(import.project.subnets[1].commandCount, 1);  // not named: kept
}

TEST(CommandTableHeader, ColumnsAreFoundByTitleAndUnknownOnesNamed) {
    const Result<CommandTable> fine = readCommandTable({{1, {"SUBNET", "slave address (1-247)", "function code", "MAPPING ADDRESS", "Data Filter"}}});
    ASSERT_TRUE(fine) << fine.message();
    EXPECT_EQ(fine->columns[3].gridRow, 4);
    EXPECT_EQ(fine->columns[4].gridRow, 7);
    const Result<CommandTable> wrong = readCommandTable({{1, {"Subnet", "Function Code", "Colour", "Subnet"}}});
    ASSERT_FALSE(wrong);
    EXPECT_EQ(wrong.message(), "line 1, Colour: unknown column\n"
                               "line 1, Subnet: the column appears twice\n"
                               "line 1: the column \"Slave Address\" is missing");
}

// The commands of every subnet as the grid shows them, judged by value: hexadecimal letter case,
// leading zeros and the cells the grid does not let a user type (byte counts among them) aside.
std::vector<std::vector<std::string>> commandValues(const Project& project, const ProjectState& state) {
    Project copy = project;
    ProjectState copyState = state;
    ScriptedPrompter prompter;
    Editor editor(copy, copyState, prompter);
    editor.rebuildTree();
    std::vector<std::vector<std::string>> values;
    for (ItemId subnet : editor.tree().topLevel())
        for (ItemId node : editor.tree().children(subnet))
            for (ItemId command : editor.tree().children(node)) {
                editor.selectItem(command);
                std::vector<std::string> row{std::to_string(editor.tree().subnet(subnet)),
                                             std::to_string(editor.tree().data(command))};
                for (int r = 0; r < 10; ++r) {
                    std::string text = r < 2 || editor.isEditableRow(r) ? editor.grid().text(r, 1) : "-";
                    std::transform(text.begin(), text.end(), text.begin(),
                                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
                    if (r == 4 && !text.empty())
                        text = std::to_string(hexValue(text));
                    else if (r >= 2 && r <= 5 && !text.empty() && text.find_first_not_of("0123456789") == std::string::npos)
                        text = canonicalText(text);
                    row.push_back(text);
                }
                values.push_back(std::move(row));
            }
    std::sort(values.begin(), values.end());
    return values;
}

TEST_F(TableImport, ExportedTablesImportBackOverEveryFixture) {
    for (const auto& entry : std::filesystem::directory_iterator(VELTRANE_FIXTURES)) {
        if (entry.path().extension() != ".chg")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        ASSERT_TRUE(document.openDocument(entry.path().string()));
        std::vector<TableRow> rows;
        int line = 0;
        for (std::vector<std::string>& cells : exportCommandTable(document.project(), state()))
            rows.push_back({++line, std::move(cells)});
        const Result<CommandTable> table = readCommandTable(rows);
        ASSERT_TRUE(table) << table.message();
        const veltrane::CommandImport import =
            prepareCommandImport(document.project(), state(), *table, {true, Answer::Cancel});
        ASSERT_TRUE(import.accepted()) << import.refusals.front();
        EXPECT_EQ(commandValues(import.project, state()), commandValues(document.project(), state()));
    }
}

}  // namespace
