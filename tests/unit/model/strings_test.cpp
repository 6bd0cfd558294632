#include "core/strings/strings.h"

#include <gtest/gtest.h>

#include <set>

using namespace veltrane;

TEST(StringTable, FormatsLikePrintf) {
    EXPECT_EQ(format(Str::NodeNamePattern, {"7"}), "Node-7");
    EXPECT_EQ(tr(Str::NodeNamePattern), "Node-%d");
    EXPECT_EQ(tr(Str::TimeoutClearChoice), "\\Template.xls");
}

TEST(StringTable, NumbersAreUniqueWhereKnown) {
    std::set<std::uint32_t> seen;
    for (int i = 0; i < static_cast<int>(Str::Count_); ++i) {
        const std::uint32_t number = tableNumber(static_cast<Str>(i));
        if (number != 0) {
            EXPECT_TRUE(seen.insert(number).second) << "number " << number << " used twice";
        }
    }
}
