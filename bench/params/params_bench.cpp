// The completeness check on a full subnet (48 commands) and the rows of a subnet item, which the
// grid rebuilds after every pick.
#include "core/editor/completeness_check.h"
#include "core/editor/subnet_parameters.h"
#include "core/model/project_defaults.h"

#include <benchmark/benchmark.h>

using namespace veltrane;

namespace {
void fullSubnet(Project& project, ProjectState& state) {
    state.DeviceType = device::Profibus;
    state.flags.configDataModel = true;
    applyProjectDefaults(project, state);
    project.fieldbus.configMode = "Input the Configuration Data";
    project.fieldbus.configData = "5F 5F 5F 57 6F 6F 6F 67";
    CONFIG& subnet = project.subnets[0];
    for (int c = 0; c < kMaxCommands; ++c) {
        INSTRUCTION& command = subnet.commands[static_cast<std::size_t>(c)];
        command.slaveAddress = "1";
        command.functionCode = c % 2 ? "3" : "16";
        command.startAddress = "0";
        command.dataCount = "1";
        command.mappingAddress = c % 2 ? std::to_string(c) : std::to_string(0x4000 + c);
        command.mappingBit = "0";
        command.nodeIndex = 1;
    }
    subnet.commandCount = kMaxCommands;
}

void BM_CompletenessCheckFullSubnet(benchmark::State& bench) {
    Project project;
    ProjectState state;
    fullSubnet(project, state);
    for (auto _ : bench) {
        CompletenessResult result = checkConfiguration(project, state);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_CompletenessCheckFullSubnet);

void BM_SubnetRows(benchmark::State& bench) {
    ScriptedPrompter prompter;
    Project project;
    ProjectState state;
    state.DeviceType = device::EtherNetIP;
    state.flags.singleSubnetModel = true;
    applyProjectDefaults(project, state);
    Editor editor(project, state, prompter);
    for (auto _ : bench) {
        auto rows = SubnetParameters(editor, 0).rows();
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_SubnetRows);
}  // namespace
