#pragma once

#include "platform/Desktop.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace quillory::test {

// A desktop that answers every box from a script. A box the script did not expect fails the
// running test and is answered with No/Cancel, so no test ever blocks on a real dialog.
class ScriptedDesktop final : public Desktop {
public:
    enum class Kind { Info, Confirm, Prompt, Error, Folder, OpenFile, SaveFile };

    struct Shown {
        Kind kind;
        std::u16string text;    // the box's text, or the dialog's title
        std::u16string extra;   // the prompt's label and initial text, the folder's start
        std::u16string options; // a file dialog's filter and default extension, on two lines
    };

    ScriptedDesktop();
    ~ScriptedDesktop() override;

    // Each expectation is consumed by the next box of its kind, in order. `whileOpen` runs
    // while that box is "open", as the event loop would run timers under a real one.
    void expectInfo(std::function<void()> whileOpen = {});
    void expectConfirm(Answer answer, std::function<void()> whileOpen = {});
    void expectPrompt(std::optional<std::u16string> answer, std::function<void()> whileOpen = {});
    void expectError(std::function<void()> whileOpen = {});
    void expectFolder(std::optional<std::filesystem::path> answer);
    void expectOpenFile(std::optional<std::filesystem::path> answer);
    void expectSaveFile(std::optional<std::filesystem::path> answer);

    [[nodiscard]] bool allConsumed() const { return m_script.empty(); }
    // Texts of the boxes of one kind, in the order shown.
    [[nodiscard]] std::vector<std::u16string> texts(Kind kind) const;

    std::vector<Shown> shown;
    struct Run {
        std::u16string file, parameters, folder;
        friend bool operator==(const Run&, const Run&) = default;
    };
    struct Printed {
        std::u16string title, text; // the job's title and the document's plain text
    };

    std::vector<std::u16string> balloons;
    std::vector<std::u16string> opened;               // addresses given to the URL opener
    std::vector<Run> runs;                            // files and programs given to the shell
    std::vector<std::filesystem::path> shownInFolder; // files shown in the file manager
    std::vector<Printed> printed;
    // While set, the print system's answers wait in `pendingPrints` until the test calls them.
    bool holdPrints = false;
    std::vector<std::function<void()>> pendingPrints;
    bool tray = true;
    links::ShellResult openResult = links::ShellResult::Ok;
    PrintResult printResult{true, {}};
    HotkeyStatus hotkeys{true, 0x1F, {}, {}};
    std::function<void(int)> hotkeyPressed;
    std::function<void(const HotkeyStatus&)> hotkeysChanged;
    // The copy's outcome; a copy that fails leaves the clipboard as it was. While `holdCopies` is
    // set, outcomes wait in `pendingCopies` until the test calls them, as a desktop that must
    // first give the program the focus would make them wait.
    bool copyWorks = true;
    bool holdCopies = false;
    std::vector<std::function<void()>> pendingCopies;
    bool clickActivatesTray = false;
    // The desktop's own shortcuts (GNOME's); nullopt: there are none to add to. Each bind is
    // recorded, and fails with `bindFailure` where that is set.
    std::optional<DesktopShortcuts> shortcuts;
    struct Bound {
        unsigned mask;
        std::array<std::u16string, 5> commands;
    };
    std::vector<Bound> boundShortcuts;
    std::u16string bindFailure;
    std::map<const QWidget*, bool> stayOnTop;
    int stayOnTopChanges = 0;
    std::filesystem::path documents;
    std::filesystem::path autostart;
    std::filesystem::path program{"/usr/local/bin/quillory"};
    std::chrono::system_clock::time_point clock{};
    // Where moveToTrash moves files; empty: there is no trash.
    std::filesystem::path trash;
    // Successive results of randomBelow; an empty queue gives 0.
    std::deque<int> randoms;

    void setOwner(QWidget* owner) override;
    void showInfo(const std::u16string& text) override;
    Answer confirm(const std::u16string& text, bool withCancel) override;
    std::optional<std::u16string> promptText(const std::u16string& title, const std::u16string& prompt,
                                             const std::u16string& text) override;
    void showError(const std::u16string& text) override;
    std::optional<std::filesystem::path> browseForFolder(const std::u16string& title,
                                                         const std::filesystem::path& start) override;
    std::optional<std::filesystem::path> openFileName(const std::u16string& title, const std::filesystem::path& start,
                                                      const std::u16string& filter,
                                                      const std::u16string& defaultExtension) override;
    std::optional<std::filesystem::path> saveFileName(const std::u16string& title, const std::filesystem::path& start,
                                                      const std::u16string& filter,
                                                      const std::u16string& defaultExtension) override;
    bool moveToTrash(const std::filesystem::path& file) override;
    void showBalloon(const std::u16string& text) override;
    bool trayAvailable() const override { return tray; }
    links::ShellResult openAddress(const std::u16string& address) override;
    void showInFileManager(const std::filesystem::path& file) override;
    links::ShellResult shellOpen(const std::u16string& file, const std::u16string& parameters,
                                 const std::u16string& folder) override;
    void printDocument(std::unique_ptr<QTextDocument> document, const std::u16string& title,
                       std::function<void(const PrintResult&)> done) override;
    HotkeyStatus registerHotkeys(std::function<void(int id)> pressed) override;
    void watchHotkeys(std::function<void(const HotkeyStatus&)> changed) override;
    void setClipboard(std::unique_ptr<QMimeData> data, std::function<void(bool copied)> done) override;
    bool trayActivatesOnClick() const override { return clickActivatesTray; }
    std::optional<DesktopShortcuts> desktopShortcuts() override { return shortcuts; }
    bool bindDesktopShortcuts(unsigned mask, const std::array<std::u16string, 5>& commands,
                              std::u16string& why) override;
    void setStayOnTop(QWidget& window, bool on) override;
    bool isStayOnTop(const QWidget& window) const override;
    std::filesystem::path documentsFolder() const override { return documents; }
    std::filesystem::path autostartFolder() const override { return autostart; }
    // Beside the documents; none (an index in memory) where a test gives no documents folder.
    std::filesystem::path cacheFolder() const override
    {
        return documents.empty() ? std::filesystem::path() : documents / ".cache";
    }
    std::filesystem::path programPath() const override { return program; }
    std::chrono::system_clock::time_point now() const override { return clock; }
    int randomBelow(int bound) override;

private:
    struct Step {
        Kind kind;
        Answer answer = Answer::Cancel;
        std::optional<std::u16string> text;
        std::optional<std::filesystem::path> path;
        std::function<void()> whileOpen;
    };
    // Takes the next scripted step, which must be of `kind`; nullopt (and a test failure) if not.
    std::optional<Step> take(Kind kind, const std::u16string& text);

    std::deque<Step> m_script;
};

std::string describe(ScriptedDesktop::Kind kind);

} // namespace quillory::test
