#pragma once

#include "core/links/ShellResult.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QMimeData;
class QTextDocument;
class QWidget;

// Everything modal or system-level that the window's handlers need, behind one interface, so
// tests answer boxes from a script and fix the clock, the random source and the folders.
// All calls run on the user-interface thread. Text is UTF-16, as in the core.
namespace quillory {

enum class Answer { Yes, No, Cancel };

// Which of the five system-wide hotkeys (ids 1..5 = Ctrl+F1..Ctrl+F5) could be grabbed.
struct HotkeyStatus {
    bool available = false;      // the session offers system-wide hotkeys at all
    unsigned registeredMask = 0; // bit (id - 1) set for each grabbed key
    std::u16string reason{};     // why nothing could be grabbed, when !available
    // The desktop's own name for a key it bound instead of the one asked for (ids 1..5 at 0..4);
    // empty where the key is the one asked for or is not bound.
    std::array<std::u16string, 5> otherKeys{};
    // Where the user gives the hotkeys other keys when the desktop, not the program, binds them
    // ("System Settings, Shortcuts, Quillory"); empty for the program's own key grabs.
    std::u16string settingsPlace{};
    // The keys reach only some programs: X11 key grabs in a Wayland session see X11 clients alone.
    bool partial = false;
};

// The desktop's own keyboard shortcuts, where the program can add its hotkeys to them as commands
// (GNOME's custom shortcuts), for desktops that pass no keys to programs.
struct DesktopShortcuts {
    unsigned freeMask = 0; // Ctrl+F<id> the desktop does not use yet (bit id - 1)
    unsigned oursMask = 0; // already running the program's commands
};

// Whether a print job reached the print system, and if not, why not (for the user, in words).
struct PrintResult {
    bool sent = false;
    std::u16string reason;
};

class Desktop {
public:
    Desktop() = default;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;
    virtual ~Desktop() = default;

    // The window modal boxes are centred on and owned by; may be null.
    virtual void setOwner(QWidget* owner) = 0;

    // "Information" box, one "OK" button, information icon. Returns when dismissed.
    virtual void showInfo(const std::u16string& text) = 0;
    // "Confirm" box with Yes/No (or Yes/No/Cancel), Yes the default. Closing it counts as the
    // last button (No, or Cancel).
    [[nodiscard]] virtual Answer confirm(const std::u16string& text, bool withCancel) = 0;
    // The one-line text prompt; nullopt when cancelled.
    [[nodiscard]] virtual std::optional<std::u16string>
    promptText(const std::u16string& title, const std::u16string& prompt, const std::u16string& text) = 0;
    // The default error box: a failed operation with the system's reason.
    virtual void showError(const std::u16string& text) = 0;

    // Folder browser (folders only, no new-folder button); nullopt when cancelled.
    [[nodiscard]] virtual std::optional<std::filesystem::path> browseForFolder(const std::u16string& title,
                                                                               const std::filesystem::path& start) = 0;
    // File dialogs. `filter` lists label and pattern pairs, every part followed by "|" but the last
    // ("Text File|*.txt|Anything|*.*"), the first pair selected; a name typed without an extension
    // gets `defaultExtension`. The save dialog leaves the question about a file that exists to the
    // caller. nullopt when cancelled.
    [[nodiscard]] virtual std::optional<std::filesystem::path> openFileName(const std::u16string& title,
                                                                            const std::filesystem::path& start,
                                                                            const std::u16string& filter,
                                                                            const std::u16string& defaultExtension) = 0;
    // `start` is the folder to start in, or a file whose name is offered in its folder. A name
    // typed without an extension takes the chosen filter's (`defaultExtension` for the first).
    [[nodiscard]] virtual std::optional<std::filesystem::path> saveFileName(const std::u16string& title,
                                                                            const std::filesystem::path& start,
                                                                            const std::u16string& filter,
                                                                            const std::u16string& defaultExtension) = 0;
    // Moves a file into the desktop's trash, from where the user can restore it. False, with the file
    // left where it was, when there is no trash for it.
    [[nodiscard]] virtual bool moveToTrash(const std::filesystem::path& file) = 0;

    // Text-only balloon at the tray icon.
    virtual void showBalloon(const std::u16string& text) = 0;
    [[nodiscard]] virtual bool trayAvailable() const = 0;

    // Opens a web address in the desktop's browser through its URL opener, the address as one
    // argument and never through a command line; "www." addresses are opened as "http://" ones.
    [[nodiscard]] virtual links::ShellResult openAddress(const std::u16string& address) = 0;
    // Opens `file` with its default application or, given `parameters`, starts it as a program
    // with them (split into arguments as a command line is, but without a shell) in `folder`.
    [[nodiscard]] virtual links::ShellResult shellOpen(const std::u16string& file, const std::u16string& parameters,
                                                       const std::u16string& folder) = 0;
    // Shows `file` selected in the desktop's file manager (FileManager1.ShowItems), or opens its
    // folder where no file manager answers that call. Never opens the file itself.
    virtual void showInFileManager(const std::filesystem::path& file) = 0;
    // Prints the whole document on the default printer as one job titled `title`, sheet after
    // sheet, without a dialog. Returns at once: the job takes the document (a copy made for it) and
    // lays it out and hands it to the print system on a thread of its own, so neither a long page
    // nor a print server that does not answer holds the window. `done` learns, on the window's
    // thread, whether the print system took the job: once, or never when the program ends first.
    virtual void printDocument(std::unique_ptr<QTextDocument> document, const std::u16string& title,
                               std::function<void(const PrintResult&)> done) = 0;

    // Grabs Ctrl+F1..Ctrl+F5 for the life of this object; `pressed` gets the id.
    virtual HotkeyStatus registerHotkeys(std::function<void(int id)> pressed) = 0;

    // --- Today's desktops: hotkeys bound later, the clipboard, the tray, the window state ---
    // nullopt where the desktop keeps no shortcuts the program can add to.
    [[nodiscard]] virtual std::optional<DesktopShortcuts> desktopShortcuts() = 0;
    // Adds the hotkeys in `mask` to the desktop's shortcuts, hotkey id running commands[id - 1].
    // False, with the reason in `why`, when they could not be written.
    [[nodiscard]] virtual bool bindDesktopShortcuts(unsigned mask, const std::array<std::u16string, 5>& commands,
                                                    std::u16string& why) = 0;
    // `changed` gets every later change of the hotkeys' status: a desktop may bind them only after
    // asking the user, bind other keys, or change them while the program runs.
    virtual void watchHotkeys(std::function<void(const HotkeyStatus&)> changed) = 0;
    // Puts `data` on the clipboard. `done` learns whether it got there: at once, or from the
    // event loop when the copy must wait for the desktop. Never called twice.
    virtual void setClipboard(std::unique_ptr<QMimeData> data, std::function<void(bool copied)> done) = 0;
    // Whether a single click on the tray icon is its activation (a StatusNotifier tray reports no
    // double-click), rather than the double-click of an XEmbed tray.
    [[nodiscard]] virtual bool trayActivatesOnClick() const = 0;
    // The window's stay-on-top attribute, changed in place: the window is never recreated, so it
    // keeps its id, its desktop and its place.
    virtual void setStayOnTop(QWidget& window, bool on) = 0;
    [[nodiscard]] virtual bool isStayOnTop(const QWidget& window) const = 0;

    // The user's documents folder (XDG), the autostart folder, the cache, the running program file.
    [[nodiscard]] virtual std::filesystem::path documentsFolder() const = 0;
    [[nodiscard]] virtual std::filesystem::path autostartFolder() const = 0;
    // Where the program keeps what it can make again (the search index): $XDG_CACHE_HOME/Quillory.
    [[nodiscard]] virtual std::filesystem::path cacheFolder() const = 0;
    [[nodiscard]] virtual std::filesystem::path programPath() const = 0;

    [[nodiscard]] virtual std::chrono::system_clock::time_point now() const = 0;
    // Uniform integer in 0..bound-1 from a source seeded from the clock at start.
    [[nodiscard]] virtual int randomBelow(int bound) = 0;
};

} // namespace quillory
