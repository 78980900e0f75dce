#include "platform/GlobalHotkeys.h"

#include <gtest/gtest.h>

// The window tests run on Qt's offscreen platform, a session without any X display.
namespace quillory {
namespace {

TEST(GlobalHotkeys, WithoutAnX11DisplayNothingIsGrabbedAndTheReasonFitsOneLine)
{
    const auto hotkeys = GlobalHotkeys::create([](int) { FAIL() << "no key can be pressed"; });
    const HotkeyStatus status = hotkeys->status();
    EXPECT_FALSE(status.available);
    EXPECT_EQ(status.registeredMask, 0U);
    EXPECT_FALSE(status.reason.empty());
    EXPECT_EQ(status.reason.find(u'\n'), std::u16string::npos);
}

} // namespace
} // namespace quillory
