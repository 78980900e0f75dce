#pragma once

#include "platform/Desktop.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <random>

class QSystemTrayIcon;

namespace quillory {

class GlobalHotkeys;
class WindowState;

// The real desktop: Qt dialogs, the tray icon, the URL opener (xdg-open), printing through CUPS,
// the XDG folders, the hotkeys (X11 key grabs or the GlobalShortcuts portal), the clipboard (Qt's,
// or Wayland data control).
class QtDesktop final : public Desktop {
public:
    QtDesktop();
    ~QtDesktop() override;

    // The tray icon balloons are shown at; owned by the window. Call right after creating it:
    // the kind of tray (StatusNotifier or XEmbed) is read when Qt picks it.
    void setTrayIcon(QSystemTrayIcon* tray);

    // A hotkey asked for by a command or a second start rather than by a key: it acts as the key
    // would, with the activation token the desktop gave that command (may be empty).
    void pressHotkey(int id, const QString& activationToken);

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
    bool trayAvailable() const override;
    links::ShellResult openAddress(const std::u16string& address) override;
    void showInFileManager(const std::filesystem::path& file) override;
    links::ShellResult shellOpen(const std::u16string& file, const std::u16string& parameters,
                                 const std::u16string& folder) override;
    void printDocument(std::unique_ptr<QTextDocument> document, const std::u16string& title,
                       std::function<void(const PrintResult&)> done) override;
    HotkeyStatus registerHotkeys(std::function<void(int id)> pressed) override;
    std::filesystem::path documentsFolder() const override;
    std::filesystem::path autostartFolder() const override;
    std::filesystem::path cacheFolder() const override;
    std::filesystem::path programPath() const override;
    std::chrono::system_clock::time_point now() const override;
    int randomBelow(int bound) override;
    void watchHotkeys(std::function<void(const HotkeyStatus&)> changed) override;
    std::optional<DesktopShortcuts> desktopShortcuts() override;
    bool bindDesktopShortcuts(unsigned mask, const std::array<std::u16string, 5>& commands,
                              std::u16string& why) override;
    void setClipboard(std::unique_ptr<QMimeData> data, std::function<void(bool copied)> done) override;
    bool trayActivatesOnClick() const override;
    void setStayOnTop(QWidget& window, bool on) override;
    bool isStayOnTop(const QWidget& window) const override;

private:
    // The token of the newest press, from a command or a key; empty where there is none.
    std::string takeActivationToken();

    QPointer<QWidget> m_owner;
    QPointer<QSystemTrayIcon> m_tray;
    std::unique_ptr<GlobalHotkeys> m_hotkeys;
    std::function<void(int)> m_pressed;
    std::string m_commandToken;
    std::function<void(const HotkeyStatus&)> m_hotkeysChanged;
    std::unique_ptr<WindowState> m_windowState;
    const QWidget* m_windowStateOf = nullptr;
    bool m_statusNotifierTray = false;
    std::unique_ptr<QObject> m_dataControl; // the Wayland data-control client, where there is one
    bool m_dataControlTried = false;
    std::mt19937 m_random;
};

} // namespace quillory
