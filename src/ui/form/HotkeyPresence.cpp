#include "ui/form/HotkeyPresence.h"

#include "platform/Desktop.h"
#include "ui/form/HelpTexts.h"

#include <algorithm>

namespace quillory {

namespace {

// The overview's five lines "Ctrl-F1 = ..." to "Ctrl-F5 = ...", between its first two blank lines.
std::u16string_view HotkeyLines()
{
    const std::u16string_view overview = help::kOverview;
    const std::size_t start = overview.find(u"\n\n") + 2;
    return overview.substr(start, overview.find(u"\n\n", start) - start);
}

} // namespace

void HotkeyPresence::apply(const HotkeyStatus& status)
{
    const unsigned bound = status.available ? status.registeredMask : 0U;
    m_showKeyBound = (bound & 1U) != 0;
    m_names = HotkeyNames(bound, status.otherKeys);
    // Where the desktop binds the keys, the user changes them there; elsewhere the commands help.
    m_partial = status.settingsPlace.empty() && (status.partial || bound != (1U << kHotkeyCount) - 1);

    // A key merely taken by another program is left out of the notice, as it always was; the
    // overview still says "(no key)" for it.
    const bool otherKeys = std::any_of(status.otherKeys.begin(), status.otherKeys.end(),
                                       [](const std::u16string& key) { return !key.empty(); });
    // Where the desktop binds the keys, it also says where the user changes them.
    const std::u16string& place = status.settingsPlace;
    const std::u16string kept = place.empty() ? std::u16string() : KeptKeys(bound);
    if (!status.available) {
        m_notice = status.reason;
    } else if (bound == 0) {
        m_notice = u"The desktop bound none of Quillory's hotkeys, so they do nothing in this session.";
        if (!place.empty())
            m_notice += u"\n\nYou can give them keys in " + place + u".";
    } else if (otherKeys || !kept.empty()) {
        m_notice = u"Quillory's hotkeys in this session:\n" + WithHotkeyNames(HotkeyLines(), m_names);
        if (!kept.empty())
            m_notice += u"\n\nThe desktop keeps " + kept +
                        u" for its own commands. You can give Quillory "
                        u"other keys in " +
                        place + u".";
    } else {
        m_notice.clear();
    }
}

} // namespace quillory
