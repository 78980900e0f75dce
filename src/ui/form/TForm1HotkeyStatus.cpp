#include "ui/form/TForm1.h"

#include "platform/Desktop.h"
#include "ui/form/HelpTexts.h"

namespace quillory {

void TForm1::connectDesktopHandlers()
{
    m_desktop.watchHotkeys([this](const HotkeyStatus& status) { guarded([&] { HotkeysChanged(status); }); });
}

void TForm1::applyHotkeyStatus(const HotkeyStatus& status)
{
    m_hotkeys.apply(status);
}

void TForm1::HotkeysChanged(const HotkeyStatus& status)
{
    applyHotkeyStatus(status);
    // Before the first tick the notice waits for it; afterwards it is news at once.
    if (SSTTag != 0 && !m_hotkeys.notice().empty())
        notice(m_hotkeys.takeNotice());
}

std::u16string TForm1::OverviewText() const
{
    return m_hotkeys.named(help::kOverview) + hotkeyCommandsText();
}

} // namespace quillory
