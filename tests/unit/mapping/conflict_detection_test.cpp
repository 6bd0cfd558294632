#include "core/mapping/conflict_check.h"
#include "core/mapping/conflict_detection.h"

#include "support/project_builder.h"

#include <gtest/gtest.h>

#include <map>

using namespace veltrane;
using veltrane::testing::ProjectBuilder;

namespace {

constexpr OccupancyColour Free = OccupancyColour::Free;
constexpr OccupancyColour Green = OccupancyColour::Input;
constexpr OccupancyColour Blue = OccupancyColour::Output;
constexpr OccupancyColour Red = OccupancyColour::Conflict;
constexpr OccupancyColour Yellow = OccupancyColour::LocalExchange;

// Colours of the non-free cells of one grid, by grid offset.
std::map<std::int64_t, OccupancyColour> colours(const ConflictDetection& d, BufferGrid grid) {
    std::map<std::int64_t, OccupancyColour> out;
    for (std::int64_t a = 0; a < kGridBytes; ++a)
        if (OccupancyColour c = d.cellColour(grid, a); c != Free)
            out[a] = c;
    return out;
}

struct Opened {
    MappingConflictState state;
    ConflictDetection detection{state};
    explicit Opened(const ProjectBuilder& b) { detection.open(b.project, b.state); }
};

}  // namespace

TEST(ConflictDetection, RegisterAndCoilOverlapOnlyWhereBitsMeet) {
    ProjectBuilder b;
    b.node(1, "1");
    b.command(1, 1, {"3", "2", "0"});     // bytes 0..3
    b.command(1, 1, {"1", "8", "1", ""});  // byte 1
    Opened o(b);
    EXPECT_EQ(colours(o.detection, BufferGrid::Input),
              (std::map<std::int64_t, OccupancyColour>{{0, Green}, {1, Red}, {2, Green}, {3, Green}}));
    EXPECT_TRUE(colours(o.detection, BufferGrid::Output).empty());
    EXPECT_TRUE(o.state.MappingConflictFound);
}

TEST(ConflictDetection, CoilsSharingAByteButNotABitAreNoConflict) {
    ProjectBuilder b;
    b.node(1, "1");
    b.command(1, 1, {"1", "4", "20", "0"});
    b.command(1, 1, {"2", "4", "20", "4"});
    Opened o(b);
    EXPECT_EQ(colours(o.detection, BufferGrid::Input), (std::map<std::int64_t, OccupancyColour>{{0x20, Green}}));
    for (int bit = 0; bit < 8; ++bit)
        EXPECT_EQ(o.detection.bitCellColour(BufferGrid::Input, 0x20, bit), Green) << bit;
    EXPECT_FALSE(o.state.MappingConflictFound);

    // Bit 3 used twice: the byte and that one bit turn red.
    b.at(1, 2).mappingBit = "3";
    Opened overlap(b);
    EXPECT_EQ(overlap.detection.cellColour(BufferGrid::Input, 0x20), Red);
    EXPECT_EQ(overlap.detection.bitCellColour(BufferGrid::Input, 0x20, 3), Red);
    EXPECT_EQ(overlap.detection.bitCellColour(BufferGrid::Input, 0x20, 2), Green);
    EXPECT_EQ(overlap.detection.bitCellColour(BufferGrid::Input, 0x20, 7), Free);
}

TEST(ConflictDetection, WriteIntoTheInputBufferIsLocalExchangeForTheDialogButAConflictForTheCheck) {
    ProjectBuilder b;
    b.node(1, "1");
    b.command(1, 1, {"3", "16", "0"});   // 0x00 .. 0x1F
    b.command(1, 1, {"16", "2", "10"});  // 0x10 .. 0x13 of the input space
    b.command(1, 1, {"5", "1", "4000"});  // output buffer
    Opened o(b);
    const auto input = colours(o.detection, BufferGrid::Input);
    EXPECT_EQ(input.size(), 0x20u);
    for (std::int64_t a = 0; a < 0x20; ++a)
        EXPECT_EQ(input.at(a), a >= 0x10 && a < 0x14 ? Yellow : Green) << a;
    EXPECT_EQ(o.detection.bitCellColour(BufferGrid::Input, 0x10, 0), Yellow);
    EXPECT_EQ(colours(o.detection, BufferGrid::Output), (std::map<std::int64_t, OccupancyColour>{{0, Blue}}));
    EXPECT_EQ(o.detection.bitCellColour(BufferGrid::Output, 0, 0), Blue);
    EXPECT_EQ(o.detection.bitCellColour(BufferGrid::Output, 0, 1), Free);
    EXPECT_FALSE(o.state.MappingConflictFound);

    MappingConflictState state;
    ScriptedPrompter prompter;
    EXPECT_EQ(checkMappingConflicts(b.project, b.state, prompter, state), ConflictCheck::Conflict);
    EXPECT_TRUE(state.MappingConflictFound);
    EXPECT_TRUE(prompter.shown().empty());

    // A write alone in the input space is yellow but no conflict for either rule.
    b.at(1, 1).mappingAddress = "100";
    MappingConflictState alone;
    EXPECT_EQ(checkMappingConflicts(b.project, b.state, prompter, alone), ConflictCheck::NoConflict);
    EXPECT_FALSE(alone.MappingConflictFound);
}

TEST(ConflictDetection, ByteRegistersTakeOneBytePerRegister) {
    struct Case {
        std::string filter;
        bool dataFilterModel;
        std::int32_t deviceType;
        std::size_t bytes;
    };
    const Case cases[] = {
        {"Low Byte", false, 4, 4}, {"Word", true, 4, 8},     {"Hi Byte", true, 4, 4},
        {"Hi Byte", false, 3, 4},  {"Hi Byte", false, 4, 8}, {"No Swap", false, 4, 8},
    };
    for (const Case& c : cases) {
        ProjectBuilder b;
        b.state.flags.dataFilterModel = c.dataFilterModel;
        b.state.DeviceType = c.deviceType;
        b.node(1, "1");
        b.command(1, 1, {"4", "4", "0", "", c.filter});
        Opened o(b);
        EXPECT_EQ(colours(o.detection, BufferGrid::Input).size(), c.bytes) << c.filter << " " << c.deviceType;
    }
    // Write registers always take two bytes each.
    ProjectBuilder b;
    b.node(1, "1");
    b.command(1, 1, {"16", "4", "4000", "", "Low Byte"});
    EXPECT_EQ(colours(Opened(b).detection, BufferGrid::Output).size(), 8u);
}

TEST(ConflictDetection, TogglingRecoloursButLeavesTheFlagUntilTheNextOpening) {
    ProjectBuilder b;
    b.node(1, "1");
    b.command(1, 1, {"3", "2", "0"});
    b.command(1, 1, {"7", "1", "0"});  // listed as nothing
    b.command(1, 1, {"1", "8", "1"});
    b.command(1, 1, {"6", "1", "4000"});
    b.command(1, 1, {"16", "1", "4001"});  // overlaps byte 0x4001
    Opened o(b);
    ASSERT_EQ(o.detection.lines().size(), 4u);
    EXPECT_EQ(o.detection.lines()[1].text, "01 Read Coil Status");
    EXPECT_EQ(o.detection.lines()[1].entry, 2u);
    EXPECT_TRUE(o.state.MappingConflictFound);

    auto ranges = o.detection.toggleLine(1);
    ASSERT_EQ(ranges.size(), 1u);
    EXPECT_EQ(ranges[0].grid, BufferGrid::Input);
    EXPECT_EQ(ranges[0].first, 1);
    EXPECT_EQ(ranges[0].end, 2);
    EXPECT_FALSE(o.detection.isLineChecked(1));
    EXPECT_EQ(o.detection.detectionList()[2].code, -1);
    EXPECT_EQ(o.detection.cellColour(BufferGrid::Input, 1), Green);
    // Unchecking twice must not take the bits out twice.
    EXPECT_TRUE(o.detection.setLineChecked(1, false).empty());
    EXPECT_EQ(o.detection.cellColour(BufferGrid::Input, 1), Green);

    o.detection.toggleLine(3);
    EXPECT_EQ(colours(o.detection, BufferGrid::Output),
              (std::map<std::int64_t, OccupancyColour>{{0, Blue}, {1, Blue}}));
    EXPECT_TRUE(o.state.MappingConflictFound);  // stays set until the next opening

    o.detection.toggleLine(0);
    EXPECT_TRUE(colours(o.detection, BufferGrid::Input).empty());
    o.detection.toggleLine(0);
    o.detection.toggleLine(1);
    EXPECT_EQ(o.detection.cellColour(BufferGrid::Input, 1), Red);

    // A new detection clears the flag; the toggles made before are gone.
    b.at(1, 3).mappingAddress = "10";
    b.at(1, 5).mappingAddress = "4010";
    MappingConflictState& state = o.state;
    ConflictDetection fresh(state);
    EXPECT_FALSE(state.MappingConflictFound);
    fresh.open(b.project, b.state);
    EXPECT_FALSE(state.MappingConflictFound);
    EXPECT_EQ(fresh.lines().size(), 4u);
    for (std::size_t line = 0; line < 4; ++line)
        EXPECT_TRUE(fresh.isLineChecked(line));
}

TEST(ConflictDetection, CommandStatusBytesOccupyTheStartOfTheInputBuffer) {
    ProjectBuilder b;
    b.state.flags.commandStatusModel = true;
    b.project.subnets[0].commandStatus = "2";
    {
        Opened o(b);
        ASSERT_EQ(o.detection.lines().size(), 1u);
        EXPECT_EQ(o.detection.lines()[0].text, "Modbus command status");
        EXPECT_EQ(o.detection.detectionList()[0].code, kCommandStatusCode);
        EXPECT_EQ(colours(o.detection, BufferGrid::Input),
                  (std::map<std::int64_t, OccupancyColour>{{0, Green}, {1, Green}}));
    }
    b.node(1, "1");
    b.command(1, 1, {"4", "1", "1"});
    {
        Opened o(b);
        EXPECT_EQ(colours(o.detection, BufferGrid::Input),
                  (std::map<std::int64_t, OccupancyColour>{{0, Green}, {1, Red}, {2, Green}}));
        o.detection.toggleLine(0);  // the status entry
        EXPECT_EQ(colours(o.detection, BufferGrid::Input),
                  (std::map<std::int64_t, OccupancyColour>{{1, Green}, {2, Green}}));
    }
    // Without the model switch, or with "Disable", there is no status entry.
    for (const auto& [model, status] : {std::pair{false, "2"}, std::pair{true, "Disable"}}) {
        ProjectBuilder c = b;
        c.state.flags.commandStatusModel = model;
        c.project.subnets[0].commandStatus = status;
        Opened o(c);
        ASSERT_EQ(o.detection.lines().size(), 1u);
        EXPECT_EQ(o.detection.lines()[0].text, "04 Read Input Register");
    }
}

TEST(ConflictDetection, AllFourSubnetsAreListedWhateverTheirProtocol) {
    ProjectBuilder b;
    b.project.subnets[1].protocolType = "User Config";
    b.node(2, "1");
    b.command(2, 1, {"3", "1", "0"});
    b.node(4, "1");
    b.command(4, 1, {"3", "1", "1"});
    Opened o(b);
    ASSERT_EQ(o.detection.detectionList().size(), 2u);
    EXPECT_EQ(o.detection.detectionList()[1].subnet, 4);
    EXPECT_EQ(o.detection.cellColour(BufferGrid::Input, 1), Red);
}

TEST(ConflictDetection, AnEmptyProjectShowsNothing) {
    ProjectBuilder b;
    Opened o(b);
    EXPECT_TRUE(o.detection.lines().empty());
    EXPECT_TRUE(colours(o.detection, BufferGrid::Input).empty());
    EXPECT_TRUE(colours(o.detection, BufferGrid::Output).empty());
    EXPECT_FALSE(o.state.MappingConflictFound);
}

TEST(ConflictDetection, FootprintsBeyondTheMapsAreClipped) {
    ProjectBuilder b;
    b.node(1, "1");
    b.command(1, 1, {"3", "4", "3FFF"});       // 8 bytes from the last input byte
    b.command(1, 1, {"16", "4", "7FFE"});      // 8 bytes from two before the end
    b.command(1, 1, {"1", "20", "3FFE", "9"});  // a mapping bit above 7 runs into the next byte
    b.command(1, 1, {"1", "8", "0", "-4"});    // a negative bit reaches before the map
    b.command(1, 1, {"4", "99999999999", "FFFFFFFF"});
    b.command(1, 1, {"3", "-5", "20"});
    Opened o(b);
    EXPECT_EQ(colours(o.detection, BufferGrid::Input),
              (std::map<std::int64_t, OccupancyColour>{{0, Green}, {0x3FFF, Red}}));
    EXPECT_EQ(colours(o.detection, BufferGrid::Output),
              (std::map<std::int64_t, OccupancyColour>{{0x3FFE, Blue}, {0x3FFF, Blue}}));
    for (int bit = 0; bit < 8; ++bit)
        EXPECT_EQ(o.detection.bitCellColour(BufferGrid::Input, 0, bit), bit < 4 ? Green : Free) << bit;
    // Toggling a clipped entry takes out exactly what it put in.
    for (std::size_t line = 0; line < o.detection.lines().size(); ++line)
        o.detection.toggleLine(line);
    EXPECT_TRUE(colours(o.detection, BufferGrid::Input).empty());
    EXPECT_TRUE(colours(o.detection, BufferGrid::Output).empty());
}

TEST(ConflictCheck, IncompleteCommandsLeaveTheFlagAlone) {
    ProjectBuilder b;
    b.node(1, "1");
    b.command(1, 1, {"3", "2", "0"});
    b.command(1, 1, {"3", "2", "0"});
    b.at(1, 2).startAddress = "";
    for (const bool before : {false, true}) {
        MappingConflictState state{before};
        ScriptedPrompter prompter;
        EXPECT_EQ(checkMappingConflicts(b.project, b.state, prompter, state), ConflictCheck::Incomplete);
        EXPECT_EQ(state.MappingConflictFound, before);
        ASSERT_EQ(prompter.shown().size(), 1u);
        EXPECT_EQ(
            prompter.shown()[0],
            "Please properly configure the No.2 command of subnet 1 (function code is 3) Modbus register "
            "starting address option!");
    }
    // The check never clears a flag a previous detection set.
    b.at(1, 2).startAddress = "0";
    b.at(1, 2).mappingAddress = "10";
    MappingConflictState state{true};
    ScriptedPrompter prompter;
    EXPECT_EQ(checkMappingConflicts(b.project, b.state, prompter, state), ConflictCheck::NoConflict);
    EXPECT_TRUE(state.MappingConflictFound);
}
