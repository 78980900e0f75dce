#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QStyle>

#include "core/reminders/BufferScanner.h"
#include "core/store/AtomicFile.h"
#include "core/store/FileFailure.h"
#include "ui/form/FormatToolbar.h"
#include "ui/form/HotkeyPresence.h"
#include "ui/form/PendingErrors.h"
#include "ui/form/StatusNumbers.h"
#include "ui/form/TForm1Controls.h"
#include "ui/form/TForm1State.h"
#include "ui/form/WindowMemory.h"

#include <array>
#include <functional>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// The controls' classes are declared with TForm1Controls.
class QFileSystemWatcher;
class QPainter;
class QSessionManager;

namespace quillory {

class Desktop;
class PageSession;
class PageSearch;
class FileDropTarget;
class WindowEvents;
struct HotkeyStatus;
namespace settings {
struct Config;
}
namespace search {
struct Found;
}
namespace store {
class Project;
struct SyncReport;
} // namespace store

// The main window: its controls (TForm1Controls) under their designer names, its shared state
// (TForm1State), and its handlers, defined in one source file per concern. Handlers take the
// issuing control as `Sender`; an internal call passes the window itself, which never matches a
// help-mode sender, so it acts.
class TForm1 final : public QMainWindow, public TForm1Controls, public TForm1State {
    Q_OBJECT
public:
    explicit TForm1(Desktop& desktop, QWidget* parent = nullptr);
    ~TForm1() override;

    // How the program ends: "Exit" chose to quit for the close query under way (Quitting), or the
    // application quits (a close then asks nothing more) and has kept its settings.
    enum class QuitState : std::uint8_t { Running, ExitChosen, ApplicationQuitting, SettingsKept };
    [[nodiscard]] bool Quitting() const noexcept { return m_quit == QuitState::ExitChosen; }

    // --- Start-up (TForm1.cpp) -------------------------------------------------------------
    void FormCreate();
    void FormShow();
    static constexpr int kDocumentsFolder = 5, kStartupFolder = 29; // the shell's folder ids
    [[nodiscard]] std::u16string GetSpecialFolderPath(int Folder, bool CanCreate) const;

    // --- Buffer and item order (TForm1Buffer.cpp) ------------------------------------------
    static constexpr unsigned kStampAndRebuild = 0, kStampOnly = 1; // FixIt's modes
    void FixIt(unsigned mode);
    void Reload1Click();
    void LBClick();
    void ClearBuffer();
    void LoadProjectIntoBuffer(const std::u16string& folder);
    void CreateDefaultProject();

    // --- Projects and the recent list (TForm1Projects.cpp) ---------------------------------
    void SaveProject1Click(QObject* Sender);
    void SaveProjectAs1Click(QObject* Sender);
    void OpenRecentClick();
    void OpenRecentDblClick();
    void DeleteSelected1Click();

    // --- Housekeeping tick (TForm1Tick.cpp) -------------------------------------------------
    void Timer1Timer();

    // --- Close, tray, About (TForm1Tray.cpp) ------------------------------------------------
    void FormCloseQuery(bool& CanClose);
    void Exit1Click(QObject* Sender);
    void TrayIcon1DblClick();
    void Open1Click();
    void About1Click();

    // --- Options (TForm1Options.cpp) --------------------------------------------------------
    void AutosaveClick(QObject* Sender);
    void SSTClick(QObject* Sender);
    void SOTClick(QObject* Sender);
    void MinimiseafterCopyClick(QObject* Sender);
    void EnableFunctionKeyCopyClick(QObject* Sender);
    void StartwithWindows1Click(QObject* Sender);
    void Splitter1Moved();
    void Splitter2Moved();

    // --- Quick copy (TForm1Hotkeys.cpp) -----------------------------------------------------
    void HotkeyPressed(int id);
    // Runs `action` once start-up is done: at the first tick, after a start in the tray has
    // hidden the window, or at once when that has passed. For a command that started the program.
    void WhenStarted(std::function<void()> action);
    // F1..F9 copy the first nine items; the key goes on to the focused control afterwards.
    void FormKeyDown(int Key, Qt::KeyboardModifiers Shift);
    void CopyItemtoClipboardCtrlF4Hotkey1Click(QObject* Sender);

    // --- Help mode (TForm1Help.cpp) ---------------------------------------------------------
    void SpeedButton9Click(QObject* Sender);
    void SpeedButton6Click(QObject* Sender);
    void ReminderSetup1Click(QObject* Sender);

    // --- Item operations (TForm1Items.cpp, TForm1ItemFiles.cpp, TForm1ItemDrag.cpp) -----------
    FileDropTarget* DropFileTarget = nullptr; // files dropped onto the editor
    void AddItem1Click(QObject* Sender);
    void AddItemfromFile1Click(QObject* Sender);
    // Imports the first dropped file; a move is reported back as nothing done, so the source keeps it.
    void DropFileTargetDrop(const std::vector<std::filesystem::path>& paths, Qt::DropAction& effect);
    // Whether a file may become an item: a regular file, and a very large one only when the user
    // agrees. Says why not.
    bool acceptItemSource(const std::filesystem::path& file);
    void DeleteItem1Click(QObject* Sender);
    void RenameItem1Click(QObject* Sender);
    void SaveItem1Click(QObject* Sender);
    // Reordering by dragging within LB; positions in LB's viewport.
    void LBMouseDown(Qt::MouseButton Button, int X, int Y);
    [[nodiscard]] bool LBDragOver(QObject* Source) const;
    void LBDragDrop(int X, int Y);
    // The same from the keyboard (TForm1Keyboard.cpp): the selected item one place up or down.
    void MoveItemUp1Click(QObject* Sender);
    void MoveItemDown1Click(QObject* Sender);
    // --- Web links (TForm1Links.cpp) ----------------------------------------------------------
    void HighlightWebLinkswww1Click(QObject* Sender);
    // Marks every web address in the page blue and underlined; the caret goes back where it was,
    // the editor repaints once, and `Edited` is left alone.
    void DisplayLinks();
    // A mouse button went down in the editor: with Ctrl held, opens the web address at the caret.
    void REMouseDown(Qt::KeyboardModifiers Shift);
    // Hands one of the program's own targets ("FILE", or "PROGRAM{ARGS}PARAMETERS", or an
    // address) to the desktop. A failure is shown in words; returns whether the desktop took it.
    bool RunFile(const std::u16string& target);
    void Website1Click(QObject* Sender);

    // --- Printing and edit commands (TForm1EditMenu.cpp) ----------------------------------------
    void PopupMenuPopup();
    void Undo1Click(QObject* Sender);
    void Redo1Click(QObject* Sender);
    void Cut1Click(QObject* Sender);
    void Copy1Click(QObject* Sender);
    void Paste1Click(QObject* Sender);
    void SelectAll1Click(QObject* Sender);
    // The whole page on the default printer, no dialog, then the balloon; a failure says why.
    void Print1Click(QObject* Sender);

    // --- Formatting toolbar (TForm1Toolbar.cpp) and the editor's events (TForm1EditorEvents.cpp) -----
    // Shows the selection's attributes on the toolbar; applies nothing and leaves `Edited` alone.
    void SetAttr();
    // Fills FontBox once (start-up): the screen's font families, once each, and "Default", sorted
    // without regard to case.
    void fillFontBox();
    // The style buttons (B, I, U, S) and the bullet: switch the look, then ApplyStyle.
    void SpeedButton10Click(QObject* Sender);
    void SpeedButton14Click(QObject* Sender); // left
    void SpeedButton15Click(QObject* Sender); // centre
    void SpeedButton16Click(QObject* Sender); // right
    void FontBoxChange(QObject* Sender);
    void FontBoxDrawItem(QPainter& Canvas, int Index, const QRect& Rect, QStyle::State State);
    // True when the key was Enter, which it takes for itself: the box never sees it typed.
    bool SizeBoxKeyDown(QObject* Sender, int Key, Qt::KeyboardModifiers Shift);
    void SizeBoxSelect(QObject* Sender);
    void ColourChange(QObject* Sender);
    void REChange(QObject* Sender);
    void REClick(QObject* Sender);
    // A key that types a character (Enter, Tab and Backspace too).
    void REKeyPress(QObject* Sender, QChar Key);

    // --- Pages from other programs (TForm1PageLinks.cpp) ---------------------------------------------
    // A Ctrl+click on a hyperlink of the page: a web address goes to the desktop's opener; a file
    // opens after a confirmation, and one that would run is shown in its folder instead.
    void REAnchorClick(const std::u16string& target);

    // --- Owner-drawn lists (TForm1Lists.cpp) --------------------------------------------------
    void LBDrawItem(QPainter& Canvas, int Index, const QRect& Rect, QStyle::State State);
    void OpenRecentDrawItem(QPainter& Canvas, int Index, const QRect& Rect, QStyle::State State);

    // --- Reminders (TForm1Reminders.cpp) -----------------------------------------------------
    // Rebuilds ReminderList from every page: the page shown from the editor, the others from
    // their buffer files.
    void AnyReminders();
    // Asks about every due reminder of a fresh scan and acknowledges it, whatever the answer.
    void ReminderCheckTimer(QObject* Sender);

    // --- Find in the page and search every page (TForm1Find.cpp) --------------------------------
    void Find1Click(QObject* Sender);
    void SearchPages1Click(QObject* Sender);
    // The search field changed: its words searched for, or the whole list back when it has none.
    void SearchBoxChange();
    // Opens a found item through the item switch, its words then highlighted by the find bar.
    void SearchListOpen(int row);
    // The whole list back, its shown item selected; the field emptied unless `keepField`.
    void endSearch(bool keepField = false);
    [[nodiscard]] bool searchShown() const;

    // --- Prompts ------------------------------------------------------------------------------
    // The one-line prompt: pauses the housekeeping tick and drops stay-on-top while open.
    // Returns the entered text, or kPromptCancelled ("-1") when cancelled.
    static constexpr std::u16string_view kPromptCancelled = u"-1";
    std::u16string PromptForText(const std::u16string& title, const std::u16string& prompt, const std::u16string& text);
    void ShowInfo(const std::u16string& text);

    // Whether the window currently has the stay-on-top attribute.
    [[nodiscard]] bool isStayOnTop() const;

    // --- Today's desktops (TForm1HotkeyStatus.cpp) ---------------------------------------------
    // The desktop bound the hotkeys, or bound them anew, after the start.
    void HotkeysChanged(const HotkeyStatus& status);
    // The overview with the keys that are bound in this session.
    [[nodiscard]] std::u16string OverviewText() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Web links and the editor's commands (TForm1Links.cpp, TForm1EditMenu.cpp).
    void connectLinkHandlers();
    void buildPopupMenu();
    void connectEditHandlers();
    // Opens an address taken from a page: through the URL opener only, never with arguments.
    bool openPageAddress(const std::u16string& address);
    void openPageFile(const std::u16string& target);

    // Building the controls (TForm1Layout.cpp).
    void buildWindow();
    void buildMenus();
    void buildToolbar();
    void buildBody();
    void buildStatusBar();
    void buildTray();
    void connectHandlers();
    // Item operations: the commands' controls, the drags and drops.
    void connectItemHandlers();
    // F10, Enter and Ctrl+Tab from the list into the page, the tab order (TForm1Keyboard.cpp).
    void connectKeyboard();
    // Takes LB's entry `from` out and puts it in at `to` (of the list without it); stamped, Edited.
    void placeEntry(int from, int to);
    void connectReminderHandlers();
    void connectToolbarHandlers();
    void connectEditorHandlers();
    void connectPageHandlers();
    // --- After a run that did not end in order (TForm1Recovery.cpp) ---
    void connectRecovery();
    // A change of the page shown: it is written into its buffer file once the changes pause.
    void pageChangedForRecovery();
    void writeShownPageAfterPause();
    // Notes the project this run works on, for the next start should this run not end in order;
    // writes only when the project changed.
    void markSession();
    // This run ends in order: the next start empties the buffer as usual.
    void endSession();
    // At start-up, after a run that did not end in order and left pages in the buffer that its
    // project lacks: asks, and on Yes makes the buffer the working copy. True when restored.
    bool restoreLastSession();
    // Start-up's usual way: the remembered project refilled into the buffer, its item shown.
    void openRememberedProject();
    // --- A project other programs change too (TForm1ProjectSync.cpp) ---
    void connectProjectSync();
    // ProjectPath is now the project, its buffer just filled from it (or, `restored`, holding a
    // session's unsaved pages over it); the folder is watched from now on.
    void projectOpened(bool restored);
    // Save's copy into the project: this session's changes, and what changed elsewhere taken in.
    [[nodiscard]] store::SyncReport syncProject();
    void absorbProjectChanges();
    void applySyncReport(const store::SyncReport& report);
    void setUpListDrawing();

    // Find and search (TForm1Find.cpp). The index learns of the project, then of changes, lazily.
    void buildFind();
    void indexProject();
    void syncSearch();
    void showFound(const search::Found& found);
    void stepSearch(int by);

    // Formatting toolbar.
    void ApplyStyle();
    // Runs a formatting command's change, then gives the editor the focus and sets `Edited`.
    void formatSelection(const std::function<void()>& change);
    void selectFont(const std::u16string& name);

    // Paths of the data folder.
    [[nodiscard]] std::filesystem::path bufferDir() const;
    [[nodiscard]] std::filesystem::path bufferFile(const std::u16string& item) const;
    [[nodiscard]] std::filesystem::path dataFile(const char* name) const;
    [[nodiscard]] std::vector<std::u16string> listEntries() const;
    void setListEntries(const std::vector<std::u16string>& names);
    // Selects the entry equal to `name` without regard to case; false when there is none.
    bool selectEntry(const std::u16string& name);

    // Page I/O through the editor adapter; failures carry the system's reason.
    // Buffer files skip the disk sync (start-up discards the buffer anyway); project files do not.
    [[nodiscard]] std::error_code writePage(const std::filesystem::path& file, store::Flush flush);
    // Loads `file` as the page of item `name`, which becomes `CurrentItem`; on failure the editor
    // and the item shown stay as they were.
    [[nodiscard]] std::error_code showPage(const std::u16string& name, const std::filesystem::path& file);
    // The editor shows no item's page: empty, read-only, and never written under any name.
    void showNoPage();
    // Writes the page shown into its buffer file when it changed since it was loaded (or the file
    // is gone); nothing for a page that belongs to no item.
    [[nodiscard]] std::error_code writeShownPage(store::Flush flush = store::Flush::Skip);
    // The page shown differs from its buffer file: the document's own modified state, so an
    // undo back to the page as loaded or written counts as no change.
    [[nodiscard]] bool pageChanged() const;
    // Shows `preferred`'s page from `folder`, else the first entry's that loads, else no page;
    // selects its entry. Pages that could not be loaded are added to `failures`.
    bool showFirstLoadable(const std::u16string& preferred, const std::filesystem::path& folder,
                           std::vector<store::FileFailure>& failures);
    // The default error box; during start-up it is kept for the first tick, so start-up opens no box.
    void reportError(const std::u16string& text);
    void reportFileError(const std::filesystem::path& file, std::error_code ec);
    // One box for the files of `folder` that failed, each with its reason; nothing when none did.
    void reportFailures(const std::filesystem::path& folder, const std::vector<store::FileFailure>& failures);

    // Opens folder P as the project (Open Project steps 2-5, the recent double-click's step 4).
    void openProjectFolder(const std::u16string& folder);
    // Makes an empty page "Wibble" the one item of `projectFolder` and of the buffer, and shows it
    // (unselected). False, with nothing changed, when the project folder's page cannot be written.
    bool startEmptyWibble(const std::filesystem::path& projectFolder);
    // Relocate Project's save into `target`; false (reported) unless every file arrived.
    bool relocateTo(const std::filesystem::path& target);
    // Save Project without its help branch; false (reported, `Edited` kept) when anything failed.
    bool saveProject();
    // Before New/Open Project and the recent double-click replace the buffer: Autosave (when
    // `autosave`), else the save prompt. False when the command must stop: Cancel, or a failed save.
    // A failed Autosave asks, so No stays possible.
    bool saveBeforeReplacing(bool autosave);
    // Before the window hides or the program quits: Autosave, then `question` while `Edited` is
    // still set. False when it must stay: Cancel, or a save that failed.
    bool saveBeforeLeaving(const std::u16string& question);
    bool writeRecent();
    void writeConfig();
    // Store the selection, hide, and leave help mode: shared by the close path and Ctrl+F5.
    void hideToTray();
    // Hides the window, or minimises it where nothing could bring a hidden window back (no tray
    // and no Ctrl+F1), saying why once.
    void hideWindow();
    // A one-off notice: the tray's balloon, or an information box where there is no tray.
    void notice(const std::u16string& text);
    // The session manager asks to save before the session ends (or at a checkpoint).
    void commitData(QSessionManager& manager);
    // Shows the window, makes it stay-on-top and brings it to the front.
    void showOnTop();
    // Selects an LB row without running the item switch; an out-of-range row clears the selection.
    void selectRow(int row);
    // Ctrl+F4: the whole page to the clipboard, the balloon, and the hide when asked for.
    void copyPage();
    // Ctrl+F5: save or ask, then hide.
    void hideAfterSaving();
    void setStayOnTop(bool on);
    // The hotkeys' names, the minimise fallback and the notice follow the desktop's binding.
    void applyHotkeyStatus(const HotkeyStatus& status);
    // --- The hotkeys as commands of the desktop's shortcut settings (TForm1HotkeyCommands.cpp) ---
    // The overview's closing paragraph naming the commands, where the hotkeys reach only some
    // programs and the desktop does not run them yet; else empty.
    [[nodiscard]] std::u16string hotkeyCommandsText() const;
    // At the first tick: offers once to add the hotkeys to the desktop's own shortcuts.
    void offerDesktopShortcuts();
    void connectDesktopHandlers();
    // The copy's balloon, once the desktop says whether the page reached the clipboard.
    void copyDone(bool copied);
    // Help-mode branch: shows `text` and returns true when help mode is on and `Sender` is one of
    // the command's controls (an empty list matches any control but the window itself).
    bool helpBranch(QObject* Sender, std::initializer_list<const QObject*> senders, const std::u16string& text);
    // Restores a check mark that the menu flipped before the command ran.
    static void flipBack(QAction* option);
    // The help button's picture: the question mark while off, the three dots while on.
    void applyHelpGlyph();

    // Item operations' helpers (TForm1Items.cpp).
    // Shows why `name` cannot be an item and returns true, or returns false when it can.
    bool refuseItemName(const std::u16string& name);
    // Whether an entry of LB or any file in the buffer or the project folder has the name, without
    // regard to case. The folders are read when this is called.
    [[nodiscard]] std::function<bool(std::u16string_view)> itemNameTaken() const;
    // writeShownPage, reporting a failure; false when it failed.
    bool keepShownPage();
    // Appends `name` to LB, selects it and switches to it (LBClick).
    void appendItem(const std::u16string& name);
    // The files of the item `name` leave the project folder and the buffer; false, reported, when
    // they could not.
    bool removeItemFiles(const std::u16string& name);
    // The first folder the item file dialogs offer.
    [[nodiscard]] std::filesystem::path itemFileFolder();
    // Reminders (TForm1Reminders.cpp).
    // The editor's page as the reminder scan reads it, each paragraph and line break ending in
    // CR LF; `positions`, when given, receives the document position of every unit.
    [[nodiscard]] std::u16string pageScanText(std::vector<int>* positions = nullptr) const;
    // Turns the reminder's tags into acknowledged ones in its page; Edited when the page changed.
    void acknowledgeReminder(const reminders::ScannedReminder& reminder);
    // The same in the editor's page, for a tag that only the editor's text shows whole; true
    // when there was one.
    bool acknowledgeInEditor(std::u16string_view stamp);
    // Shows the page shown again after its file changed, keeping the caret and the scroll position.
    void reloadPageShown(const std::filesystem::path& file);

    void applyConfig(const settings::Config& config);
    // Until the frame is known: checked by the tick, which gives up after a couple of seconds.
    void applyPendingBounds();
    [[nodiscard]] settings::Config currentConfig() const;
    // Runs a handler; a failure shows the default error box instead of escaping the event loop.
    void guarded(const std::function<void()>& handler);

    Desktop& m_desktop;
    QuitState m_quit = QuitState::Running;
    PendingErrors m_errors;                       // the default error box, held while start-up runs
    std::unique_ptr<PageSession> m_page;          // the page shown: CurrentItem's, changed, the program's changes
    QTimer* m_pageWriteTimer = nullptr;           // writes the changed page once typing pauses
    std::unique_ptr<store::Project> m_project;    // the store's view of ProjectPath and the buffer
    QFileSystemWatcher* m_projectWatch = nullptr; // the project folder, for changes from elsewhere
    QTimer* m_projectSettle = nullptr;            // a look at the folder once its changes settle
    std::u16string m_sessionMarked;               // the project the session marker names
    bool m_leaveQuestionOpen = false;             // the save question of a hide is open
    bool m_timerStarted = false;
    HotkeyPresence m_hotkeys;            // the hotkeys as the desktop last reported them
    std::function<void()> m_whenStarted; // a command's action waiting for the first tick
    LayoutMemory m_layout;               // the column, the recent list and the bounds to apply
    SaidOnce m_said;
    StatusNumbers m_statusNumbers; // what the tick last wrote in the status bar
    reminders::BufferScanner m_reminderScanner;
    std::vector<reminders::ScannedReminder> m_reminders; // the last scan, entry by entry of ReminderList
    std::unique_ptr<WindowEvents> m_events;              // the keys of the window before its controls, the quit
    std::unique_ptr<PageSearch> m_search;                // the index of every page, on its own thread
    FormatToolbar m_toolbar;                             // the formatting toolbar's fonts, swatches and sizes
    QString m_listFamily;                                // the lists' typeface
};

} // namespace quillory
