#include "ui/form/TForm1.h"

#include "ui/find/PageSearch.h"

#include "ui/form/PageSession.h"

#include "core/StuffUnit.h"
#include "core/rtf/Rtf.h"
#include "core/settings/Config.h"
#include "core/settings/RecentFile.h"
#include "core/settings/AutostartEntry.h"
#include "core/store/Project.h"
#include "core/store/ProjectStore.h"
#include "core/store/WholeFile.h"
#include "platform/Desktop.h"
#include "platform/QtText.h"
#include "ui/form/ScopedFlag.h"
#include "ui/about/TForm2.h"
#include "ui/form/WindowEvents.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QSessionManager>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QWindow>

#include <algorithm>

namespace quillory {

namespace fs = std::filesystem;

TForm1::TForm1(Desktop& desktop, QWidget* parent)
    : QMainWindow(parent), m_desktop(desktop),
      m_errors([this](const std::u16string& text) { m_desktop.showError(text); })
{
    setObjectName(QStringLiteral("Form1"));
    buildWindow();
    m_page = std::make_unique<PageSession>(*RE);
    connectHandlers();
    m_desktop.setOwner(this);
    FormCreate();
    Form2 = new TForm2(this);
    // Timer1 starts once start-up has run, so no tick can run under a box it opens.
    ReminderCheck->start();
}

TForm1::~TForm1()
{
    endSession();
}

void TForm1::FormCreate()
{
    // Key preview: the window's own key handler sees keys before the focused control.
    m_events = std::make_unique<WindowEvents>(*this);
    connect(m_events.get(), &WindowEvents::keyPressed, this,
            [this](QObject* at, int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) {
                if (!autoRepeat)
                    guarded([&] { FormKeyDown(key, modifiers); });
                if (at == OpenRecent && key == Qt::Key_Delete)
                    guarded([this] { DeleteSelected1Click(); });
            });
    // Quitting closes every window; the close must not ask again what was asked already.
    connect(m_events.get(), &WindowEvents::quitting, this, [this] {
        if (m_quit != QuitState::SettingsKept)
            m_quit = QuitState::ApplicationQuitting;
    });

    ReminderList.clear();

    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, QColor(255, 251, 240));
    tips.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(tips);
    for (QWidget* w : findChildren<QWidget*>())
        if (!w->toolTip().isEmpty())
            w->setToolTipDuration(42000);

    const std::u16string documents = GetSpecialFolderPath(kDocumentsFolder, false);
    std::error_code ec;
    // The documents folder itself may not exist yet on a fresh account.
    fs::create_directories(fs::path(documents + u"/Quillory"), ec);
    DataDir = documents + u"/Quillory/";
    connectProjectSync();

    applyHotkeyStatus(m_desktop.registerHotkeys([this](int id) { guarded([this, id] { HotkeyPressed(id); }); }));

    TrayIcon1->show();
}

std::u16string TForm1::GetSpecialFolderPath(int Folder, bool) const
{
    fs::path p;
    if (Folder == kDocumentsFolder)
        p = m_desktop.documentsFolder();
    else if (Folder == kStartupFolder)
        p = m_desktop.autostartFolder();
    std::u16string s = p.u16string();
    while (s.size() > 1 && s.back() == u'/')
        s.pop_back();
    return s;
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    guarded([this] { FormShow(); });
    // Also after a start-up that failed part-way: the window must go on working.
    if (!Timer1->isActive() && !m_timerStarted) {
        m_timerStarted = true;
        Timer1->start();
    }
}

void TForm1::FormShow()
{
    if (ShownOnce)
        return;
    // Set first: a start-up that failed part-way must never run again over a window in use, since
    // it empties the buffer.
    ShownOnce = true;
    const ScopedFlag startingUp = m_errors.holdForStartUp();
    std::error_code ec;
    fs::create_directories(bufferDir(), ec);
    // The buffer is emptied and refilled from the project in one pass (step 7), which keeps the
    // files that are already equal instead of deleting and copying them again.

    OpenRecent->clear();
    if (const auto bytes = store::ReadWholeFile(dataFile("Recent"), ec))
        for (const std::u16string& entry : settings::ReadRecent(*bytes))
            OpenRecent->addItem(toQ(entry));

    const auto configBytes = store::ReadWholeFile(dataFile("config"), ec);
    applyConfig(configBytes ? settings::ReadConfig(*configBytes) : settings::Config{});

    const bool restored = restoreLastSession();
    if (!restored)
        openRememberedProject();

    Reload1Click();
    setWindowTitle(toQ(u"Quillory - " + ProjectPath));
    // Restored pages are unsaved ones.
    Edited = restored;
    markSession();
    StartwithWindows1->setChecked(settings::HasAutostartEntry(fs::path(GetSpecialFolderPath(kStartupFolder, false))));

    fillFontBox();
    SetAttr();
    // The keys go to the page from the start, as after an item switch; to the list when no page
    // could be shown.
    if (RE->isReadOnly())
        LB->setFocus(Qt::OtherFocusReason);
    else
        RE->setFocus(Qt::OtherFocusReason);
}

void TForm1::applyConfig(const settings::Config& config)
{
    m_layout.pendingBounds = QRect(config.left, config.top, config.width, config.height);
    m_layout.pendingBoundsTicks = 40;
    applyPendingBounds();
    ProjectPath = config.projectPath;
    Splitter1->setSizes({std::max(config.panelWidth, 1), std::max(width() - config.panelWidth, 1)});
    CurrentItem = config.currentItem;
    SST->setChecked(config.startInTray);
    SOT->setChecked(config.stayOnTop);
    TrayHintShown = config.trayHintShown;
    Autosave->setChecked(config.autosave);
    LastFileDir = config.lastFileDir;
    MinimiseafterCopy->setChecked(config.minimiseAfterCopy);
    EnableFunctionKeyCopy->setChecked(config.functionKeyCopy);
    Wordwrap->setChecked(config.wordwrap);
    const int total = std::max(Splitter2->height(), config.recentHeight + 1);
    Splitter2->setSizes({std::max(total - config.recentHeight, 1), std::max(config.recentHeight, 1)});
    m_layout.recentHeight = config.recentHeight;
    m_layout.panel2Width = config.panelWidth;
}

void TForm1::applyPendingBounds()
{
    // `config` holds the outer bounds, but the window manager's frame is known only once it has
    // framed the window, which may come a little after the first show. Until then the bounds are
    // applied as if there were no frame, and applied again, once, when the frame is known.
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    move(m_layout.pendingBounds.topLeft());
    resize(std::max(m_layout.pendingBounds.width() - frame.left() - frame.right(), minimumWidth()),
           std::max(m_layout.pendingBounds.height() - frame.top() - frame.bottom(), minimumHeight()));
    if (!frame.isNull() || --m_layout.pendingBoundsTicks <= 0)
        m_layout.pendingBounds = QRect();
}

settings::Config TForm1::currentConfig() const
{
    settings::Config c;
    const QRect outer = frameGeometry();
    c.left = outer.x();
    c.top = outer.y();
    c.width = outer.width();
    c.height = outer.height();
    c.projectPath = ProjectPath;
    c.panelWidth = Panel2->width() > 0 && Panel2->isVisible() ? Panel2->width() : m_layout.panel2Width;
    c.currentItem = CurrentItem;
    c.startInTray = SST->isChecked();
    c.stayOnTop = SOT->isChecked();
    c.trayHintShown = TrayHintShown;
    c.autosave = Autosave->isChecked();
    c.lastFileDir = LastFileDir;
    c.minimiseAfterCopy = MinimiseafterCopy->isChecked();
    c.functionKeyCopy = EnableFunctionKeyCopy->isChecked();
    c.wordwrap = Wordwrap->isChecked();
    c.recentHeight = OpenRecent->height() > 0 && OpenRecent->isVisible() ? OpenRecent->height() : m_layout.recentHeight;
    return c;
}

void TForm1::connectHandlers()
{
    // Every handler runs through `guarded`, so a failure never escapes into the event loop.
    const auto on = [this](QAction* action, auto handler) {
        connect(action, &QAction::triggered, this,
                [this, action, handler] { guarded([&] { (this->*handler)(action); }); });
    };
    const auto onButton = [this](QToolButton* button, auto handler) {
        connect(button, &QToolButton::clicked, this,
                [this, button, handler] { guarded([&] { (this->*handler)(button); }); });
    };
    on(SaveProject1, &TForm1::SaveProject1Click);
    onButton(SpeedButton1, &TForm1::SaveProject1Click);
    on(SaveProjectAs1, &TForm1::SaveProjectAs1Click);
    on(NewProject, &TForm1::SaveProjectAs1Click);
    on(OpenProject, &TForm1::SaveProjectAs1Click);
    onButton(SpeedButton2, &TForm1::SaveProjectAs1Click);
    on(Autosave, &TForm1::AutosaveClick);
    on(Exit1, &TForm1::Exit1Click);
    on(Exit2, &TForm1::Exit1Click);
    on(CopyItemtoClipboardCtrlF4Hotkey1, &TForm1::CopyItemtoClipboardCtrlF4Hotkey1Click);
    onButton(SpeedButton7, &TForm1::CopyItemtoClipboardCtrlF4Hotkey1Click);
    on(StartwithWindows1, &TForm1::StartwithWindows1Click);
    on(SST, &TForm1::SSTClick);
    on(SOT, &TForm1::SOTClick);
    on(MinimiseafterCopy, &TForm1::MinimiseafterCopyClick);
    on(EnableFunctionKeyCopy, &TForm1::EnableFunctionKeyCopyClick);
    on(ReminderSetup1, &TForm1::ReminderSetup1Click);
    onButton(SpeedButton9, &TForm1::SpeedButton9Click);
    onButton(SpeedButton6, &TForm1::SpeedButton6Click);

    connect(About1, &QAction::triggered, this, [this] { guarded([this] { About1Click(); }); });
    connect(About2, &QAction::triggered, this, [this] { guarded([this] { About1Click(); }); });
    connect(Open1, &QAction::triggered, this, [this] { guarded([this] { Open1Click(); }); });
    connect(TrayIcon1, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // A StatusNotifier tray reports every activation as a single click.
        if (reason == QSystemTrayIcon::DoubleClick ||
            (reason == QSystemTrayIcon::Trigger && m_desktop.trayActivatesOnClick()))
            guarded([this] { TrayIcon1DblClick(); });
    });

    // Programmatic selections block LB's signals, so a row change here is the user's (mouse or
    // keys). A click on the row that was already current changes nothing and still switches.
    connect(LB, &QListWidget::currentRowChanged, this, [this](int) { guarded([this] { LBClick(); }); });
    connect(LB, &ItemList::currentRowClicked, this, [this] { guarded([this] { LBClick(); }); });
    connect(LB, &ItemList::pressed, this,
            [this](Qt::MouseButton button, QPoint at) { LBMouseDown(button, at.x(), at.y()); });
    connectItemHandlers();
    connectKeyboard();
    connect(OpenRecent, &QListWidget::itemClicked, this, [this] { guarded([this] { OpenRecentClick(); }); });
    connect(OpenRecent, &QListWidget::itemDoubleClicked, this, [this] { guarded([this] { OpenRecentDblClick(); }); });
    connect(OpenRecent, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { RecentPop->popup(OpenRecent->viewport()->mapToGlobal(at)); });
    connect(DeleteSelected1, &QAction::triggered, this, [this] { guarded([this] { DeleteSelected1Click(); }); });
    connect(Splitter1, &QSplitter::splitterMoved, this, [this] { Splitter1Moved(); });
    connect(Splitter2, &QSplitter::splitterMoved, this, [this] { Splitter2Moved(); });

    connect(Timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
    connectReminderHandlers();

    connectLinkHandlers();
    connectEditHandlers();
    connectToolbarHandlers();
    connectEditorHandlers();
    connectPageHandlers();
    setUpListDrawing();

    connect(RE->document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (!m_page->isChange(removed, added))
            return;
        pageChangedForRecovery();
        if (m_page->isUsersEdit())
            Edited = true;
    });

    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager& manager) { guarded([this, &manager] { commitData(manager); }); });

    connectDesktopHandlers();
    connectRecovery();
}

void TForm1::guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        m_desktop.showError(fromQ(QString::fromLocal8Bit(e.what())));
    }
}

fs::path TForm1::bufferDir() const
{
    return fs::path(DataDir) / "Buffer";
}

fs::path TForm1::bufferFile(const std::u16string& item) const
{
    return bufferDir() / fs::path(item);
}

fs::path TForm1::dataFile(const char* name) const
{
    return fs::path(DataDir) / name;
}

std::vector<std::u16string> TForm1::listEntries() const
{
    std::vector<std::u16string> names;
    names.reserve(static_cast<std::size_t>(LB->count()));
    for (int i = 0; i < LB->count(); ++i)
        names.push_back(fromQ(LB->item(i)->text()));
    return names;
}

void TForm1::setListEntries(const std::vector<std::u16string>& names)
{
    const QSignalBlocker block(LB);
    LB->clear();
    QStringList items;
    items.reserve(static_cast<qsizetype>(names.size()));
    for (const auto& n : names)
        items.append(toQ(n));
    LB->addItems(items);
}

bool TForm1::selectEntry(const std::u16string& name)
{
    const QSignalBlocker block(LB);
    const auto names = listEntries();
    if (const auto row = store::FindItem(names, name)) {
        LB->setCurrentRow(static_cast<int>(*row));
        return true;
    }
    LB->setCurrentRow(-1);
    LB->clearSelection();
    return false;
}

void TForm1::reportError(const std::u16string& text)
{
    m_errors.report(text);
}

void TForm1::reportFileError(const fs::path& file, std::error_code ec)
{
    reportError(fromQ(QStringLiteral("%1\n\n%2").arg(pathToQ(file), QString::fromStdString(ec.message()))));
}

void TForm1::reportFailures(const fs::path& folder, const std::vector<store::FileFailure>& failures)
{
    if (failures.size() == 1) {
        reportFileError(folder / fs::path(failures.front().name), failures.front().error);
        return;
    }
    QStringList lines;
    for (const store::FileFailure& f : failures)
        lines.append(QStringLiteral("%1: %2").arg(pathToQ(folder / fs::path(f.name)),
                                                  QString::fromStdString(f.error.message())));
    if (!lines.isEmpty())
        reportError(fromQ(lines.join(QLatin1Char('\n'))));
}

void TForm1::ShowInfo(const std::u16string& text)
{
    m_desktop.showInfo(text);
}

bool TForm1::isStayOnTop() const
{
    return m_desktop.isStayOnTop(*this);
}

void TForm1::setStayOnTop(bool on)
{
    // Through the desktop: Qt's own flag would make Qt recreate the window at its next show.
    m_desktop.setStayOnTop(*this, on);
}

std::u16string TForm1::PromptForText(const std::u16string& title, const std::u16string& prompt,
                                     const std::u16string& text)
{
    Timer1->stop();
    setStayOnTop(false);
    const auto answer = m_desktop.promptText(title, prompt, text);
    Timer1->start();
    return answer ? *answer : std::u16string(kPromptCancelled);
}

} // namespace quillory
