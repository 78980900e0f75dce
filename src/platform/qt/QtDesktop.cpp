#include "platform/qt/QtDesktop.h"

#include "platform/GlobalHotkeys.h"
#include "platform/QtText.h"
#include "platform/qt/FileFilter.h"
#include "platform/WindowState.h"
#include "platform/qt/FocusedCopy.h"
#include "platform/qt/PromptDialog.h"
#ifdef QUILLORY_HAVE_GIO
#include "platform/gnome/GnomeShortcuts.h"
#endif
#ifdef QUILLORY_HAVE_WAYLAND
#include "platform/wayland/DataControlClipboard.h"
#endif

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMimeData>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QSystemTrayIcon>

namespace quillory {

QtDesktop::QtDesktop()
    : m_random(static_cast<std::mt19937::result_type>(std::chrono::system_clock::now().time_since_epoch().count()))
{
}

QtDesktop::~QtDesktop() = default;

namespace {

// The test Qt makes when it chooses between a StatusNotifierItem and an XEmbed tray icon.
bool StatusNotifierHostPresent()
{
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(watcher))
        return false;
    QDBusMessage get =
        QDBusMessage::createMethodCall(watcher, QStringLiteral("/StatusNotifierWatcher"),
                                       QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << watcher << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, 2000);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

} // namespace

void QtDesktop::setTrayIcon(QSystemTrayIcon* tray)
{
    m_tray = tray;
    m_statusNotifierTray = tray && StatusNotifierHostPresent();
}

void QtDesktop::setOwner(QWidget* owner)
{
    m_owner = owner;
}

void QtDesktop::showInfo(const std::u16string& text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), toQ(text), QMessageBox::Ok, m_owner);
    box.exec();
}

Answer QtDesktop::confirm(const std::u16string& text, bool withCancel)
{
    auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), toQ(text), buttons, m_owner);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return withCancel ? Answer::Cancel : Answer::No;
    }
}

std::optional<std::u16string> QtDesktop::promptText(const std::u16string& title, const std::u16string& prompt,
                                                    const std::u16string& text)
{
    PromptDialog dialog(toQ(title), toQ(prompt), toQ(text), QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return fromQ(dialog.text());
}

void QtDesktop::showError(const std::u16string& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quillory"), toQ(text), QMessageBox::Ok, m_owner);
    box.exec();
}

std::optional<std::filesystem::path> QtDesktop::browseForFolder(const std::u16string& title,
                                                                const std::filesystem::path& start)
{
    // The non-native dialog honours ReadOnly, which removes "Create New Folder".
    const QString dir = QFileDialog::getExistingDirectory(m_owner, toQ(title), pathToQ(start),
                                                          QFileDialog::ShowDirsOnly | QFileDialog::ReadOnly |
                                                              QFileDialog::DontUseNativeDialog);
    if (dir.isEmpty())
        return std::nullopt;
    return pathFromQ(dir);
}

std::optional<std::filesystem::path> QtDesktop::openFileName(const std::u16string& title,
                                                             const std::filesystem::path& start,
                                                             const std::u16string& filter,
                                                             const std::u16string& defaultExtension)
{
    QFileDialog dialog(m_owner, toQ(title), pathToQ(start), qtFileFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    std::filesystem::path file = pathFromQ(dialog.selectedFiles().constFirst());
    // The extension is added only where the name as typed names no file; Qt's default suffix
    // would be added to an existing file without one too.
    std::error_code error;
    if (!std::filesystem::exists(file, error) && file.filename().string().find('.') == std::string::npos) {
        std::filesystem::path extended = file;
        extended += pathFromQ(QStringLiteral(".") + toQ(defaultExtension));
        if (std::filesystem::exists(extended, error))
            return extended;
    }
    return file;
}

std::optional<std::filesystem::path> QtDesktop::saveFileName(const std::u16string& title,
                                                             const std::filesystem::path& start,
                                                             const std::u16string& filter,
                                                             const std::u16string& defaultExtension)
{
    // A start that names no folder offers its name in the folder it lies in.
    std::error_code ec;
    const bool offered = !start.empty() && !std::filesystem::is_directory(start, ec);
    QFileDialog dialog(m_owner, toQ(title), pathToQ(offered ? start.parent_path() : start), qtFileFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(toQ(defaultExtension));
    if (offered)
        dialog.selectFile(pathToQ(start.filename()));
    // A name typed without an extension takes the chosen filter's, not the first one's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& chosen) { dialog.setDefaultSuffix(suffixOfFilter(chosen)); });
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return pathFromQ(dialog.selectedFiles().constFirst());
}

bool QtDesktop::moveToTrash(const std::filesystem::path& file)
{
    // The home trash, laid out as freedesktop desktops keep it. Without it Qt 6.4 makes
    // "files" and "info" in the working folder and reports success.
    const QString trash =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
    for (const char* part : {"/files", "/info"})
        if (!QDir().mkpath(trash + QLatin1String(part)))
            return false;
    (void)QFile::setPermissions(trash, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QString inTrash;
    if (!QFile::moveToTrash(pathToQ(file), &inTrash))
        return false;
    // Believed only where the file really went: into a trash's "files" folder, and gone from here.
    const QFileInfo arrived(inTrash);
    std::error_code ec;
    return arrived.exists() && arrived.dir().dirName() == QLatin1String("files") &&
           arrived.dir().absolutePath().endsWith(QLatin1String("Trash/files")) && !std::filesystem::exists(file, ec);
}

void QtDesktop::showBalloon(const std::u16string& text)
{
    if (m_tray)
        m_tray->showMessage(QString(), toQ(text), QSystemTrayIcon::NoIcon);
}

bool QtDesktop::trayAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

HotkeyStatus QtDesktop::registerHotkeys(std::function<void(int id)> pressed)
{
    m_pressed = pressed;
    m_hotkeys = GlobalHotkeys::create(std::move(pressed), [this](const HotkeyStatus& status) {
        if (m_hotkeysChanged)
            m_hotkeysChanged(status);
    });
    return m_hotkeys->status();
}

void QtDesktop::pressHotkey(int id, const QString& activationToken)
{
    // The newest press's token is the one the desktop still honours.
    m_commandToken = activationToken.toStdString();
    if (id == 1 && !activationToken.isEmpty() && QGuiApplication::platformName() == QLatin1String("wayland"))
        // Qt's xdg-shell integration activates with this token at the next activation request.
        qputenv("XDG_ACTIVATION_TOKEN", activationToken.toUtf8());
    if (m_pressed)
        m_pressed(id);
}

std::string QtDesktop::takeActivationToken()
{
    std::string token = std::exchange(m_commandToken, {});
    if (m_hotkeys) {
        std::string fromKey = m_hotkeys->takeActivationToken();
        if (token.empty())
            token = std::move(fromKey);
    }
    return token;
}

std::optional<DesktopShortcuts> QtDesktop::desktopShortcuts()
{
#ifdef QUILLORY_HAVE_GIO
    if (gnome::Offered()) {
        const gnome::Survey survey = gnome::Look();
        return DesktopShortcuts{survey.freeMask, survey.oursMask};
    }
#endif
    return std::nullopt;
}

bool QtDesktop::bindDesktopShortcuts(unsigned mask, const std::array<std::u16string, 5>& commands, std::u16string& why)
{
#ifdef QUILLORY_HAVE_GIO
    std::array<std::string, 5> utf8;
    for (std::size_t i = 0; i < commands.size(); ++i)
        utf8[i] = toQ(commands[i]).toStdString();
    std::string reason;
    if (gnome::Bind(mask, utf8, reason))
        return true;
    why = fromQ(QString::fromStdString(reason));
#else
    (void)mask;
    (void)commands;
    why = u"This build of Quillory cannot change the desktop's shortcuts.";
#endif
    return false;
}

void QtDesktop::watchHotkeys(std::function<void(const HotkeyStatus&)> changed)
{
    m_hotkeysChanged = std::move(changed);
}

void QtDesktop::setClipboard(std::unique_ptr<QMimeData> data, std::function<void(bool copied)> done)
{
    const bool wayland = QGuiApplication::platformName() == QLatin1String("wayland");
#ifdef QUILLORY_HAVE_WAYLAND
    if (wayland && !m_dataControlTried) {
        m_dataControlTried = true;
        auto client = std::make_unique<DataControlClipboard>();
        if (client->available())
            m_dataControl = std::move(client);
    }
    if (auto* control = static_cast<DataControlClipboard*>(m_dataControl.get()); control && control->available()) {
        done(control->setSelection(std::move(data)));
        return;
    }
#endif
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (wayland && !QGuiApplication::focusWindow()) {
        // The compositor ignores a clipboard set by a client without the focus.
        const std::string token = takeActivationToken();
        if (token.empty()) {
            done(false);
            return;
        }
        new FocusedCopy(std::move(data), QString::fromStdString(token), std::move(done));
        return;
    }
    clipboard->setMimeData(data.release());
    done(QGuiApplication::platformName() != QLatin1String("xcb") || clipboard->ownsClipboard());
}

bool QtDesktop::trayActivatesOnClick() const
{
    return m_statusNotifierTray;
}

void QtDesktop::setStayOnTop(QWidget& window, bool on)
{
    if (!m_windowState || m_windowStateOf != &window) {
        m_windowState = WindowState::create(window);
        m_windowStateOf = &window;
    }
    m_windowState->setStayOnTop(on);
}

bool QtDesktop::isStayOnTop(const QWidget& window) const
{
    return m_windowState && m_windowStateOf == &window && m_windowState->stayOnTop();
}

std::filesystem::path QtDesktop::documentsFolder() const
{
    // Reads the same XDG user-dirs file as xdg-user-dir, falling back to ~/Documents.
    return pathFromQ(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

std::filesystem::path QtDesktop::autostartFolder() const
{
    return pathFromQ(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) / "autostart";
}

std::filesystem::path QtDesktop::cacheFolder() const
{
    return pathFromQ(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)) / "Quillory";
}

std::filesystem::path QtDesktop::programPath() const
{
    return pathFromQ(QCoreApplication::applicationFilePath());
}

std::chrono::system_clock::time_point QtDesktop::now() const
{
    return std::chrono::system_clock::now();
}

int QtDesktop::randomBelow(int bound)
{
    if (bound <= 1)
        return 0;
    return std::uniform_int_distribution<int>(0, bound - 1)(m_random);
}

} // namespace quillory
