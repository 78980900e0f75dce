#pragma once

#include "platform/Desktop.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <random>

class QSystemTrayIcon;

namespace quillory {

class GlobalHotkeys;

// The real desktop: Qt dialogs, the tray icon, xdg-open, the XDG folders, the X11 key grabs.
class QtDesktop final : public Desktop {
public:
    QtDesktop();
    ~QtDesktop() override;

    // The tray icon balloons are shown at; owned by the window.
    void setTrayIcon(QSystemTrayIcon* tray);

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
    bool shellOpen(const std::u16string& target) override;
    bool printDocument(const QTextDocument& document, const std::u16string& title) override;
    HotkeyStatus registerHotkeys(std::function<void(int id)> pressed) override;
    std::filesystem::path documentsFolder() const override;
    std::filesystem::path autostartFolder() const override;
    std::filesystem::path programPath() const override;
    std::chrono::system_clock::time_point now() const override;
    int randomBelow(int bound) override;

private:
    QPointer<QWidget> m_owner;
    QPointer<QSystemTrayIcon> m_tray;
    std::unique_ptr<GlobalHotkeys> m_hotkeys;
    std::mt19937 m_random;
};

} // namespace quillory
