#include "core/mapping/conflict_report.h"

#include "core/mapping/conflict_detection.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

#include <cstdio>

namespace veltrane {

namespace {

struct EntryRanges {
    std::size_t index;
    std::vector<GridRange> ranges;
};

bool covers(const EntryRanges& entry, BufferGrid grid, std::int64_t offset) {
    for (const GridRange& range : entry.ranges)
        if (range.grid == grid && offset >= range.first && offset < range.end)
            return true;
    return false;
}

std::string hex4(std::int64_t address) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%04llX", static_cast<unsigned long long>(address));
    return buffer;
}

}  // namespace

std::vector<ConflictFinding> findConflicts(const DetectionList& list, const OccupancyMaps& maps) {
    std::vector<EntryRanges> checked;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].checked())
            checked.push_back({i, gridRangesOf(list[i].footprint)});

    std::vector<ConflictFinding> findings;
    for (BufferGrid grid : {BufferGrid::Input, BufferGrid::Output}) {
        for (std::int64_t a = 0; a < kGridBytes; ++a) {
            const OccupancyColour colour = byteColour(maps, grid, a);
            if (colour != OccupancyColour::Conflict && colour != OccupancyColour::LocalExchange)
                continue;
            ConflictFinding finding{grid, a, a + 1, colour, strictConflictAt(maps, grid, a), {}};
            for (const EntryRanges& entry : checked)
                if (covers(entry, grid, a))
                    finding.entries.push_back(entry.index);
            ConflictFinding* last = findings.empty() ? nullptr : &findings.back();
            if (last != nullptr && last->grid == grid && last->end == a && last->colour == colour &&
                last->strictConflict == finding.strictConflict && last->entries == finding.entries)
                last->end = a + 1;
            else
                findings.push_back(std::move(finding));
        }
    }
    return findings;
}

std::string describeEntry(const DetectionEntry& entry) {
    if (entry.isCommandStatus())
        return tr(Str::CommandStatusEntry);
    return format(Str::ReportCommandOfSubnet,
                  {decimalText(entry.subnet), decimalText(entry.command), detectionLabel(entry)});
}

std::vector<std::string> describeFindings(const std::vector<ConflictFinding>& findings,
                                          const DetectionList& list) {
    std::vector<std::string> lines;
    for (const ConflictFinding& finding : findings) {
        const std::int64_t base = finding.grid == BufferGrid::Output ? kOutputGridBase : 0;
        std::string bytes = hex4(base + finding.first);
        if (finding.end - finding.first > 1)
            bytes += "-" + hex4(base + finding.end - 1);
        std::string entries;
        for (std::size_t index : finding.entries) {
            if (!entries.empty())
                entries += ", ";
            entries += describeEntry(list[index]);
        }
        Str pattern = Str::ReportConflictBytes;
        if (finding.colour == OccupancyColour::LocalExchange)
            pattern = finding.strictConflict ? Str::ReportExchangeBlocksDownload : Str::ReportExchangeBytes;
        lines.push_back(format(pattern, {bytes, entries}));
    }
    return lines;
}

}  // namespace veltrane
