#pragma once

#include "platform/GlobalHotkeys.h"

namespace quillory {

// Grabs nothing and says why: sessions without any way to system-wide keys.
class NoHotkeys final : public GlobalHotkeys {
public:
    explicit NoHotkeys(std::u16string reason) : m_reason(std::move(reason)) {}

    [[nodiscard]] HotkeyStatus status() const override { return {false, 0, m_reason, {}}; }

private:
    std::u16string m_reason;
};

} // namespace quillory
