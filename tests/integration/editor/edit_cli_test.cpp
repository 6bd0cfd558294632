// veltrane-cli edit end to end: a worked example built step by step, saved, and read back with
// `show --json` through Python's own JSON parser.

#include "support/cli_test_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using EditCli = veltrane::testing::CliTestFixture;
using veltrane::testing::RunResult;

TEST_F(EditCli, WorkedExampleNodeAndThreeCommands) {
    const std::string out = file("example.chg");
    const RunResult edit = cli({
        "edit",
        "new",
        "-o",
        out,
        "--answer",
        "ok",
        "--answer",
        "cancel",
        "--select",
        "Subnet 1",
        "--add-node",
        "--select",
        "Subnet 1/Node-1",
        "--set",
        "Slave Address (0~247)=5",
        "--add-command",
        "3",
        "--add-command",
        "1",
        "--add-command",
        "16",
        "--add-command",
        "8",
        "--select",
        "Subnet 1/Node-5/03 Read Holding Register",
        "--set",
        "Starting Address=40001",
        "--set",
        "Number of Data=101",
        "--set",
        "Number of Data=10",
        "--set",
        "Mapping Address (HEX)=0",
        "--set",
        "Type of Scan=Slow Scan",
        "--select",
        "Subnet 1/Node-5/01 Read Coil Status",
        "--set",
        "Starting Address=5",
        "--set",
        "Mapping Bit (0~7)=3",
        "--set",
        "Number of Data=10",
        "--set",
        "Mapping Address (HEX)=14h",
        "--select",
        "Subnet 1/Node-5/16 Preset Multiple Registers",
        "--set",
        "Starting Address=100",
        "--set",
        "Number of Data=4",
        "--set",
        "Mapping Address (HEX)=4000",
        "--set",
        "Byte Swap=Two Bytes Swap",
        "--print-grid",
    });
    ASSERT_EQ(edit.exitCode, 0) << edit.err;
    const std::string question =
        "The address you entered may be the PLC address, will be converted to a protocol address!\n";
    EXPECT_EQ(edit.out, question + "The maximum number of the register command  is 100!\n" + question +
                            "Slave Address (0~247) = 5  [read-only]\n"
                            "Function Code = 16  [read-only]\n"
                            "Starting Address = 100\n"
                            "Number of Data = 4\n"
                            "Mapping Address (HEX) = 4000H\n"
                            "Mapping Bit (0~7) =   [read-only]\n"
                            "Number of Bytes = 8  [read-only]\n"
                            "Byte Swap = Two Bytes Swap\n"
                            "Type of Check = CRC  [read-only]\n"
                            "Type of Scan = Fast Scan\n");

    const RunResult show = cli({"show", "--json", out});
    ASSERT_EQ(show.exitCode, 0) << show.err;
    EXPECT_EQ(python(show.out, "d['CONFIG'][0]['nodeCount'], d['CONFIG'][0]['nodes'][0]").out,
              "1 {'address': '5', 'name': 'Node-5'}\n");
    const std::string fields =
        "slaveAddress functionCode startAddress dataCount mappingAddress mappingBit byteCount "
        "filterOrSwap checkType scanType nodeIndex";
    EXPECT_EQ(python(show.out, "d['CONFIG'][0]['commandCount'], '\\n'.join('|'.join(str(c[k]) for k in '" +
                                   fields + "'.split()) for c in d['CONFIG'][0]['commands'])")
                  .out,
              "3 5|3|0|10|0||20|No Swap|CRC|Slow Scan|1\n"
              "5|1|5|10|14|3|2|No Swap|CRC|Fast Scan|1\n"
              "5|16|100|4|4000||8|Two Bytes Swap|CRC|Fast Scan|1\n");
    EXPECT_EQ(python(show.out, "d['CONFIG'][1]['nodeCount'], d['ProjectModified']").out, "0 False\n");
}

TEST_F(EditCli, FailedStepsExitNonZeroAndSaveNothing) {
    const std::string out = file("never.chg");
    const struct {
        std::vector<std::string> steps;
        std::string error;
    } cases[] = {
        {{"--select", "Subnet 9"}, "no tree item \"Subnet 9\""},
        {{"--select", "Subnet 1", "--add-command", "3"},
         "Add Command is not available for the selected item"},
        {{"--select", "Ethernet", "--add-node"}, "Add Node is not available for the selected item"},
        {{"--select", "Subnet 1", "--add-node", "--select", "Subnet 1/Node-1", "--add-command", "9"},
         "\"Select Command\" has no entry for function code \"9\""},
        {{"--select", "Subnet 1", "--add-node", "--select", "Subnet 1/Node-1", "--add-command", "3",
          "--select", "Subnet 1/Node-1/03 Read Holding Register", "--set", "Function Code=4"},
         "\"Function Code\" cannot be edited here"},
        {{"--select", "Subnet 1", "--add-node", "--select", "Subnet 1/Node-1", "--add-command", "3",
          "--select", "Subnet 1/Node-1/03 Read Holding Register", "--set", "Type of Scan=Medium"},
         "\"Medium\" is not an option of \"Type of Scan\" (\"Fast Scan\", \"Slow Scan\")"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"edit", "new", "-o", out};
        args.insert(args.end(), c.steps.begin(), c.steps.end());
        const RunResult run = cli(args);
        EXPECT_EQ(run.exitCode, 1) << c.error;
        EXPECT_EQ(run.err, "veltrane-cli edit: " + c.error + "\n");
        EXPECT_FALSE(fs::exists(out));
    }
    EXPECT_EQ(cli({"edit"}).exitCode, 2);
    EXPECT_EQ(cli({"edit", "new", "--answer", "maybe"}).exitCode, 2);
    EXPECT_EQ(cli({"edit", file("missing.chg")}).exitCode, 1);
}

TEST_F(EditCli, EditsAnExistingFileWithCopyPasteAndEqualTexts) {
    const std::string first = file("first.chg");
    ASSERT_EQ(cli({"edit", "new", "-o", first, "--select", "Subnet 1", "--add-node", "--select",
                   "Subnet 1/Node-1", "--add-command", "3", "--add-command", "3"})
                  .exitCode,
              0);
    const std::string second = file("second.chg");
    const RunResult run =
        cli({"edit", first, "-o", second, "--select", "Subnet 1/Node-1/03 Read Holding Register#2", "--set",
             "Number of Data=2", "--select", "Subnet 1/Node-1", "--copy-node", "--select", "Subnet 2",
             "--paste-node", "--print-tree"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "Ethernet  *\nSubnet 1\n  Node-1\n    03 Read Holding Register\n    03 Read Holding Register\n"
              "Subnet 2\n  Node-1\n    03 Read Holding Register\n    03 Read Holding Register\n");
    const RunResult show = cli({"show", "--json", second});
    EXPECT_EQ(python(show.out, "[c['dataCount'] for s in d['CONFIG'] for c in s['commands']]").out,
              "['', '2', '', '2']\n");
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(EditCli, UndoRedoAndAutomapDriveTheHistory) {
    const std::string base = file("base.chg");
    ASSERT_EQ(cli({"edit", "new", "-o", base, "--select", "Subnet 1", "--add-node", "--select", "Subnet 1/Node-1",
                   "--add-command", "3", "--add-command", "16", "--select",
                   "Subnet 1/Node-1/03 Read Holding Register", "--set", "Starting Address=1", "--set",
                   "Number of Data=4", "--select", "Subnet 1/Node-1/16 Preset Multiple Registers", "--set",
                   "Starting Address=9", "--set", "Number of Data=2"})
                  .exitCode,
              0);
    const auto run = [&](const std::string& name, std::vector<std::string> steps) {
        std::vector<std::string> args = {"edit", base, "-o", file(name)};
        args.insert(args.end(), steps.begin(), steps.end());
        const RunResult result = cli(args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return bytesOf(file(name));
    };
    const std::string mapped = run("mapped.chg", {"--answer", "ok", "--automap"});
    EXPECT_NE(mapped, bytesOf(base));
    // The question is answered from the list; a cancel maps nothing.
    EXPECT_EQ(run("cancelled.chg", {"--answer", "cancel", "--automap"}), bytesOf(base));
    EXPECT_EQ(run("undone.chg", {"--answer", "ok", "--automap", "--undo"}), bytesOf(base));
    EXPECT_EQ(run("redone.chg", {"--answer", "ok", "--automap", "--undo", "--redo"}), mapped);
    // Nothing to undo or redo in a file just opened: nothing changes and the run succeeds.
    EXPECT_EQ(run("nothing.chg", {"--undo", "--redo", "--undo"}), bytesOf(base));
    EXPECT_EQ(run("deleted.chg", {"--select", "Subnet 1/Node-1", "--delete-node", "--undo"}), bytesOf(base));
}

} // namespace
