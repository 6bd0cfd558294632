// veltrane-cli end to end: the built program on real files.

#include "support/cli_test_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>

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
        {{"new", "a.chg", "b.chg"}, 2, "usage: veltrane-cli new OUT.chg [--type N] [--model SWITCH]...\n"},
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

namespace {

// Runs the CLI from a shell line, which gets the program as $0 and the arguments as $1...:
// for what execv alone cannot do (another working folder, standard output on a full device).
RunResult cliVia(const std::string& shellLine, const std::vector<std::string>& args) {
    std::vector<std::string> all = {"-c", shellLine, VELTRANE_CLI};
    all.insert(all.end(), args.begin(), args.end());
    return veltrane::testing::runProgram("/bin/sh", all);
}

const std::vector<std::pair<std::string, std::string>> kUsages = {
    {"automap", "automap FILE.chg [-o OUT.chg] [--answer ok|cancel]"},
    {"check", "check FILE.chg"},
    {"conflicts", "conflicts FILE.chg [--png OUT.png]"},
    {"export", "export FILE.chg OUT.xlsx [--template TEMPLATE.xlsx]"},
    {"new", "new OUT.chg [--type N] [--model SWITCH]..."},
    {"resave", "resave IN.chg OUT.chg"},
    {"show", "show FILE.chg [--json]"},
};

}  // namespace

// --help is the command's help and nothing else; before, "new --help" saved a project named --help.
TEST_F(CliTest, EveryCommandAnswersHelpAndDoesNothingElse) {
    std::vector<std::string> names;
    for (const auto& [name, usage] : kUsages)
        names.push_back(name);
    names.push_back("edit");
    for (const std::string& name : names) {
        for (const char* flag : {"--help", "-h"}) {
            SCOPED_TRACE(name + " " + flag);
            const RunResult run = cliVia("cd \"$1\" && shift && exec \"$0\" \"$@\"", {m_dir.string(), name, flag});
            EXPECT_EQ(run.exitCode, 0);
            EXPECT_EQ(run.out.rfind("usage: veltrane-cli " + name, 0), 0u) << run.out;
            EXPECT_EQ(run.err, "");
        }
    }
    EXPECT_TRUE(fs::is_empty(m_dir));
    const RunResult all = cli({"--help"});
    EXPECT_EQ(all.exitCode, 0);
    for (const std::string& name : names)
        EXPECT_NE(all.out.find("  " + name + " "), std::string::npos) << name;
}

TEST_F(CliTest, WrongCommandLinesGiveTheUsageAndExitTwo) {
    ASSERT_EQ(cli({"new", file("p.chg")}).exitCode, 0);
    const std::string p = file("p.chg");
    const std::vector<std::vector<std::string>> lines = {
        {"automap"},          {"automap", p, "--bogus"},  {"automap", p, "-o"},  {"automap", p, "--answer", "yes"},
        {"check"},            {"check", p, "--bogus"},    {"check", p, p},
        {"conflicts"},        {"conflicts", p, "--png"},  {"conflicts", p, "-x"},
        {"export", p},        {"export", p, "o.xlsx", "--template"},
        {"new"},              {"new", "--bogus"},
        {"resave", p},        {"resave", p, p, p},
        {"show", p, "--yaml"}, {"show", p, p},
    };
    for (const auto& line : lines) {
        std::string shown;
        for (const std::string& arg : line)
            shown += arg + " ";
        SCOPED_TRACE(shown);
        const RunResult run = cli(line);
        EXPECT_EQ(run.exitCode, 2);
        const auto usage = std::find_if(kUsages.begin(), kUsages.end(), [&](const auto& u) { return u.first == line[0]; });
        ASSERT_NE(usage, kUsages.end());
        EXPECT_EQ(run.err, "usage: veltrane-cli " + usage->second + "\n");
        EXPECT_EQ(run.out, "");
    }
    for (const std::vector<std::string>& line : std::vector<std::vector<std::string>>{
             {"edit", "new", "--select"}, {"edit", "new", "--bogus"}, {"edit", "new", "-o"}}) {
        const RunResult run = cli(line);
        EXPECT_EQ(run.exitCode, 2) << line.back();
        EXPECT_EQ(run.err.rfind("usage: veltrane-cli edit FILE|new", 0), 0u) << run.err;
    }
}

// A report that cannot be written is a failure, whatever the command.
TEST_F(CliTest, AReportThatCannotBeWrittenFails) {
    ASSERT_EQ(cli({"new", file("p.chg")}).exitCode, 0);
    const std::string p = file("p.chg");
    const std::vector<std::vector<std::string>> lines = {
        {"show", p},
        {"show", p, "--json"},
        {"check", p},
        {"automap", p},
        {"conflicts", p},
        {"edit", "new", "--print-tree"},
        {"edit", "new", "--select", "Subnet 1", "--print-grid"},
        {"edit", "new", "--select", "Subnet 1", "--print-help", "Baud Rate"},
        {"new", "--help"},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line[0] + " " + line.back());
        // Each works with a writable standard output...
        EXPECT_EQ(cli(line).exitCode, 0);
        // ...and fails when it is a full device.
        const RunResult run = cliVia("exec \"$0\" \"$@\" > /dev/full", line);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_NE(run.err.find("the report could not be written to standard output"), std::string::npos) << run.err;
    }
}

// Every command that writes a file writes through a link to the file it names, creating it when
// the link dangles; a loop of links is refused with a message and a failing exit code.
TEST_F(CliTest, OutputThroughLinksInEveryCommand) {
    ASSERT_EQ(cli({"new", file("p.chg")}).exitCode, 0);
    const std::string p = file("p.chg");
    fs::create_directory(m_dir / "real");
    struct Case {
        std::vector<std::string> before;  // arguments before the output
        std::string name;
        std::vector<std::string> after;
        std::string loopMessage;
    };
    const std::string loop = "is a loop of symbolic links that leads to no file.";
    const Case cases[] = {
        {{"new"}, "new.chg", {}, loop},
        {{"resave", p}, "resaved.chg", {}, loop},
        {{"automap", p, "-o"}, "mapped.chg", {}, loop},
        {{"edit", "new", "-o"}, "edited.chg", {"--select", "Subnet 1", "--add-node"}, loop},
        {{"export", p}, "book.xlsx", {}, "could not be written"},
        {{"conflicts", p, "--png"}, "map.png", {}, "Cannot write the picture"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto run = [&](const std::string& output) {
            std::vector<std::string> args = c.before;
            args.push_back(output);
            args.insert(args.end(), c.after.begin(), c.after.end());
            return cli(args);
        };
        fs::create_symlink("real/" + c.name, m_dir / c.name);
        const RunResult made = run(file(c.name));
        EXPECT_EQ(made.exitCode, 0) << made.err;
        EXPECT_TRUE(fs::is_symlink(m_dir / c.name));
        EXPECT_TRUE(fs::is_regular_file(m_dir / "real" / c.name));
        EXPECT_GT(fs::file_size(m_dir / "real" / c.name), 0u);

        const std::string looped = "loop-" + c.name;
        fs::create_symlink(looped, m_dir / looped);
        const RunResult refused = run(file(looped));
        EXPECT_EQ(refused.exitCode, 1);
        // Commands that print the application's messages print them on standard output.
        EXPECT_NE((refused.out + refused.err).find(c.loopMessage), std::string::npos) << refused.out << refused.err;
        EXPECT_TRUE(fs::is_symlink(m_dir / looped));
    }
    // No temporary file was left beside any of them.
    for (const auto& entry : fs::recursive_directory_iterator(m_dir))
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
}

// A FIFO named as the output, directly or through a link, is neither opened (which would block)
// nor replaced by a plain file.
TEST_F(CliTest, OutputThatIsNotARegularFileIsRefusedInEveryCommand) {
    ASSERT_EQ(cli({"new", file("p.chg")}).exitCode, 0);
    const std::string p = file("p.chg");
    ASSERT_EQ(::mkfifo(file("pipe").c_str(), 0600), 0);
    fs::create_symlink("pipe", m_dir / "link");
    const std::vector<std::vector<std::string>> commands = {
        {"new"}, {"resave", p}, {"automap", p, "-o"}, {"edit", "new", "-o"}, {"export", p}, {"conflicts", p, "--png"},
    };
    for (const auto& command : commands) {
        for (const char* name : {"pipe", "link"}) {
            SCOPED_TRACE(command.front() + " " + name);
            std::vector<std::string> args = command;
            args.push_back(file(name));
            const RunResult run = cli(args);
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_NE((run.out + run.err).find(file(name) + " is not a regular file"), std::string::npos)
                << run.out << run.err;
        }
    }
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(m_dir / "pipe")));
    EXPECT_TRUE(fs::is_symlink(m_dir / "link"));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 3);
}

// Stored texts are bytes, and JSON shows each byte as the Latin-1 character of its value: the byte
// E9 and the bytes C3 A9 are two different texts and print differently.
TEST_F(CliTest, ShowJsonKeepsDifferentStoredTextsApart) {
    const std::string p = file("names.chg");
    ASSERT_EQ(cli({"edit", "new", "-o", p, "--select", "Subnet 1", "--add-node", "--add-node"}).exitCode, 0);
    // Node names are not editable; they are put into the file's bytes directly (same length).
    std::string bytes = slurp(p);
    const std::size_t first = bytes.find("Node-1");
    const std::size_t second = bytes.find("Node-2");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    bytes.replace(first, 6, "Caf\xe9\x20\x20");
    bytes.replace(second, 6, "Caf\xc3\xa9\x20");
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;

    const RunResult shown = cli({"show", p, "--json"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(python(shown.out, "[n['name'] for n in d['CONFIG'][0]['nodes']] == ['Caf\\u00e9  ', 'Caf\\u00c3\\u00a9 '], "
                                "[n['name'].encode('latin-1').hex() for n in d['CONFIG'][0]['nodes']]")
                  .out,
              "True ['436166e92020', '436166c3a920']\n");
    // Plain ASCII, whatever the stored bytes.
    EXPECT_TRUE(std::all_of(shown.out.begin(), shown.out.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
}

// A stored 8-bit text is Windows-1252: the text output and the tree show its characters in UTF-8,
// the JSON keeps one \u00XX a byte as before, and the file keeps every byte.
TEST_F(CliTest, StoredTextsShowAsWindows1252AndKeepTheirBytes) {
    const std::string p = file("sued.chg");
    ASSERT_EQ(cli({"edit", "new", "-o", p, "--select", "Subnet 1", "--add-node"}).exitCode, 0);
    std::string bytes = slurp(p);
    const std::size_t at = bytes.find("\x06Node-1");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 7, "\x0cPumpe S\xfc" "d \x80\x9d");
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;

    const RunResult text = cli({"show", p});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("  node 1: address=\"1\" name=\"Pumpe S\u00fcd \u20ac\\x9d\"\n"), std::string::npos)
        << text.out;

    const RunResult tree = cli({"edit", p, "--print-tree"});
    ASSERT_EQ(tree.exitCode, 0) << tree.err;
    EXPECT_NE(tree.out.find("  Pumpe S\u00fcd \u20ac\u009d\n"), std::string::npos) << tree.out;
    EXPECT_EQ(cli({"edit", p, "--select", "Subnet 1/Pumpe S\u00fcd \u20ac\u009d"}).exitCode, 0);

    const RunResult json = cli({"show", p, "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_NE(json.out.find("\"Pumpe S\\u00fcd \\u0080\\u009d\""), std::string::npos) << json.out;

    ASSERT_EQ(cli({"resave", p, file("again.chg")}).exitCode, 0);
    EXPECT_EQ(slurp(file("again.chg")), bytes);
}
