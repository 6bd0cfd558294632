#include "app/mapping/buffer_map_image.h"

#include "support/project_builder.h"
#include "support/gui_app.h"
#include "core/mapping/detection_list.h"

#include <gtest/gtest.h>

#include <set>

using namespace veltrane;
using veltrane::testing::ProjectBuilder;

TEST(BufferImage, ShowsTheBufferRowsAndEveryColouredRowWithTheDialogColours) {
    veltrane::testing::guiApp();
    ProjectBuilder b;
    b.node(1, "1");
    b.command(1, 1, {"3", "2", "0"});
    b.command(1, 1, {"1", "8", "1"});
    b.command(1, 1, {"16", "1", "10"});
    b.command(1, 1, {"6", "1", "4000"});
    b.command(1, 1, {"4", "1", "2005"});  // far beyond the buffer
    OccupancyMaps maps;
    countOccupancy(buildDetectionList(b.project, b.state), maps);

    const std::vector<std::int64_t> rows = picturedRows(maps);
    ASSERT_EQ(rows.size(), 32u);
    EXPECT_EQ(rows[30], 30);
    EXPECT_EQ(rows[31], 0x200);

    const QImage image = renderBufferMaps(maps);
    ASSERT_FALSE(image.isNull());
    std::set<QRgb> seen;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            seen.insert(image.pixel(x, y) & 0xFFFFFF);
    for (QRgb colour : {0xFF0000u, 0x00FF00u, 0x0000FFu, 0xFFFF00u})
        EXPECT_TRUE(seen.count(colour)) << std::hex << colour;
    EXPECT_TRUE(image.save(QStringLiteral(VELTRANE_BINARY_DIR "/buffer_maps.png")));
}
