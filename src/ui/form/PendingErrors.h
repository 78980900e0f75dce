#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/form/ScopedFlag.h"

namespace quillory {

// Failures the user must see in the default error box: shown at once, or, while start-up runs
// (which opens no box), kept and shown in their order by the first tick.
class PendingErrors {
public:
    explicit PendingErrors(std::function<void(const std::u16string&)> show) : m_show(std::move(show)) {}

    // While the returned guard lives, reports are kept.
    [[nodiscard]] ScopedFlag holdForStartUp() noexcept { return ScopedFlag(m_holding); }
    void report(const std::u16string& text)
    {
        if (m_holding)
            m_held.push_back(text);
        else
            m_show(text);
    }
    // Shows what was kept; a box shown may report again, which then goes to a box of its own.
    void showHeld()
    {
        std::vector<std::u16string> held;
        held.swap(m_held);
        for (const std::u16string& text : held)
            m_show(text);
    }

private:
    std::function<void(const std::u16string&)> m_show;
    std::vector<std::u16string> m_held;
    bool m_holding = false;
};

} // namespace quillory
