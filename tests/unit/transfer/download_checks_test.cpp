// The checks before a download and the adoption of an upload, which the window and the command
// line share: each refusal shows its message, and a verdict left by an earlier check decides nothing.

#include "core/document/document.h"
#include "core/link/ethernet/configuration_image.h"
#include "core/model/project_defaults.h"
#include "core/strings/strings.h"
#include "core/transfer/download_checks.h"
#include "core/transfer/ethernet_entry.h"
#include "core/transfer/link_session.h"
#include "core/transfer/upload_adoption.h"
#include "support/project_builder.h"

#include <gtest/gtest.h>

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

TEST(UploadAdoption, AnEthernetImageReplacesTheRecordsButNotTheFileOrItsState) {
    ProjectBuilder gateway = conflictingProject(device::EtherNetIP);
    const ethernet::ConfigurationImage image = ethernet::buildConfigurationImage(gateway.project, gateway.state);

    ScriptedPrompter prompter;
    Document document(prompter);
    document.newDocument();
    int replaced = 0;
    auto listening = document.changes().subscribe([&](ProjectChange change) {
        replaced += change == ProjectChange::Replaced ? 1 : 0;
    });
    adoptEthernetUpload(document, image);
    EXPECT_EQ(document.project().subnets[0].commandCount, 2);
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
    };
    const Case cases[] = {
        {EthernetOperation::Download, false, 0, false, "Remote configuration is disabled, please check the local DIP switch status!"},
        {EthernetOperation::Upload, false, 0, false, nullptr},
        {EthernetOperation::Download, true, 30102, false, "Equipment Type do not match!"},
        {EthernetOperation::Upload, true, 30202, true, "Equipment Type do not match!"},
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
        const std::vector<std::string> expected = c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{};
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
    };
    const Case cases[] = {
        {"1", "16", "1E9", "3", true},   {"1", "16", "1EA", "3", false}, {"6", "1", "41EA", "2", true},
        {"6", "1", "41EB", "2", false},  {"3", "10", "0", "20", true},   {"15", "8", "4000", "2", true},
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
            EXPECT_EQ(prompter.shown(), std::vector<std::string>{"Data mapping address exceeds the maximum RMS!"});
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

