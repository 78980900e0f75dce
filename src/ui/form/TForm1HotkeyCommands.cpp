#include "ui/form/TForm1.h"

#include "core/text/DesktopKeybindings.h"
#include "core/text/HotkeyCommands.h"
#include "core/text/HotkeyNames.h"
#include "platform/Desktop.h"
#include "platform/QtText.h"

#include <QStandardPaths>

#include <fstream>

// Where the desktop passes the hotkeys to no program, or only to some (GNOME without the
// GlobalShortcuts portal, XWayland's key grabs), its own shortcut settings can run the commands
// that act on the running program instead.
namespace quillory {

namespace {

// Asked once per data folder, whatever the answer.
constexpr char kAskedMarker[] = ".desktop-shortcuts-asked";

// The command line for each hotkey: the program as the desktop finds it, and its option.
std::array<std::u16string, 5> HotkeyCommandLines(const std::filesystem::path& program)
{
    // The bare name where the desktop's search path finds this very program.
    const QString name = pathToQ(program.filename());
    const QString found = QStandardPaths::findExecutable(name);
    std::error_code ec;
    const bool onPath = !found.isEmpty() && std::filesystem::equivalent(pathFromQ(found), program, ec);
    const std::string word = CommandWord(onPath ? program.filename().string() : program.string());
    std::array<std::u16string, 5> commands;
    for (int id = 1; id <= kHotkeyCount; ++id)
        commands[static_cast<std::size_t>(id - 1)] =
            fromQ(QString::fromStdString(word + " " + std::string(HotkeyOption(id))));
    return commands;
}

} // namespace

std::u16string TForm1::hotkeyCommandsText() const
{
    if (!m_hotkeys.partial() || m_hotkeys.desktopShortcutsOurs())
        return {};
    std::u16string text = u"\n\nOn this desktop the hotkeys do not reach every program. To have them everywhere, "
                          u"bind each key to its command in the desktop's keyboard shortcut settings:";
    const auto commands = HotkeyCommandLines(m_desktop.programPath());
    for (int id = 1; id <= kHotkeyCount; ++id)
        text += u"\nCtrl-F" + std::u16string(1, static_cast<char16_t>(u'0' + id)) + u": " +
                commands[static_cast<std::size_t>(id - 1)];
    return text;
}

void TForm1::offerDesktopShortcuts()
{
    if (!m_hotkeys.partial())
        return;
    const std::optional<DesktopShortcuts> shortcuts = m_desktop.desktopShortcuts();
    if (!shortcuts)
        return;
    m_hotkeys.setDesktopShortcutsOurs(shortcuts->oursMask != 0);
    const std::filesystem::path marker = dataFile(kAskedMarker);
    std::error_code ec;
    if (m_hotkeys.desktopShortcutsOurs() || shortcuts->freeMask == 0 || std::filesystem::exists(marker, ec))
        return;
    // Asked once: a No stands, and the overview still names the commands.
    std::ofstream(marker).put('\n');

    const unsigned all = (1U << kHotkeyCount) - 1;
    const std::u16string free = KeptKeys(all & ~shortcuts->freeMask);
    const std::u16string taken = KeptKeys(shortcuts->freeMask);
    std::u16string question = u"This desktop passes Quillory's hotkeys to only some programs. GNOME can run them "
                              u"as its own keyboard shortcuts, in every program: " +
                              free + u".";
    if (!taken.empty())
        question += u"\n\nGNOME already uses " + taken + u" for its own shortcuts; Quillory leaves those keys to it.";
    question += u"\n\nAdd Quillory's hotkeys to GNOME's keyboard shortcuts?";
    if (m_desktop.confirm(question, false) != Answer::Yes)
        return;
    std::u16string why;
    if (!m_desktop.bindDesktopShortcuts(shortcuts->freeMask, HotkeyCommandLines(m_desktop.programPath()), why)) {
        m_desktop.showError(u"Quillory's hotkeys could not be added to GNOME's keyboard shortcuts.\n\n" + why);
        return;
    }
    m_hotkeys.setDesktopShortcutsOurs(true);
    notice(u"Quillory's hotkeys are now GNOME keyboard shortcuts: " + free +
           u". You can change them in Settings, Keyboard, Keyboard Shortcuts.");
}

} // namespace quillory
