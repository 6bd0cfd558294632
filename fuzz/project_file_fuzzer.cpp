// Feeds arbitrary bytes to the project file reader. Whatever it accepts must be written and read
// again without loss, and writing what was read a second time must give the same bytes.
//
// One loss is allowed: each subnet object carries its own version, and a file whose subnets
// disagree is written back in the last one's version, so the earlier subnets' tails and the
// singleSubnetModel switch they set may change. The application never writes such files.

#include "core/model/project_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

using namespace veltrane;

namespace {
ProjectState stateOf(const LoadedProject& loaded, const ProjectState& before) {
    ProjectState state = before;
    state.DeviceType = loaded.DeviceType;
    state.FormatVersion = loaded.FormatVersion;
    state.flags = loaded.flags;
    return state;
}

// The fields that do not depend on the subnet's own version.
CONFIG withoutTail(CONFIG subnet) {
    for (std::string* text : {&subnet.doubleFaultClear, &subnet.commandStatus, &subnet.timeoutAction,
                              &subnet.timeoutTimes, &subnet.startDelimiter, &subnet.endDelimiter})
        text->clear();
    return subnet;
}

#define check(condition) checkAt((condition), __LINE__)
void checkAt(bool condition, int line) {
    if (condition)
        return;
    std::fprintf(stderr, "project_file_fuzzer: check at line %d failed\n", line);
    std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The last byte chooses the switch left by the previous project, which must not matter to
    // files that carry their own.
    ProjectState before;
    before.flags.singleSubnetModel = size > 0 && (data[size - 1] & 1) != 0;

    const Result<LoadedProject> first = decodeProjectFile(std::span(data, size), before);
    if (!first) {
        check(!first.message().empty());
        return 0;
    }
    const LoadedProject& a = *first;
    if (a.emptyFile)
        return 0;

    const std::vector<std::uint8_t> written = encodeProjectFile(a.project, stateOf(a, before));
    const Result<LoadedProject> second = decodeProjectFile(written, before);
    check(second.ok());
    const LoadedProject& b = *second;
    const std::vector<std::uint8_t> rewritten = encodeProjectFile(b.project, stateOf(b, before));
    if (b.flags.singleSubnetModel == a.flags.singleSubnetModel) {
        check(rewritten == written);
    } else {
        // The switch came from an earlier subnet of a newer version; one more round is stable.
        check(static_cast<std::uint32_t>(a.FormatVersion) < 312);
        const Result<LoadedProject> third = decodeProjectFile(rewritten, before);
        check(third.ok() && encodeProjectFile(third->project, stateOf(*third, before)) == rewritten);
    }

    check(b.DeviceType == a.DeviceType && b.FormatVersion == a.FormatVersion && b.subnetCount == a.subnetCount);
    check(b.project.fieldbus == a.project.fieldbus);
    for (std::size_t k = 0; k < b.project.subnets.size(); ++k)
        check(withoutTail(b.project.subnets[k]) == withoutTail(a.project.subnets[k]));
    if (a.subnetCount > 0) {
        const auto last = static_cast<std::size_t>(a.subnetCount - 1);
        check(b.project.subnets[last] == a.project.subnets[last]);
    }
    ModelFlags flagsA = a.flags;
    ModelFlags flagsB = b.flags;
    if (static_cast<std::uint32_t>(a.FormatVersion) < 312)
        flagsA.singleSubnetModel = flagsB.singleSubnetModel = false;
    check(flagsA == flagsB);
    return 0;
}
