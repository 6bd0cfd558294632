// veltrane-cli end to end: the built program on real files.

#include "support/cli_test_fixture.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using CliTest = veltrane::testing::CliTestFixture;
using veltrane::testing::RunResult;
using veltrane::testing::slurp;

std::string fixture(const std::string& name) { return std::string(VELTRANE_FIXTURES) + "/" + name; }

TEST_F(CliTest, NewProjectShowsAsJsonWithTheFieldNames) {
    const RunResult made = cli({"new", file("new.chg")});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(slurp(file("new.chg")), slurp(fixture("new_project.chg")));

    const RunResult shown = cli({"show", file("new.chg"), "--json"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(shown.err, "");
    const RunResult keys =
        python(shown.out, "'|'.join([' '.join(d), ' '.join(d['ModelFlags']), ' '.join(d['FIELDBUS']), "
                          "str(len(d['CONFIG'])), ' '.join(d['CONFIG'][1])])");
    ASSERT_EQ(keys.exitCode, 0) << keys.err;
    EXPECT_EQ(keys.out,
              "DeviceType SubnetCount FormatVersion ModelFlags ProjectModified ProjectPrepared UploadedProjectPending "
              "FIELDBUS CONFIG|"
              "dataFilterModel extendedFrameModel userConfigOnlyModel hardwareSizedModel largeBufferModel "
              "configDataModel commandStatusModel singleSubnetModel|"
              "fieldbusType deviceNetAddress deviceNetBaudRate inputSize outputSize configMode configData "
              "ipAssignMode ipAddress subnetMask defaultGateway dns1 dns2|2|"
              "doubleFaultClear protocolType baudRate dataBits parity stopBits transmissionMode responseTimeout "
              "pollDelay outputMode outputPulse scanRate commandStatus timeoutAction timeoutTimes slaveBaudRate "
              "slaveDataBits slaveParity slaveStopBits slaveModeAddress slaveTransmissionMode customBaudRate "
              "customDataBits customParity customStopBits userBaudRate userDataBits userParity userStopBits "
              "frameType charInterval frameLength autoSend autoSendPeriod crcCheck commInterface debugInterface "
              "validDataLength startDelimiter endDelimiter nodeCount commandCount nodes commands\n");

    const RunResult values = python(
        shown.out, "d['DeviceType'], d['FormatVersion'], d['ProjectPrepared'], "
                   "d['CONFIG'][0]['timeoutAction'], d['FIELDBUS']['configData'], d['CONFIG'][0]['nodes']");
    EXPECT_EQ(values.out, "4 312 True \\Template.xls  []\n");
}

TEST_F(CliTest, ShowEscapesEveryText) {
    const RunResult shown = cli({"show", fixture("full_312.chg"), "--json"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    const RunResult names = python(
        shown.out, "[n['name'] for n in d['CONFIG'][0]['nodes']] == "
                   "['Node-1', 'Pump \"A\" \\\\ line\\t2', 'Caf\\u00e9'], "
                   "d['CONFIG'][0]['commands'][2]['nodeIndex'], d['ModelFlags']['commandStatusModel']");
    ASSERT_EQ(names.exitCode, 0) << names.err;
    EXPECT_EQ(names.out, "True 3 True\n");

    const RunResult text = cli({"show", fixture("full_312.chg")});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("DeviceType: 3\n"), std::string::npos);
    EXPECT_NE(text.out.find("  node 2: address=\"2\" name=\"Pump \\\"A\\\" \\\\ line\\x092\"\n"), std::string::npos);
    EXPECT_NE(text.out.find("  command 3: slaveAddress=\"7\" functionCode=\"1\""), std::string::npos);
}

TEST_F(CliTest, ResaveKeepsEveryByte) {
    for (const char* name : {"new_project.chg", "full_312.chg", "single_subnet.chg", "distinct_fields.chg"}) {
        SCOPED_TRACE(name);
        const RunResult run = cli({"resave", fixture(name), file("out.chg")});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(slurp(file("out.chg")), slurp(fixture(name)));
    }
}

TEST_F(CliTest, FailuresExitWithTheApplicationsMessage) {
    const std::string truncated = file("cut.chg");
    const std::string whole = slurp(fixture("full_312.chg"));
    std::ofstream(truncated, std::ios::binary) << whole.substr(0, whole.size() / 2);

    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string err;
    };
    const Case cases[] = {
        {{"show", file("missing.chg")}, 1, file("missing.chg") + " was not found.\n"},
        {{"show", truncated, "--json"}, 1, "Unexpected file format.\n"},
        {{"resave", truncated, file("out.chg")}, 1, "Unexpected file format.\n"},
        {{"resave", fixture("full_312.chg"), file("none/out.chg")}, 1, file("none/out.chg") + " contains an incorrect path.\n"},
        {{"new", m_dir.string()}, 1, "Access to " + m_dir.string() + " was denied.\n"},
        {{"show"}, 2, "usage: veltrane-cli show FILE.chg [--json]\n"},
        {{"new", "a.chg", "b.chg"}, 2, "usage: veltrane-cli new OUT.chg\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + (c.args.size() > 1 ? c.args[1] : ""));
        const RunResult run = cli(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(fs::exists(file("out.chg")));
}

}  // namespace
