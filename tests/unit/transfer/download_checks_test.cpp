// The checks before a download and the adoption of an upload, which the window and the command
// line share: each refusal shows its message, and a verdict left by an earlier check decides nothing.

#include "core/document/document.h"
#include "core/link/ethernet/configuration_image.h"
#include "core/link/serial/serial_requests.h"
#include "core/model/device_profile.h"
#include "core/model/project_defaults.h"
#include "core/strings/strings.h"
#include "core/transfer/download_checks.h"
#include "core/transfer/ethernet_entry.h"
#include "core/transfer/link_session.h"
#include "core/transfer/upload_adoption.h"
#include "support/project_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

using namespace veltrane;
using veltrane::testing::ProjectBuilder;

namespace {

// One read command of subnet 1, node 1, at input byte 0.
ProjectBuilder cleanProject(std::int32_t deviceType) {
    ProjectBuilder b;
    b.state.DeviceType = deviceType;
    applyProjectDefaults(b.project, b.state);
    const int node = b.node(1, "4");
    b.command(1, node, {.functionCode = "3", .dataCount = "1", .mappingAddress = "0", .mappingBit = "0",
                        .startAddress = "1"});
    return b;
}

// A second read command on the same input bytes.
ProjectBuilder conflictingProject(std::int32_t deviceType) {
    ProjectBuilder b = cleanProject(deviceType);
    b.command(1, 1, {.functionCode = "3", .dataCount = "1", .mappingAddress = "0", .mappingBit = "0",
                     .startAddress = "2"});
    return b;
}

}  // namespace

TEST(SerialDownloadChecks, TheConflictQuestionFollowsTheProjectBeingDownloaded) {
    const std::string question = tr(Str::DlMappingConflictQuestion);
    struct Case {
        bool conflicting;
        bool staleVerdict;  // what an earlier detection left
        Answer answer;
        bool goesOn;
        bool asked;
    };
    const Case cases[] = {
        {false, true, Answer::No, true, false},  // an old conflict is not asked about again
        {true, false, Answer::No, false, true},  // a new one is, though nothing had flagged it
        {true, false, Answer::Yes, true, true},
        {true, true, Answer::Yes, true, true},
    };
    for (const Case& c : cases) {
        ProjectBuilder b = c.conflicting ? conflictingProject(device::DeviceNet) : cleanProject(device::DeviceNet);
        LinkSession session;
        session.conflicts.MappingConflictFound = c.staleVerdict;
        ScriptedPrompter prompter({c.answer});
        EXPECT_EQ(prepareSerialDownload(b.project, b.state, prompter, session.conflicts), c.goesOn)
            << c.conflicting << c.staleVerdict;
        const bool asked = !prompter.shown().empty() && prompter.shown().back() == question;
        EXPECT_EQ(asked, c.asked) << c.conflicting << c.staleVerdict;
        EXPECT_EQ(session.conflicts.MappingConflictFound, c.conflicting) << "the verdict is this project's";
    }
}

TEST(SerialDownloadChecks, RefusalsComeBeforeTheConflictQuestion) {
    ProjectBuilder sizes = conflictingProject(device::Profibus);
    sizes.project.fieldbus.inputSize = "16";
    sizes.project.fieldbus.outputSize = "8";
    ProjectBuilder address = conflictingProject(device::DeviceNet);
    address.project.subnets[0].nodes[0].address = "-1";
    const std::pair<ProjectBuilder*, Str> cases[] = {{&sizes, Str::DlProfibusSizesDiffer},
                                                     {&address, Str::DlNodeAddressEmpty}};
    for (const auto& [b, refusal] : cases) {
        MappingConflictState conflicts;
        ScriptedPrompter prompter({Answer::Yes});
        EXPECT_FALSE(prepareSerialDownload(b->project, b->state, prompter, conflicts));
        EXPECT_EQ(prompter.shown(), std::vector<std::string>{tr(refusal)});
    }
}

TEST(SerialDownloadChecks, AnIncompleteProjectDoesNotOpenTheDialog) {
    ProjectBuilder b = cleanProject(device::DeviceNet);
    ScriptedPrompter prompter;
    EXPECT_TRUE(serialDownloadMayOpen(b.project, b.state, prompter));
    EXPECT_TRUE(prompter.shown().empty());
    b.project.subnets[0].commands[0].dataCount = "-1";  // not filled in
    EXPECT_FALSE(serialDownloadMayOpen(b.project, b.state, prompter));
    ASSERT_FALSE(prompter.shown().empty());
    EXPECT_EQ(prompter.shown().back(), tr(Str::DlConfigurationIncomplete));
}

TEST(EthernetDownloadChecks, AFreshConflictCheckDecidesWhetherTheDialogOpens) {
    for (bool conflicting : {false, true}) {
        ProjectBuilder b = conflicting ? conflictingProject(device::EtherNetIP) : cleanProject(device::EtherNetIP);
        MappingConflictState conflicts;
        conflicts.MappingConflictFound = !conflicting;
        ScriptedPrompter prompter;
        EXPECT_EQ(ethernetDownloadMayOpen(b.project, b.state, prompter, conflicts), !conflicting);
        EXPECT_EQ(conflicts.MappingConflictFound, conflicting);
        const std::vector<std::string> expected =
            conflicting ? std::vector<std::string>{tr(Str::EthCommandConflict)} : std::vector<std::string>{};
        EXPECT_EQ(prompter.shown(), expected);
    }
}

TEST(LinkSessionLifetime, ANewProjectResetsOnlyTheBaudRate) {
    LinkSession session;
    session.serialPort.BaudRateIndex = 2;
    session.serialPort.ParityIndex = 1;
    session.serialPort.SerialPortIndex = 1;
    session.serialPort.SerialPortConfigured = true;
    session.gateway.GatewayAddress = "127.0.0.2";
    session.conflicts.MappingConflictFound = true;

    session.serialPort.refreshPorts({{"/dev/ttyUSB0", "ttyUSB0"}});
    EXPECT_EQ(session.serialPort.BaudRateIndex, 2) << "listing the ports again keeps the choice";

    session.projectReplaced({{"/dev/ttyUSB1", "ttyUSB1"}}, device::FourSubnets);
    EXPECT_EQ(session.serialPort.lineSettings().baudRate, 115200);
    session.projectReplaced({}, device::DeviceNet);
    EXPECT_EQ(session.serialPort.lineSettings().baudRate, 19200);
    EXPECT_EQ(session.serialPort.ParityIndex, 1);
    EXPECT_EQ(session.serialPort.SerialPortIndex, 1);
    EXPECT_TRUE(session.serialPort.SerialPortConfigured);
    EXPECT_EQ(session.gateway.GatewayAddress, "127.0.0.2");
    EXPECT_TRUE(session.conflicts.MappingConflictFound);
}

TEST(UploadAdoption, AnEthernetImageReplacesTheRecordsAndLeavesThemUntitled) {
    ProjectBuilder gateway = conflictingProject(device::EtherNetIP);
    const ethernet::ConfigurationImage image = ethernet::buildConfigurationImage(gateway.project, gateway.state);

    ScriptedPrompter prompter;
    Document document(prompter);
    document.newDocument();
    int replaced = 0;
    auto listening = document.changes().subscribe([&](ProjectChange change) {
        replaced += change == ProjectChange::Replaced ? 1 : 0;
    });
    adoptEthernetUpload(document, image, "127.0.0.2");
    EXPECT_EQ(document.project().subnets[0].commandCount, 2);
    EXPECT_TRUE(document.filePath().empty());
    EXPECT_EQ(document.origin(), "127.0.0.2");
    EXPECT_EQ(document.project().subnets[0].commands[1].startAddress, "2");
    EXPECT_FALSE(document.state().ProjectModified);
    EXPECT_EQ(replaced, 1);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST(EthernetEntry, RemoteSwitchAndModelCodeDecide) {
    struct Case {
        EthernetOperation operation;
        bool remote;
        std::uint32_t model;
        bool singleSubnet;
        const char* message;  // nullptr: allowed
        const char* detail = "";  // the line below the message
    };
    const Case cases[] = {
        {EthernetOperation::Download, false, 0, false, "Remote configuration is disabled, please check the local DIP switch status!"},
        {EthernetOperation::Upload, false, 0, false, nullptr},
        {EthernetOperation::Download, true, 30102, false, "Equipment Type do not match!",
         "The project is for the VN480-KD-3QX712 (two subnets); the chosen gateway is the PLD-772XQ (model code "
         "30102). Choose a gateway of the project's kind, or open a project made for this gateway."},
        {EthernetOperation::Upload, true, 30202, true, "Equipment Type do not match!",
         "The project is for the PLD-772XQ (one subnet); the chosen gateway is the VN480-KD-3QX712 (model code "
         "30202). Choose a gateway of the project's kind, or open a project made for this gateway."},
        {EthernetOperation::Download, true, 30102, true, nullptr},
        {EthernetOperation::Download, true, 30202, false, nullptr},
        {EthernetOperation::Download, true, 0, true, nullptr},
        {EthernetOperation::Download, true, 12345, false, nullptr},
    };
    for (const Case& c : cases) {
        ethernet::GatewaySelection selection;
        selection.RemoteConfigAllowed = c.remote;
        selection.GatewayModelCode = c.model;
        ProjectState state;
        state.flags.singleSubnetModel = c.singleSubnet;
        ScriptedPrompter prompter;
        EXPECT_EQ(ethernetEntryAllowed(c.operation, selection, state, prompter), c.message == nullptr) << c.model;
        const std::string shown = std::string(c.message ? c.message : "") + (*c.detail ? "\n" : "") + c.detail;
        const std::vector<std::string> expected = c.message ? std::vector<std::string>{shown} : std::vector<std::string>{};
        EXPECT_EQ(prompter.shown(), expected);
    }
}

TEST(EthernetDownload, ByteCountsAreRecomputedBeforeTheRangeCheck) {
    struct Case {
        const char* code;
        const char* count;
        const char* mapping;
        const char* byteCount;  // after the check
        bool passes;
        const char* detail = "";  // below the refusal
    };
    const Case cases[] = {
        {"1", "16", "1E9", "3", true},
        {"1", "16", "1EA", "3", false,
         "Subnet 1, command 1: mapping address 1EA with 3 bytes ends at 01EC, past the end of the input buffer (492 "
         "bytes, 0000 to 01EB). Correct the command or use Calculate Mapping Address."},
        {"6", "1", "41EA", "2", true},
        {"6", "1", "41EB", "2", false,
         "Subnet 1, command 1: mapping address 41EB with 2 bytes ends at 41EC, past the end of the output buffer "
         "(492 bytes, 4000 to 41EB). Correct the command or use Calculate Mapping Address."},
        {"3", "10", "0", "20", true},   {"15", "8", "4000", "2", true},
        {"5", "1", "41EB", "1", true},   {"7", "99", "FFFF", "keep", true},
    };
    for (const Case& c : cases) {
        ProjectBuilder b;
        b.node(1, "1");
        b.command(1, 1, {c.code, c.count, c.mapping});
        b.at(1, 1).byteCount = "keep";
        ScriptedPrompter prompter;
        EXPECT_EQ(prepareEthernetDownload(b.project, prompter), c.passes) << c.code << " at " << c.mapping;
        EXPECT_EQ(b.at(1, 1).byteCount, c.byteCount);
        if (!c.passes) {
            EXPECT_EQ(prompter.shown(),
                      std::vector<std::string>{std::string("Data mapping address exceeds the maximum RMS!\n") + c.detail});
        }
    }
}

TEST(EthernetDownload, EmptyNodeAddressOfEitherImageSubnetStopsBeforeAnyChange) {
    for (const char* address : {"", "-1"}) {
        ProjectBuilder b;
        b.node(1, "1");
        b.command(1, 1, {"3", "4", "0"});
        b.node(2, address);
        const Project before = b.project;
        ScriptedPrompter prompter;
        EXPECT_FALSE(prepareEthernetDownload(b.project, prompter));
        EXPECT_EQ(prompter.shown(), std::vector<std::string>{"Node address can not be empty!"});
        EXPECT_EQ(b.project, before);
    }
}


namespace {

std::string tooWide(const std::string& item, const std::string& row, const std::string& value) {
    return item + ", \"" + row + "\": the value " + value + " does not fit the field the gateway receives; nothing was sent.";
}

}  // namespace

// A number is refused when the value its field gets (after the writer's own division) lies outside
// the field's signed and unsigned range; a number at either end of the range keeps its own bytes.
TEST(DownloadNumbers, EthernetImageFieldsTakeOnlyWhatFits) {
    struct Case {
        std::string CONFIG::*field;
        int subnet;                   // 1-based
        const char* text;
        std::size_t at;               // offset in the image; 0 when refused
        std::vector<std::uint8_t> bytes;
        const char* row;
    };
    const Case cases[] = {
        {&CONFIG::baudRate, 1, "4294967295", 0x020, {0xFF, 0xFF, 0xFF, 0xFF}, nullptr},
        {&CONFIG::responseTimeout, 1, "-2147483648", 0x030 + 12, {0x80, 0, 0, 0}, nullptr},
        {&CONFIG::stopBits, 2, "-128", 0x02E, {0x80}, nullptr},
        {&CONFIG::dataBits, 2, "255", 0x02C, {0xFF}, nullptr},
        {&CONFIG::responseTimeout, 1, "99999999999", 0, {}, "Response Timeout (10~60000ms)"},
        {&CONFIG::stopBits, 2, "4294967297", 0, {}, "Stop Bits"},
        {&CONFIG::dataBits, 1, "-129", 0, {}, "Data Bits"},
        {&CONFIG::scanRate, 2, "4294967296", 0, {}, "Scan Rate (1~255)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ProjectBuilder b = cleanProject(device::EtherNetIP);
        b.project.subnets[static_cast<std::size_t>(c.subnet - 1)].*c.field = c.text;
        ScriptedPrompter prompter;
        const bool passes = prepareEthernetDownload(b.project, prompter);
        EXPECT_EQ(passes, c.row == nullptr);
        if (c.row) {
            EXPECT_EQ(prompter.shown(),
                      std::vector<std::string>{tooWide("Subnet " + std::to_string(c.subnet), c.row, c.text)});
            continue;
        }
        const auto image = ethernet::buildConfigurationImage(b.project, b.state);
        EXPECT_EQ(std::vector<std::uint8_t>(image.bytes().begin() + static_cast<std::ptrdiff_t>(c.at),
                                            image.bytes().begin() + static_cast<std::ptrdiff_t>(c.at + c.bytes.size())),
                  c.bytes);
    }
    // A command's fields are named by the command's place in the tree.
    ProjectBuilder b = cleanProject(device::EtherNetIP);
    b.at(1, 1).startAddress = "65536";
    ScriptedPrompter prompter;
    EXPECT_FALSE(prepareEthernetDownload(b.project, prompter));
    EXPECT_EQ(prompter.shown(), std::vector<std::string>{tooWide("Subnet 1 / Node-4 / 03 Read Holding Register (#1)",
                                                                 "Starting Address", "65536")});
}

// The serial frames are narrower, and two of their numbers go in tenths.
TEST(DownloadNumbers, SerialFrameFieldsTakeOnlyWhatFits) {
    struct Case {
        std::string CONFIG::*field;
        const char* text;
        std::size_t at;  // offset in the subnet block
        std::uint8_t byte;
        const char* row;  // refused with this row
    };
    const Case cases[] = {
        {&CONFIG::outputPulse, "2559", 11, 0xFF, nullptr},
        {&CONFIG::outputPulse, "-1289", 11, 0x80, nullptr},
        {&CONFIG::pollDelay, "-1", 9, 0x00, nullptr},
        {&CONFIG::responseTimeout, "65535", 8, 0xFF, nullptr},
        {&CONFIG::outputPulse, "2560", 0, 0, "Output Pulse (200~2500ms)"},
        {&CONFIG::pollDelay, "-1290", 0, 0, "Delay between Polls (0~2500ms)"},
        {&CONFIG::responseTimeout, "65536", 0, 0, "Response Timeout (10~60000ms)"},
        {&CONFIG::scanRate, "99999999999", 0, 0, "Scan Rate (1~255)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ProjectBuilder b = cleanProject(0);
        b.project.subnets[0].*c.field = c.text;
        const Status ready = serialDownloadPreconditions(b.project, b.state);
        EXPECT_EQ(ready.ok(), c.row == nullptr);
        if (c.row)
            EXPECT_EQ(ready.message(), tooWide("Subnet 1", c.row, c.text));
        else
            EXPECT_EQ(serial::subnetBlock(b.project, 0)[c.at], c.byte);
    }
    ProjectBuilder b = cleanProject(0);
    b.project.fieldbus.deviceNetAddress = "256";
    EXPECT_EQ(serialDownloadPreconditions(b.project, b.state).message(),
              tooWide("Fieldbus", "DeviceNet Address (0~63)", "256"));
}

// A zero-length file opens as "keep the current records"; sending it would send the defaults.
TEST(DownloadFile, AFileThatHoldsNoProjectIsNotSent) {
    const std::string path = ::testing::TempDir() + "download_checks_empty.chg";
    { std::ofstream(path, std::ios::binary | std::ios::trunc); }
    ScriptedPrompter prompter;
    Document document(prompter);
    document.newDocument();
    EXPECT_FALSE(openProjectToSend(document, path));
    EXPECT_EQ(prompter.shown(), std::vector<std::string>{path + " holds no project; nothing was sent."});
    // Opening it as a file still works as before.
    EXPECT_TRUE(document.openDocument(path));
    std::remove(path.c_str());
}
