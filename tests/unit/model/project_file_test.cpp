#include "core/document/document.h"
#include "file_test_support.h"
#include "core/model/archive_reader.h"
#include "core/model/archive_writer.h"
#include "core/model/project_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>

using namespace veltrane;
using namespace veltrane::testing;

namespace {

const char* const kNewProjectHex =
    "04000000"                                      // DeviceType 4
    "fa750000"                                      // product marker 30202
    "ffff010008004649454c44425553"                  // new class FIELDBUS, schema 1
    "0b45746865724e65742f49500130043132354b0138"    // EtherNet/IP, 0, 125K, 8
    "01380f4d616e75616c6c792041737369676e0d3139322e3136382e302e3131300d3235352e3235352e3235352e30"
                                                    // 8, Manually Assign, 192.168.0.110, 255.255.255.0
    "0b3139322e3136382e302e3107302e302e302e3007302e302e302e30"  // 192.168.0.1, 0.0.0.0, 0.0.0.0
    // subnet 1
    "ffff01000600434f4e464947"                      // new class CONFIG, schema 1
    "38010000"                                      // version 312
    "0d4d6f64627573204d61737465720531393230300138044e6f6e65013103525455"  // Modbus Master group
    "0333303001300f4368616e6765206f662056616c7565022d31023130"
    "0531393230300138044e6f6e6501310003525455"      // Modbus Slave group
    "0531393230300138044e6f6e6501312054696d6520496e74657276616c206265747765656e2043686172616374657273"
    "023130033131310744697361626c6504313030300744697361626c650552533438350552533233320744697361626c65"
    "033330300138044e6f6e650131"                    // Custom protocol group
    "0000000000000000"                              // no nodes, no commands
    "0000000006456e61626c650000"                    // switches of 233..246, doubleFaultClear "Enable"
    "000744697361626c650d5c54656d706c6174652e786c730133"  // commandStatus group
    "000000"                                        // singleSubnetModel, empty delimiters
    // subnet 2
    "0380"                                          // class index 3
    "38010000"
    "0d4d6f64627573204d61737465720531393230300138044e6f6e65013103525455"
    "0333303001300f4368616e6765206f662056616c7565022d31023130"
    "0531393230300138044e6f6e6501310003525455"
    "0531393230300138044e6f6e6501312054696d6520496e74657276616c206265747765656e2043686172616374657273"
    "023130033131310744697361626c6504313030300744697361626c650552533438350552533233320744697361626c65"
    "033330300138044e6f6e650131"
    "0000000000000000"
    "00000000000000"                                // doubleFaultClear of subnet 2 is empty
    "000744697361626c650d5c54656d706c6174652e786c730133"
    "000000"
    "105573652042797465732063686f69636500";         // configMode "Use Bytes choice", configData ""

// A document as the application has it after start-up: a new project.
struct OpenedDocument {
    ScriptedPrompter prompter;
    Document document{prompter};
    OpenedDocument() { document.newDocument(); }
};

Result<LoadedProject> decodeFixture(const std::string& name, const ProjectState& state = ProjectState{}) {
    return decodeProjectFile(readBytes(fixture(name)), state);
}

// Every text of the records set to its own name, switches on, one node and one command per subnet.
Project distinctProject() {
    Project project;
    FIELDBUS& f = project.fieldbus;
#define SET(record, field, suffix) record.field = std::string(#field) + suffix
    SET(f, fieldbusType, ""); SET(f, deviceNetAddress, ""); SET(f, deviceNetBaudRate, ""); SET(f, inputSize, "");
    SET(f, outputSize, ""); SET(f, configMode, ""); SET(f, configData, ""); SET(f, ipAssignMode, "");
    SET(f, ipAddress, ""); SET(f, subnetMask, ""); SET(f, defaultGateway, ""); SET(f, dns1, ""); SET(f, dns2, "");
    for (int k = 0; k < 2; ++k) {
        CONFIG& c = project.subnets[static_cast<std::size_t>(k)];
        const std::string s = std::to_string(k + 1);
        SET(c, doubleFaultClear, s); SET(c, protocolType, s); SET(c, baudRate, s); SET(c, dataBits, s);
        SET(c, parity, s); SET(c, stopBits, s); SET(c, transmissionMode, s); SET(c, responseTimeout, s);
        SET(c, pollDelay, s); SET(c, outputMode, s); SET(c, outputPulse, s); SET(c, scanRate, s);
        SET(c, commandStatus, s); SET(c, timeoutAction, s); SET(c, timeoutTimes, s); SET(c, slaveBaudRate, s);
        SET(c, slaveDataBits, s); SET(c, slaveParity, s); SET(c, slaveStopBits, s); SET(c, slaveModeAddress, s);
        SET(c, slaveTransmissionMode, s); SET(c, customBaudRate, s); SET(c, customDataBits, s);
        SET(c, customParity, s); SET(c, customStopBits, s); SET(c, userBaudRate, s); SET(c, userDataBits, s);
        SET(c, userParity, s); SET(c, userStopBits, s); SET(c, frameType, s); SET(c, charInterval, s);
        SET(c, frameLength, s); SET(c, autoSend, s); SET(c, autoSendPeriod, s); SET(c, crcCheck, s);
        SET(c, commInterface, s); SET(c, debugInterface, s); SET(c, validDataLength, s); SET(c, startDelimiter, s);
        SET(c, endDelimiter, s);
        c.nodeCount = 1;
        c.commandCount = 1;
        NodeEntry& n = c.nodes[0];
        SET(n, address, s); SET(n, name, s);
        INSTRUCTION& i = c.commands[0];
        SET(i, slaveAddress, s); SET(i, functionCode, s); SET(i, startAddress, s); SET(i, dataCount, s);
        SET(i, mappingAddress, s); SET(i, mappingBit, s); SET(i, byteCount, s); SET(i, filterOrSwap, s);
        SET(i, checkType, s); SET(i, scanType, s);
        i.nodeIndex = 1;
    }
#undef SET
    return project;
}

ModelFlags allFlags() { return ModelFlags{true, true, true, true, true, true, true, true}; }

}  // namespace

TEST(ProjectFileLayout, NewProjectIsSavedByteForByte) {
    TempDir dir;
    OpenedDocument app;
    ASSERT_TRUE(app.document.saveDocument(dir.file("new.chg")));
    EXPECT_EQ(readBytes(dir.file("new.chg")), fromHex(kNewProjectHex));
    // The fixture encoder agrees, so the reading tests below start from the same bytes.
    EXPECT_EQ(readBytes(fixture("new_project.chg")), fromHex(kNewProjectHex));
}

TEST(ProjectFileLayout, ReadsEveryFieldFromItsPlace) {
    const Result<LoadedProject> outcome = decodeFixture("distinct_fields.chg");
    ASSERT_TRUE(outcome.ok()) << (outcome.ok() ? "" : outcome.message());
    const LoadedProject& loaded = *outcome;
    Project expected = distinctProject();
    EXPECT_EQ(loaded.project.fieldbus, expected.fieldbus);
    EXPECT_EQ(loaded.project.subnets[0], expected.subnets[0]);
    EXPECT_EQ(loaded.project.subnets[1], expected.subnets[1]);
    EXPECT_EQ(loaded.subnetCount, 2);
    EXPECT_EQ(loaded.DeviceType, 4);
    EXPECT_EQ(loaded.FormatVersion, 312);
    ModelFlags flags = allFlags();
    flags.singleSubnetModel = false;
    EXPECT_EQ(loaded.flags, flags);

    // And writes every field back to the same place.
    ProjectState state;
    state.DeviceType = loaded.DeviceType;
    state.flags = loaded.flags;
    EXPECT_EQ(encodeProjectFile(loaded.project, state), readBytes(fixture("distinct_fields.chg")));
}

TEST(ProjectFileLayout, EveryFixtureReadsAndCanonicalOnesWriteBackIdentically) {
    for (const char* name : {"new_project.chg", "full_312.chg", "single_subnet.chg", "distinct_fields.chg"}) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> bytes = readBytes(fixture(name));
        const Result<LoadedProject> outcome = decodeProjectFile(bytes, ProjectState{});
        ASSERT_TRUE(outcome.ok()) << (outcome.ok() ? "" : outcome.message());
        ProjectState state;
        state.DeviceType = outcome->DeviceType;
        state.FormatVersion = outcome->FormatVersion;
        state.flags = outcome->flags;
        EXPECT_EQ(encodeProjectFile(outcome->project, state), bytes);
    }
}

TEST(ProjectFileLayout, FullFixtureKeepsTextsAsStoredBytes) {
    const Result<LoadedProject> outcome = decodeFixture("full_312.chg");
    ASSERT_TRUE(outcome.ok()) << (outcome.ok() ? "" : outcome.message());
    const Project& p = outcome->project;
    EXPECT_EQ(outcome->DeviceType, 3);
    EXPECT_EQ(p.subnets[0].nodeCount, 3);
    EXPECT_EQ(p.subnets[0].nodes[1].name, "Pump \"A\" \\ line\t2");
    EXPECT_EQ(p.subnets[0].nodes[2].name, "Caf\xe9");
    EXPECT_EQ(p.subnets[0].commands[1].functionCode, "16");
    EXPECT_EQ(p.subnets[0].commands[2].nodeIndex, 3);
    EXPECT_EQ(p.subnets[0].timeoutAction, "hold");
    EXPECT_EQ(p.subnets[0].startDelimiter, "2");
    EXPECT_EQ(p.subnets[1].nodes[0].name, std::string(300, 'L'));
    EXPECT_EQ(p.fieldbus.configData, "D1 E1");
    EXPECT_TRUE(outcome->flags.commandStatusModel);
    EXPECT_FALSE(outcome->flags.largeBufferModel);
}

// Each tail field by the version that brought it; a file of version V holds exactly those at or
// below V, compared as unsigned, and nothing else changes.
TEST(ProjectFileVersions, RoundTripAtEveryBoundary) {
    const std::int32_t versions[] = {232, 233, 243, 244, 245, 246, 299, 300, 311, 312, -1};
    for (const std::int32_t version : versions) {
        SCOPED_TRACE(version);
        const auto v = static_cast<std::uint32_t>(version);
        Project project = distinctProject();
        ProjectState state;
        state.DeviceType = 7;
        state.FormatVersion = version;
        state.flags = allFlags();
        const std::vector<std::uint8_t> bytes = encodeProjectFile(project, state);

        ProjectState before;
        before.flags.singleSubnetModel = true;  // kept by files older than the switch
        const Result<LoadedProject> outcome = decodeProjectFile(bytes, before);
        ASSERT_TRUE(outcome.ok()) << (outcome.ok() ? "" : outcome.message());
        const LoadedProject& loaded = *outcome;
        EXPECT_EQ(loaded.FormatVersion, version);
        EXPECT_EQ(loaded.DeviceType, 7);

        const ModelFlags expectedFlags{v >= 233, v >= 233, v >= 243, v >= 244, v >= 245, v >= 246, v >= 300, true};
        EXPECT_EQ(loaded.flags, expectedFlags);

        Project expected = project;
        for (int k = 0; k < 2; ++k) {
            CONFIG& c = expected.subnets[static_cast<std::size_t>(k)];
            if (v < 244)
                c.doubleFaultClear.clear();
            if (v < 300)
                c.commandStatus.clear(), c.timeoutAction.clear(), c.timeoutTimes.clear();
            if (v < 312)
                c.startDelimiter.clear(), c.endDelimiter.clear();
        }
        // The closing texts go by the signed version.
        if (version < 246)
            expected.fieldbus.configMode.clear(), expected.fieldbus.configData.clear();
        expected.subnets[2] = expected.subnets[3] = CONFIG{};
        EXPECT_EQ(loaded.project, expected);

        // What was read is written back to the same bytes.
        ProjectState again = state;
        again.flags = loaded.flags;
        again.flags.singleSubnetModel = state.flags.singleSubnetModel;
        EXPECT_EQ(encodeProjectFile(loaded.project, again), bytes);
    }
}

TEST(ProjectFileVersions, Version232OpensWithLaterFieldsEmptyAndSavesAs232) {
    TempDir dir;
    OpenedDocument app;
    ASSERT_TRUE(app.document.openDocument(fixture("single_subnet.chg").string()));
    ASSERT_TRUE(app.document.state().flags.singleSubnetModel);
    app.document.state().ProjectModified = true;

    ASSERT_TRUE(app.document.openDocument(fixture("version_232.chg").string()));
    const ProjectState& state = app.document.state();
    const Project& project = app.document.project();
    ModelFlags expectedFlags;
    expectedFlags.singleSubnetModel = true;  // as it was
    EXPECT_EQ(state.flags, expectedFlags);
    EXPECT_EQ(state.FormatVersion, 232);
    EXPECT_EQ(state.DeviceType, 1);
    EXPECT_TRUE(state.ProjectModified);  // opening leaves it
    EXPECT_TRUE(state.ProjectPrepared);
    EXPECT_EQ(project.fieldbus.configMode, "");
    EXPECT_EQ(project.fieldbus.configData, "");
    for (int k = 0; k < 2; ++k) {
        const CONFIG& c = project.subnets[static_cast<std::size_t>(k)];
        for (const std::string* text : {&c.doubleFaultClear, &c.commandStatus, &c.timeoutAction, &c.timeoutTimes,
                                        &c.startDelimiter, &c.endDelimiter})
            EXPECT_EQ(*text, "");
    }
    // The spellings of older versions are converted while the records are taken over.
    EXPECT_EQ(project.fieldbus.ipAssignMode, "Manually Assign");
    EXPECT_EQ(project.subnets[0].commands[0].filterOrSwap, "Two Bytes Swap");
    EXPECT_EQ(project.subnets[0].commands[1].filterOrSwap, "Four Bytes Swap");
    EXPECT_EQ(project.subnets[0].commands[2].filterOrSwap, "No Swap");

    ASSERT_TRUE(app.document.saveDocument(dir.file("again.chg")));
    const Result<LoadedProject> reread = readProjectFile(dir.file("again.chg"), ProjectState{});
    ASSERT_TRUE(reread.ok()) << (reread.ok() ? "" : reread.message());
    EXPECT_EQ(reread->FormatVersion, 232);
    EXPECT_EQ(reread->project.fieldbus, project.fieldbus);
    EXPECT_EQ(reread->project.subnets[0], project.subnets[0]);
    EXPECT_EQ(reread->project.subnets[1], project.subnets[1]);
    // A new project keeps the version of the last opened file.
    app.document.newDocument();
    EXPECT_EQ(app.document.state().FormatVersion, 232);
}

TEST(ProjectFileOpen, SlotsBeyondTheCountsAreEmptyAndUnstoredSubnetsUntouched) {
    OpenedDocument app;
    Project& project = app.document.project();
    project.subnets[0].nodes[10].name = "stale";
    project.subnets[0].commands[47].functionCode = "3";
    project.subnets[0].commands[47].nodeIndex = 5;
    project.subnets[3].protocolType = "kept";
    ASSERT_TRUE(app.document.openDocument(fixture("full_312.chg").string()));
    EXPECT_EQ(project.subnets[0].nodes[10], NodeEntry{});
    EXPECT_EQ(project.subnets[0].nodes[3], NodeEntry{});
    EXPECT_EQ(project.subnets[0].commands[47], INSTRUCTION{});
    EXPECT_EQ(project.subnets[0].commands[3], INSTRUCTION{});
    EXPECT_EQ(project.subnets[3].protocolType, "kept");
}

TEST(ProjectFileOpen, ProductMarkerIsToldByTheBytesNotByThePreviousProject) {
    OpenedDocument app;
    const ProjectState& state = app.document.state();
    ASSERT_TRUE(app.document.openDocument(fixture("single_subnet.chg").string()));
    EXPECT_TRUE(state.flags.singleSubnetModel);
    EXPECT_EQ(app.document.project().subnets[0].endDelimiter, "255");
    EXPECT_EQ(app.document.project().fieldbus.configMode, "Disable");

    ASSERT_TRUE(app.document.openDocument(fixture("full_312.chg").string()));
    EXPECT_FALSE(state.flags.singleSubnetModel);
    EXPECT_EQ(state.DeviceType, 3);

    ASSERT_TRUE(app.document.openDocument(fixture("single_subnet.chg").string()));
    EXPECT_TRUE(state.flags.singleSubnetModel);
    app.document.newDocument();
    EXPECT_FALSE(state.flags.singleSubnetModel);
}

TEST(ProjectFileOpen, ZeroLengthFileIsAnEmptyProject) {
    TempDir dir;
    writeBytes(dir.file("empty.chg"), {});
    OpenedDocument fresh;
    const Project newProject = fresh.document.project();
    fresh.document.project().fieldbus.ipAddress = "10.0.0.1";
    ASSERT_TRUE(fresh.document.openDocument(dir.file("empty.chg")));
    EXPECT_EQ(fresh.document.project(), newProject);
    EXPECT_EQ(fresh.document.filePath(), dir.file("empty.chg"));

    // After a file the records are prepared: nothing is read and nothing replaced.
    OpenedDocument opened;
    ASSERT_TRUE(opened.document.openDocument(fixture("full_312.chg").string()));
    const Project before = opened.document.project();
    const ProjectState stateBefore = opened.document.state();
    ASSERT_TRUE(opened.document.openDocument(dir.file("empty.chg")));
    EXPECT_EQ(opened.document.project(), before);
    EXPECT_EQ(opened.document.state(), stateBefore);
}

// Refused from its size alone: the sparse file would take 64 MiB of reading to judge otherwise.
TEST(ProjectFileOpen, AFileAboveTheLimitIsRefusedUnread) {
    TempDir dir;
    const std::string path = dir.file("huge.chg");
    writeBytes(path, {});
    std::filesystem::resize_file(path, kMaxProjectFileBytes + 1);
    OpenedDocument app;
    const Project before = app.document.project();
    EXPECT_FALSE(app.document.openDocument(path));
    EXPECT_EQ(app.prompter.shown(),
              std::vector<std::string>{path + " is larger than 64 MiB, the limit for a project file; it was not opened."});
    EXPECT_EQ(app.document.project(), before);
}

TEST(ProjectFileOpen, PrefixFormsOfOtherWriters) {
    const Result<LoadedProject> outcome = decodeFixture("prefix_forms.chg");
    ASSERT_TRUE(outcome.ok()) << (outcome.ok() ? "" : outcome.message());
    // A 16-bit text is held as the 8-bit ones are: a character without a byte becomes "?".
    EXPECT_EQ(outcome->project.subnets[0].nodes[0].name, "Pumpe-\xdc?");
    EXPECT_EQ(outcome->project.subnets[0].nodes[1].name, "Node-2");
}

TEST(ArchiveText, LengthPrefixBoundaries) {
    struct Case {
        std::size_t length;
        const char* prefix;
    };
    const Case cases[] = {
        {0, "00"},           {254, "fe"},           {255, "ffff00"},
        {0xFFFD, "fffdff"},  {0xFFFE, "ffffff feff0000"}, {0x10000, "ffffff 00000100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string text(c.length, 'x');
        ArchiveWriter writer;
        writer.writeText(text);
        const std::vector<std::uint8_t> prefix = fromHex(c.prefix);
        ASSERT_EQ(writer.bytes().size(), prefix.size() + c.length);
        EXPECT_TRUE(std::equal(prefix.begin(), prefix.end(), writer.bytes().begin()));
        ArchiveReader reader(writer.bytes());
        EXPECT_EQ(reader.readText(), text);
        EXPECT_EQ(reader.remaining(), 0u);
    }
}

TEST(ArchiveText, ReadsEveryPrefixForm) {
    struct Case {
        const char* hex;
        const char* text;
    };
    const Case cases[] = {
        {"ffffffffffffff 0300000000000000 616263", "abc"},  // 64-bit length
        {"ffffff 03000000 616263", "abc"},                    // 32-bit length
        {"fffeff 02 4100e900", "A\xe9"},                      // 16-bit characters, byte length
        {"fffeff 03 ac202d4e8100", "\x80?\x81"},              // stored as the 8-bit texts are
        {"fffeff ff0200 42004300", "BC"},                     // 16-bit characters, word length
        {"fffeff ffffff 01000000 3d d8", "?"},                // a lone surrogate
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hex);
        const std::vector<std::uint8_t> bytes = fromHex(c.hex);
        ArchiveReader reader(bytes);
        EXPECT_EQ(reader.readText(), c.text);
        EXPECT_EQ(reader.remaining(), 0u);
    }
}

// A damaged file is refused with the message of its fault, and the open project stays as it was.
TEST(ProjectFileDamage, RefusedWithTheMessageOfTheFault) {
    const std::vector<std::uint8_t> good = fromHex(kNewProjectHex);
    const std::size_t fieldbusTag = 8;
    const std::size_t configTag = 0x75;
    const std::size_t secondTag = 0x174;
    const std::size_t nodeCount = 0x143;  // of subnet 1, after its 34 texts
    const std::size_t firstText = 0x16;
    ASSERT_EQ(good[configTag], 0xFF);
    ASSERT_EQ(good[secondTag], 0x03);
    ASSERT_EQ(good[secondTag + 1], 0x80);

    struct Case {
        const char* what;
        std::size_t at;
        const char* replacement;  // hex written over the bytes at `at`
        const char* message;
    };
    const Case cases[] = {
        {"first object of class CONFIG", fieldbusTag + 4, "0600 434f4e464947", "Unexpected file format."},
        {"unknown class name", fieldbusTag + 4, "0800 4649454c44425554", "Unexpected file format."},
        {"schema 2", fieldbusTag + 2, "0200", "Unexpected file format."},
        {"class index beyond the classes read", secondTag, "0580", "Unexpected file format."},
        {"class index naming an object", secondTag, "0280", "Unexpected file format."},
        {"fieldbus class where a subnet belongs", secondTag, "0180", "Unexpected file format."},
        {"missing object (index 0)", secondTag, "0000", "Unexpected file format."},
        {"reference to the fieldbus object", secondTag, "0200", "Unexpected file format."},
        {"49 nodes", nodeCount, "31000000", "Unexpected file format."},
        {"negative command count", nodeCount + 4, "ffffffff", "Unexpected file format."},
        {"text longer than the file", firstText, "ff ffff ffffff7f", "Unexpected file format."},
        {"16-bit text longer than the file", firstText, "fffeff ffff ffffff7f", "Unexpected file format."},
        {"32-bit length beyond any text", firstText, "ffffff 00000080", "Failed to open document."},
        {"64-bit length beyond any text", firstText, "ffffffffffffff 0000008000000000", "Failed to open document."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> bytes = good;
        const std::vector<std::uint8_t> patch = fromHex(c.replacement);
        std::copy(patch.begin(), patch.end(), bytes.begin() + static_cast<std::ptrdiff_t>(c.at));
        const Result<LoadedProject> outcome = decodeProjectFile(bytes, ProjectState{});
        ASSERT_FALSE(outcome.ok());
        EXPECT_EQ(outcome.message(), c.message);
    }
}

TEST(ProjectFileDamage, ReferenceToAnEarlierSubnetReadsAsItsCopy) {
    std::vector<std::uint8_t> bytes = fromHex(kNewProjectHex);
    // Subnet 2 refers to object 4, the first subnet, instead of carrying a body of its own.
    bytes.resize(0x174);
    for (const std::uint8_t b : fromHex("0400 105573652042797465732063686f69636500"))
        bytes.push_back(b);
    const Result<LoadedProject> outcome = decodeProjectFile(bytes, ProjectState{});
    ASSERT_TRUE(outcome.ok()) << (outcome.ok() ? "" : outcome.message());
    EXPECT_EQ(outcome->project.subnets[1], outcome->project.subnets[0]);
    EXPECT_EQ(outcome->project.fieldbus.configMode, "Use Bytes choice");
}

TEST(ProjectFileDamage, TruncationAtEveryByteChangesNothing) {
    TempDir dir;
    const std::string path = dir.file("cut.chg");
    const std::vector<std::uint8_t> whole = readBytes(fixture("full_312.chg"));
    OpenedDocument app;
    ASSERT_TRUE(app.document.openDocument(fixture("single_subnet.chg").string()));
    app.document.state().ProjectModified = true;
    const Project project = app.document.project();
    const ProjectState state = app.document.state();
    const std::string openPath = app.document.filePath();
    for (std::size_t length = 1; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        writeBytes(path, std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)));
        app.prompter.clearShown();
        ASSERT_FALSE(app.document.openDocument(path));
        ASSERT_EQ(app.prompter.shown(), std::vector<std::string>{"Unexpected file format."});
        ASSERT_EQ(app.document.project(), project);
        ASSERT_EQ(app.document.state(), state);
        ASSERT_EQ(app.document.filePath(), openPath);
    }
    // Every other fixture cut anywhere is refused as well.
    for (const char* name : {"new_project.chg", "version_232.chg", "single_subnet.chg", "prefix_forms.chg",
                             "distinct_fields.chg"}) {
        const std::vector<std::uint8_t> bytes = readBytes(fixture(name));
        for (std::size_t length = 1; length < bytes.size(); ++length)
            ASSERT_FALSE(decodeProjectFile(std::span(bytes).first(length), ProjectState{}).ok()) << name << length;
    }
}

TEST(ProjectFileErrors, FileSystemFailuresNameTheFile) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "folder.chg");
    OpenedDocument app;
    app.document.state().ProjectModified = true;
    const Project project = app.document.project();
    const ProjectState state = app.document.state();

    struct Case {
        bool save;
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {false, dir.file("missing.chg"), dir.file("missing.chg") + " was not found."},
        {false, dir.file("no/such.chg"), dir.file("no/such.chg") + " contains an incorrect path."},
        {false, dir.file("folder.chg"), "Access to " + dir.file("folder.chg") + " was denied."},
        {true, dir.file("no/such.chg"), dir.file("no/such.chg") + " contains an incorrect path."},
        {true, dir.file("folder.chg"), "Access to " + dir.file("folder.chg") + " was denied."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        app.prompter.clearShown();
        EXPECT_FALSE(c.save ? app.document.saveDocument(c.path) : app.document.openDocument(c.path));
        EXPECT_EQ(app.prompter.shown(), std::vector<std::string>{c.message});
        EXPECT_EQ(app.document.project(), project);
        EXPECT_EQ(app.document.state(), state);  // a failed save leaves ProjectModified set
        EXPECT_EQ(app.document.filePath(), "");
    }
    // Nothing but the folder was left behind by the failed saves.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

TEST(ProjectFileSave, ReplacesTheFileAndKeepsItsMode) {
    TempDir dir;
    const std::string path = dir.file("project.chg");
    writeBytes(path, {1, 2, 3});
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    OpenedDocument app;
    app.document.state().ProjectModified = true;
    ASSERT_TRUE(app.document.saveDocument(path));
    EXPECT_FALSE(app.document.state().ProjectModified);
    EXPECT_EQ(readBytes(path), fromHex(kNewProjectHex));
    EXPECT_EQ(std::filesystem::status(path).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

TEST(ProjectFileSave, WritesThroughASymbolicLink) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "real");
    const std::string target = dir.file("real/project.chg");
    writeBytes(target, {1, 2, 3});
    std::filesystem::create_symlink(target, dir.path() / "link.chg");
    OpenedDocument app;
    ASSERT_TRUE(app.document.saveDocument(dir.file("link.chg")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link.chg"));
    EXPECT_EQ(readBytes(target), fromHex(kNewProjectHex));
}

// Every kind of link is written through to the file it names, and stays a link: a dangling link
// creates its file, a relative link is read from the link's folder, a chain is followed to its end.
TEST(ProjectFileSave, LinksAreFollowedToTheFileTheyName) {
    namespace fs = std::filesystem;
    TempDir dir;
    fs::create_directory(dir.path() / "real");
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links;  // link -> what it points at
        std::string saved;                                      // the name saved to
        std::string target;                                     // where the bytes must land
    };
    const Case cases[] = {
        {"dangling, absolute", {{"a.chg", dir.file("real/a.chg")}}, "a.chg", "real/a.chg"},
        {"dangling, relative", {{"b.chg", "real/b.chg"}}, "b.chg", "real/b.chg"},
        {"chain", {{"c1.chg", "c2.chg"}, {"c2.chg", "real/c.chg"}}, "c1.chg", "real/c.chg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& [link, to] : c.links)
            fs::create_symlink(to, dir.path() / link);
        OpenedDocument app;
        ASSERT_TRUE(app.document.saveDocument(dir.file(c.saved))) << app.prompter.shown().front();
        for (const auto& [link, to] : c.links)
            EXPECT_TRUE(fs::is_symlink(dir.path() / link)) << link;
        EXPECT_EQ(readBytes(dir.path() / c.target), fromHex(kNewProjectHex));
    }
    // Nothing but the links and the folder of targets: no temporary was left anywhere.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 5);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "real"), fs::directory_iterator()), 3);
}

TEST(ProjectFileSave, ALinkLoopIsRefusedByName) {
    namespace fs = std::filesystem;
    TempDir dir;
    fs::create_symlink("loop2.chg", dir.path() / "loop1.chg");
    fs::create_symlink("loop1.chg", dir.path() / "loop2.chg");
    fs::create_symlink("self.chg", dir.path() / "self.chg");
    for (const char* name : {"loop1.chg", "self.chg"}) {
        OpenedDocument app;
        app.document.state().ProjectModified = true;
        EXPECT_FALSE(app.document.saveDocument(dir.file(name)));
        EXPECT_EQ(app.prompter.shown(),
                  std::vector<std::string>{dir.file(name) + " is a loop of symbolic links that leads to no file."});
        EXPECT_TRUE(app.document.state().ProjectModified);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
}

// A FIFO (or a device) is never replaced by a plain file nor opened, directly or through a link.
TEST(ProjectFileSave, ATargetThatIsNotARegularFileIsLeftAsItIs) {
    namespace fs = std::filesystem;
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe.chg").c_str(), 0600), 0);
    fs::create_symlink("pipe.chg", dir.path() / "link.chg");
    for (const char* name : {"pipe.chg", "link.chg"}) {
        SCOPED_TRACE(name);
        OpenedDocument app;
        app.document.state().ProjectModified = true;
        EXPECT_FALSE(app.document.saveDocument(dir.file(name)));
        EXPECT_EQ(app.prompter.shown(),
                  std::vector<std::string>{dir.file(name) +
                                           " is not a regular file; it was left as it is and nothing was saved."});
        EXPECT_TRUE(app.document.state().ProjectModified);
    }
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(dir.path() / "pipe.chg")));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.chg"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

// The temporary file beside the target must itself be a valid name, also when the target's name
// uses all 255 bytes a name may have.
TEST(ProjectFileSave, NamesUpToTheFileSystemLimitSave) {
    TempDir dir;
    for (std::size_t length : {248u, 251u, 255u}) {
        SCOPED_TRACE(length);
        const std::string name = std::string(length - 4, 'n') + ".chg";
        OpenedDocument app;
        ASSERT_TRUE(app.document.saveDocument(dir.file(name))) << app.prompter.shown().front();
        EXPECT_EQ(readBytes(dir.file(name)), fromHex(kNewProjectHex));
        // Saved again over the existing file, which goes through the rename as well.
        ASSERT_TRUE(app.document.saveDocument(dir.file(name)));
    }
    // A multibyte name near the limit: the temporary's shortened name cuts no character in two.
    std::string name;
    while (name.size() + 2 <= 251)
        name += "\xc3\xa9";
    name += ".chg";
    OpenedDocument app;
    ASSERT_TRUE(app.document.saveDocument(dir.file(name))) << app.prompter.shown().front();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 4);
}
