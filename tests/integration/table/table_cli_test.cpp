// veltrane-cli commands, import-commands and build on real files.

#include "support/cli_test_fixture.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using CliTest = veltrane::testing::CliTestFixture;
using veltrane::testing::RunResult;
using veltrane::testing::runProgram;
using veltrane::testing::slurp;

std::vector<std::string> fixtures() {
    std::vector<std::string> paths;
    for (const auto& entry : fs::directory_iterator(VELTRANE_FIXTURES))
        if (entry.path().extension() == ".chg")
            paths.push_back(entry.path().string());
    return paths;
}

void write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

const std::string kHeader = "Subnet,Slave Address,Function Code,Starting Address,Number of Data,"
                            "Mapping Address (HEX),Mapping Bit (0~7),Number of Bytes,Byte Swap,Type of Check,"
                            "Type of Scan\n";

TEST_F(CliTest, ShownJsonBuildsTheBytesAResaveWrites) {
    ASSERT_EQ(cli({"new", file("new.chg")}).exitCode, 0);
    std::vector<std::string> projects = fixtures();
    projects.push_back(file("new.chg"));
    for (const std::string& project : projects) {
        SCOPED_TRACE(project);
        ASSERT_EQ(cli({"resave", project, file("resaved.chg")}).exitCode, 0);
        const RunResult built = runProgram(
            "/bin/sh", {"-c", "\"$0\" show --json \"$1\" | \"$0\" build - -o \"$2\"", VELTRANE_CLI, project, file("built.chg")});
        ASSERT_EQ(built.exitCode, 0) << built.err;
        EXPECT_EQ(slurp(file("built.chg")), slurp(file("resaved.chg")));
    }
}

TEST_F(CliTest, BuildRefusesByJsonPathAndWritesNothing) {
    const RunResult shown = cli({"show", VELTRANE_FIXTURES "/full_312.chg", "--json"});
    ASSERT_EQ(shown.exitCode, 0);
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = shown.out;
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    const std::pair<std::string, std::string> cases[] = {
        {replaced("\"nodeIndex\": 1", "\"nodeIndex\": 1, \"colour\": 2"), "$.CONFIG[0].commands[0].colour: unknown key"},
        {replaced("\"dns2\": ", "\"dns3\": "), "$.FIELDBUS.dns2: missing key"},
        {replaced("\"DeviceType\": 3", "\"DeviceType\": \"3\""), "$.DeviceType: expected an integer from -2147483648 to 2147483647"},
        {replaced("\"singleSubnetModel\": false", "\"singleSubnetModel\": 0"), "$.ModelFlags.singleSubnetModel: expected true or false"},
        {replaced("\"nodeCount\": 3", "\"nodeCount\": 2"), "$.CONFIG[0].nodes: expected 2 entries"},
    };
    for (const auto& [json, message] : cases) {
        write(file("p.json"), json);
        const RunResult built = cli({"build", file("p.json"), "-o", file("out.chg")});
        EXPECT_EQ(built.exitCode, 1);
        EXPECT_EQ(built.err, message + "\n");
        EXPECT_FALSE(fs::exists(file("out.chg")));
    }
}

TEST_F(CliTest, AWorkbookImportsLikeTheSameCsv) {
    for (const std::string& project : fixtures()) {
        SCOPED_TRACE(project);
        ASSERT_EQ(cli({"commands", project, "-o", file("t.csv")}).exitCode, 0);
        ASSERT_EQ(cli({"commands", project, "-o", file("t.xlsx")}).exitCode, 0);
        const RunResult printed = cli({"commands", project});
        EXPECT_EQ(printed.out, slurp(file("t.csv")));
        const RunResult fromCsv = cli({"import-commands", project, file("t.csv"), "--replace", "-o", file("csv.chg")});
        ASSERT_EQ(fromCsv.exitCode, 0) << fromCsv.err;
        const RunResult fromXlsx = cli({"import-commands", project, file("t.xlsx"), "--replace", "-o", file("xlsx.chg")});
        ASSERT_EQ(fromXlsx.exitCode, 0) << fromXlsx.err;
        EXPECT_EQ(slurp(file("csv.chg")), slurp(file("xlsx.chg")));
    }
}

TEST_F(CliTest, ARefusedTableWritesNothing) {
    ASSERT_EQ(cli({"new", file("new.chg")}).exitCode, 0);
    const std::pair<std::string, std::string> cases[] = {
        {kHeader + "1,5,3,0,1,0,,,,,\n1,5,3,70000,,,,,,,\n",
         "line 3, Starting Address: \"70000\" was not accepted: Starting Address takes 0 to 65535.\n"},
        {kHeader + "1,5,3,\"0,1\n", "line 2: a quoted cell is not closed\n"},
    };
    for (const auto& [table, message] : cases) {
        write(file("t.csv"), table);
        const RunResult run = cli({"import-commands", file("new.chg"), file("t.csv"), "-o", file("out.chg")});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, message);
        EXPECT_FALSE(fs::exists(file("out.chg")));
    }
}

}  // namespace
