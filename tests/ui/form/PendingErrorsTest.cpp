#include "ui/form/PendingErrors.h"

#include <gtest/gtest.h>

// Start-up opens no box: its failures wait for the first tick, in order; later ones show at once.
namespace quillory {
namespace {

TEST(PendingErrors, StartUpsFailuresWaitForTheFirstTickInOrder)
{
    std::vector<std::u16string> shown;
    PendingErrors errors([&](const std::u16string& text) { shown.push_back(text); });
    {
        const ScopedFlag startingUp = errors.holdForStartUp();
        errors.report(u"first");
        errors.report(u"second");
        EXPECT_TRUE(shown.empty());
    }
    errors.report(u"after start-up");
    EXPECT_EQ(shown, std::vector<std::u16string>{u"after start-up"});
    errors.showHeld();
    errors.showHeld(); // each is shown once
    EXPECT_EQ(shown, (std::vector<std::u16string>{u"after start-up", u"first", u"second"}));
}

} // namespace
} // namespace quillory
