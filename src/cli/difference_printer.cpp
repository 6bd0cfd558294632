#include "cli/difference_printer.h"

#include "cli/json_writer.h"

namespace veltrane::cli {

void printDifferences(const std::vector<ProjectDifference>& differences, bool json, std::ostream& out) {
    if (!json) {
        for (const ProjectDifference& difference : differences)
            out << differenceLine(difference) << '\n';
        return;
    }
    JsonWriter writer;
    writer.beginObject();
    writer.key("equal");
    writer.value(differences.empty());
    writer.key("differences");
    writer.beginArray();
    for (const ProjectDifference& difference : differences) {
        writer.beginObject();
        writer.key("item");
        writer.value(difference.item);
        if (difference.only != ProjectDifference::Only::Neither) {
            writer.key("only");
            writer.value(difference.only == ProjectDifference::Only::A ? "a" : "b");
        } else {
            writer.key("row");
            writer.value(difference.row);
            writer.key("a");
            writer.value(difference.a);
            writer.key("b");
            writer.value(difference.b);
        }
        writer.endObject();
    }
    writer.endArray();
    writer.endObject();
    out << writer.text();
}

}  // namespace veltrane::cli
