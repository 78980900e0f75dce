#include "platform/GlobalHotkeys.h"

// Built where there is no X11 support at all.
namespace quillory {

namespace {
class NoHotkeys final : public GlobalHotkeys {
public:
    HotkeyStatus status() const override
    {
        return {false, 0, u"System-wide hotkeys need an X11 session; this build has no X11 support."};
    }
};
} // namespace

// Taken by value like the X11 version, which keeps it; here there is nothing to keep.
std::unique_ptr<GlobalHotkeys>
GlobalHotkeys::create(std::function<void(int)> /*pressed*/) // NOLINT(performance-unnecessary-value-param)
{
    return std::make_unique<NoHotkeys>();
}

} // namespace quillory
