#pragma once

#include "platform/Desktop.h"

#include <functional>
#include <memory>

namespace quillory {

// System-wide Ctrl+F1..Ctrl+F5, held for the object's lifetime.
class GlobalHotkeys {
public:
    GlobalHotkeys() = default;
    GlobalHotkeys(const GlobalHotkeys&) = delete;
    GlobalHotkeys& operator=(const GlobalHotkeys&) = delete;
    virtual ~GlobalHotkeys() = default;

    // The implementation for this session: X11 key grabs when there is an X display, else one
    // that grabs nothing and says why.
    [[nodiscard]] static std::unique_ptr<GlobalHotkeys> create(std::function<void(int id)> pressed);

    [[nodiscard]] virtual HotkeyStatus status() const = 0;
};

} // namespace quillory
