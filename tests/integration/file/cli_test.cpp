// veltrane-cli end to end: the built program on real files.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdlib.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string fixture(const std::string& name) { return std::string(VELTRANE_FIXTURES) + "/" + name; }

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "veltrane-cli-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string file(const std::string& name) const { return (m_dir / name).string(); }

    // Runs a shell command line with its output and errors captured separately.
    Outcome shell(const std::string& commandLine) const {
        Outcome run;
        const std::string err = file("stderr.txt");
        FILE* pipe = ::popen((commandLine + " 2>'" + err + "'").c_str(), "r");
        if (pipe == nullptr)
            return run;
        std::array<char, 4096> buffer{};
        std::size_t got = 0;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            run.out.append(buffer.data(), got);
        const int status = ::pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = slurp(err);
        return run;
    }

    Outcome cli(const std::vector<std::string>& args) const {
        std::string line = std::string("'") + VELTRANE_CLI + "'";
        for (const std::string& arg : args)
            line += " '" + arg + "'";
        return shell(line);
    }

    // Parses JSON with Python's own parser and prints what the script computes from it as `d`.
    Outcome python(const std::string& json, const std::string& expression) const {
        const std::string input = file("show.json");
        std::ofstream(input, std::ios::binary) << json;
        const std::string script = file("check.py");
        std::ofstream(script) << "import json, sys\n"
                                 "d = json.load(open(sys.argv[1], encoding='utf-8'))\n"
                                 "print(" << expression << ")\n";
        return shell("/usr/bin/python3 '" + script + "' '" + input + "'");
    }

    fs::path m_dir;
};

TEST_F(CliTest, NewProjectShowsAsJsonWithTheFieldNames) {
    const Outcome made = cli({"new", file("new.chg")});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(slurp(file("new.chg")), slurp(fixture("new_project.chg")));

    const Outcome shown = cli({"show", file("new.chg"), "--json"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(shown.err, "");
    const Outcome keys = python(shown.out,
                            "'|'.join([' '.join(d), ' '.join(d['ModelFlags']), ' '.join(d['FIELDBUS']), "
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

    const Outcome values = python(shown.out,
                              "d['DeviceType'], d['FormatVersion'], d['ProjectPrepared'], "
                              "d['CONFIG'][0]['timeoutAction'], d['FIELDBUS']['configData'], d['CONFIG'][0]['nodes']");
    EXPECT_EQ(values.out, "4 312 True \\Template.xls  []\n");
}

TEST_F(CliTest, ShowEscapesEveryText) {
    const Outcome shown = cli({"show", fixture("full_312.chg"), "--json"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    const Outcome names = python(shown.out,
                             "[n['name'] for n in d['CONFIG'][0]['nodes']] == "
                             "['Node-1', 'Pump \"A\" \\\\ line\\t2', 'Caf\\u00e9'], "
                             "d['CONFIG'][0]['commands'][2]['nodeIndex'], d['ModelFlags']['commandStatusModel']");
    ASSERT_EQ(names.exitCode, 0) << names.err;
    EXPECT_EQ(names.out, "True 3 True\n");

    const Outcome text = cli({"show", fixture("full_312.chg")});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("DeviceType: 3\n"), std::string::npos);
    EXPECT_NE(text.out.find("  node 2: address=\"2\" name=\"Pump \\\"A\\\" \\\\ line\\x092\"\n"), std::string::npos);
    EXPECT_NE(text.out.find("  command 3: slaveAddress=\"7\" functionCode=\"1\""), std::string::npos);
}

TEST_F(CliTest, ResaveKeepsEveryByte) {
    for (const char* name : {"new_project.chg", "full_312.chg", "single_subnet.chg", "distinct_fields.chg"}) {
        SCOPED_TRACE(name);
        const Outcome run = cli({"resave", fixture(name), file("out.chg")});
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
        const Outcome run = cli(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(fs::exists(file("out.chg")));
}

}  // namespace
