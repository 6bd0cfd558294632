// The debug messages and the mapping rules share one declaration of the buffers; both headers in one
// translation unit must compile and agree.
#include "core/debug/debug_transport.h"
#include "core/debug/send_validation.h"
#include "core/mapping/buffer_layout.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

TEST(BufferLayout, OneDeclarationForMappingAndDebug) {
    EXPECT_EQ(kInputBufferFirst, 0x0000);
    EXPECT_EQ(kInputBufferLast, 0x01EB);
    EXPECT_EQ(kOutputBufferFirst, 0x4000);
    EXPECT_EQ(kOutputBufferLast, 0x41EB);
    EXPECT_EQ(WritePayload{}.address, kOutputBufferFirst);
}

}  // namespace
