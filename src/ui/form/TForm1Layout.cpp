#include "ui/form/TForm1.h"

#include "ui/access/AccessibleLabels.h"
#include "ui/form/DesignRow.h"
#include "ui/form/Glyphs.h"
#include "ui/form/StatusField.h"
#include "ui/lists/ItemList.h"
#include "ui/editor/PageEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <optional>

namespace quillory {

namespace {

QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {},
                 bool checkable = false)
{
    auto* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    action->setCheckable(checkable);
    return action;
}

void addSeparator(QMenu* menu, const char* name)
{
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

QToolButton* glyphButton(DesignRow& row, const char* name, const QString& hint, QRect design,
                         std::optional<GlyphId> glyph = std::nullopt,
                         DesignRow::Anchor anchor = DesignRow::Anchor::Left)
{
    auto* button = new QToolButton(row.parentWidget());
    if (glyph) {
        button->setIcon(Glyph(*glyph));
        button->setIconSize(glyphSize(*glyph));
    }
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setToolTip(hint);
    // A screen reader names the button by its hint, on one line.
    button->setAccessibleName(QString(hint).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
    row.add(button, design, anchor);
    return button;
}

} // namespace

void TForm1::buildWindow()
{
    setWindowTitle(QStringLiteral("Quillory"));
    // Maximise and close only: closing hides to the tray, so there is nothing to minimise to.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setMinimumSize(655, 300);
    setWindowIcon(Glyph(GlyphId::Tray));
    buildMenus();

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildToolbar();
    Panel1->setParent(central);
    column->addWidget(Panel1);
    buildBody();
    buildPopupMenu();
    buildFind();
    Splitter1->setParent(central);
    column->addWidget(Splitter1, 1);
    setCentralWidget(central);

    buildStatusBar();
    buildTray();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    ReminderCheck = new QTimer(this);
    ReminderCheck->setObjectName(QStringLiteral("ReminderCheck"));
    ReminderCheck->setInterval(20000);

    resize(639, 493 + menuBar()->sizeHint().height());
}

void TForm1::buildMenus()
{
    QMenuBar* bar = menuBar();
    FileMenu = bar->addMenu(QStringLiteral("&File"));
    FileMenu->setObjectName(QStringLiteral("File1"));
    SaveProject1 =
        addItem(FileMenu, "SaveProject1", QStringLiteral("&Save Project"), QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveProjectAs1 = addItem(FileMenu, "SaveProjectAs1", QStringLiteral("&Relocate Project"));
    addSeparator(FileMenu, "N2");
    Autosave = addItem(FileMenu, "Autosave", QStringLiteral("&Autosave"), {}, true);
    addSeparator(FileMenu, "N3");
    NewProject = addItem(FileMenu, "NewProject", QStringLiteral("&New Project"), QKeySequence(Qt::CTRL | Qt::Key_N));
    OpenProject = addItem(FileMenu, "OpenProject", QStringLiteral("&Open Project"), QKeySequence(Qt::CTRL | Qt::Key_O));
    addSeparator(FileMenu, "N5");
    Exit1 = addItem(FileMenu, "Exit1", QStringLiteral("E&xit"));

    ListMenu = bar->addMenu(QStringLiteral("&List"));
    ListMenu->setObjectName(QStringLiteral("List1"));
    AddItem2 = addItem(ListMenu, "AddItem2", QStringLiteral("&Add Item"), QKeySequence(Qt::CTRL | Qt::Key_Insert));
    DeleteItem2 =
        addItem(ListMenu, "DeleteItem2", QStringLiteral("&Delete Item"), QKeySequence(Qt::CTRL | Qt::Key_Delete));
    RenameItem1 = addItem(ListMenu, "RenameItem1", QStringLiteral("&Rename Item"), QKeySequence(Qt::CTRL | Qt::Key_R));
    // After the designed entries, so they keep their places: the keyboard's way to reorder.
    addSeparator(ListMenu, "N14");
    MoveItemUp1 = addItem(ListMenu, "MoveItemUp1", QStringLiteral("Move Item &Up"), QKeySequence(Qt::ALT | Qt::Key_Up));
    MoveItemDown1 =
        addItem(ListMenu, "MoveItemDown1", QStringLiteral("Move Item Do&wn"), QKeySequence(Qt::ALT | Qt::Key_Down));

    OptionsMenu = bar->addMenu(QStringLiteral("&Options"));
    OptionsMenu->setObjectName(QStringLiteral("Options1"));
    CopyItemtoClipboardCtrlF4Hotkey1 =
        addItem(OptionsMenu, "CopyItemtoClipboardCtrlF4Hotkey1",
                QStringLiteral("&Copy Item to Clipboard   [hotkey]    "), QKeySequence(Qt::CTRL | Qt::Key_F4));
    addSeparator(OptionsMenu, "N10");
    StartwithWindows1 = addItem(OptionsMenu, "StartwithWindows1", QStringLiteral("Start with &Windows"), {}, true);
    SST = addItem(OptionsMenu, "SST", QStringLiteral("Start in System &Tray"), {}, true);
    SOT = addItem(OptionsMenu, "SOT", QStringLiteral("Stay on To&p"), {}, true);
    addSeparator(OptionsMenu, "N4");
    MinimiseafterCopy = addItem(OptionsMenu, "MinimiseafterCopy", QStringLiteral("&Minimise after Copy"), {}, true);
    EnableFunctionKeyCopy =
        addItem(OptionsMenu, "EnableFunctionKeyCopy", QStringLiteral("Enable &Function Key Copy"), {}, true);
    addSeparator(OptionsMenu, "N8");
    Wordwrap = addItem(OptionsMenu, "Wordwrap", QStringLiteral("W&ordwrap"), {}, true);
    Wordwrap->setChecked(true);
    addSeparator(OptionsMenu, "N11");
    HighlightWebLinkswww1 =
        addItem(OptionsMenu, "HighlightWebLinkswww1", QStringLiteral("&Highlight Web Links (www.)"));

    ContentMenu = bar->addMenu(QStringLiteral("&Content"));
    ContentMenu->setObjectName(QStringLiteral("Content1"));
    ReminderSetup1 = addItem(ContentMenu, "ReminderSetup1", QStringLiteral("&Reminder Setup"));
    Website1 = addItem(ContentMenu, "Website1", QStringLiteral("&Website"));
    addSeparator(ContentMenu, "N6");
    About1 = addItem(ContentMenu, "About1", QStringLiteral("&About"));
}

void TForm1::buildToolbar()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // Designed 639 by 26 pixels; a larger font widens the boxes that show text (DesignRow).
    auto& row = *new DesignRow(Panel1, {639, 26});

    SpeedButton1 = glyphButton(row, "SpeedButton1", QStringLiteral("Save Project"), {2, 1, 20, 22}, GlyphId::Save);
    SpeedButton2 = glyphButton(row, "SpeedButton2", QStringLiteral("Open Project"), {20, 1, 20, 22}, GlyphId::Open);
    SpeedButton3 =
        glyphButton(row, "SpeedButton3", QStringLiteral("Add Item to Project"), {45, 1, 20, 22}, GlyphId::AddItem);
    SpeedButton4 = glyphButton(row, "SpeedButton4", QStringLiteral("Remove Selected Item\r\nfrom Project"),
                               {68, 1, 20, 22}, GlyphId::RemoveItem);
    SpeedButton5 = glyphButton(row, "SpeedButton5", QStringLiteral("Rename Item"), {94, 1, 20, 22}, GlyphId::Rename);
    SpeedButton7 = glyphButton(
        row, "SpeedButton7",
        QStringLiteral(
            "Copies the current page/item to the clipboard. \r\n\r\nYou may also use the Hotkey combination, Ctrl-F4"),
        {130, 1, 22, 22}, GlyphId::Copy);
    SpeedButton8 = glyphButton(row, "SpeedButton8", QStringLiteral("Quick Print"), {154, 1, 22, 22}, GlyphId::Print);

    const std::array<int, 4> bevelX{42, 121, 183, 583};
    for (std::size_t i = 0; i < Bevels.size(); ++i) {
        auto* bevel = new QFrame(Panel1);
        bevel->setObjectName(QStringLiteral("Bevel%1").arg(i + 1));
        bevel->setFrameShape(QFrame::VLine);
        bevel->setFrameShadow(QFrame::Sunken);
        row.add(bevel, {bevelX[i], 2, 3, 20});
        Bevels[i] = bevel;
    }

    FontBox = new QComboBox(Panel1);
    FontBox->setObjectName(QStringLiteral("FontBox"));
    FontBox->setToolTip(QStringLiteral("Font name"));
    FontBox->setAccessibleName(QStringLiteral("Font name"));
    labelForReaders(*FontBox, QStringLiteral("Font name"));
    // Wider and taller by what a font name gains in a larger font.
    row.add(FontBox, {192, 1, 143, 22}, DesignRow::Anchor::Left, QStringLiteral("DejaVu Sans Mono"));

    SizeBox = new QComboBox(Panel1);
    SizeBox->setObjectName(QStringLiteral("SizeBox"));
    SizeBox->setToolTip(QStringLiteral("Font size"));
    SizeBox->setAccessibleName(QStringLiteral("Font size"));
    labelForReaders(*SizeBox, QStringLiteral("Font size"));
    SizeBox->setEditable(true);
    SizeBox->setMaxVisibleItems(16);
    for (int size : {6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 18, 20, 22, 24,
                     26, 28, 32, 36, 40, 44, 48, 52, 56, 60, 64, 72, 80, 88, 96})
        SizeBox->addItem(QString::number(size));
    row.add(SizeBox, {337, 2, 41, 21}, DesignRow::Anchor::Left, QStringLiteral("88"));

    const auto textButton = [&row](const char* name, const QString& caption, const QString& hint, int x) {
        auto* button = glyphButton(row, name, hint, {x, 3, 15, 19});
        button->setText(caption);
        QFont font(QStringLiteral("Verdana"));
        font.setPixelSize(11);
        button->setFont(font);
        return button;
    };
    SpeedButton10 = textButton("SpeedButton10", QStringLiteral("B"), QStringLiteral("Bold"), 381);
    SpeedButton11 = textButton("SpeedButton11", QStringLiteral("I"), QStringLiteral("Italic"), 395);
    SpeedButton12 = textButton("SpeedButton12", QStringLiteral("U"), QStringLiteral("Underline"), 410);
    SpeedButton13 = textButton("SpeedButton13", QStringLiteral("S"), QStringLiteral("Strikeout"), 423);
    {
        QFont f = SpeedButton11->font();
        f.setItalic(true);
        SpeedButton11->setFont(f);
        f = SpeedButton12->font();
        f.setUnderline(true);
        SpeedButton12->setFont(f);
        f = SpeedButton13->font();
        f.setStrikeOut(true);
        SpeedButton13->setFont(f);
    }

    Colour = new QComboBox(Panel1);
    Colour->setObjectName(QStringLiteral("Colour"));
    Colour->setToolTip(QStringLiteral("Colour"));
    Colour->setAccessibleName(QStringLiteral("Text colour"));
    row.add(Colour, {441, 3, 47, 20});

    SpeedButton14 =
        glyphButton(row, "SpeedButton14", QStringLiteral("Left justify"), {492, 1, 22, 22}, GlyphId::AlignLeft);
    SpeedButton15 = glyphButton(row, "SpeedButton15", QStringLiteral("Centre"), {513, 1, 22, 22}, GlyphId::AlignCentre);
    SpeedButton16 =
        glyphButton(row, "SpeedButton16", QStringLiteral("Right justify"), {535, 1, 22, 22}, GlyphId::AlignRight);
    SpeedButton17 = glyphButton(row, "SpeedButton17", QStringLiteral("Bullet"), {558, 1, 22, 22}, GlyphId::Bullet);

    SpeedButton9 = glyphButton(
        row, "SpeedButton9",
        QStringLiteral(
            "Click here and then on any other item including\r\nmenu items to receive instant help on that "
            "topic.\r\n\r\nWhile this is active none of the items clicked will\r\nactually work, they will "
            "simply tell you all about\r\nthemselves.\r\n\r\nClick here again when done to get back to normal."),
        {591, 2, 20, 22}, GlyphId::HelpOff, DesignRow::Anchor::Right);
    SpeedButton6 = glyphButton(row, "SpeedButton6", QStringLiteral("Overview"), {615, 1, 20, 22}, GlyphId::Overview,
                               DesignRow::Anchor::Right);
}

void TForm1::buildBody()
{
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);

    Panel2 = new QWidget(Splitter1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    auto* left = new QVBoxLayout(Panel2);
    left->setContentsMargins(0, 0, 0, 0);
    Splitter2 = new QSplitter(Qt::Vertical, Panel2);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->setHandleWidth(3);
    Splitter2->setChildrenCollapsible(false);
    left->addWidget(Splitter2);

    // A search's results take the item list's place while it is shown (TForm1Find.cpp).
    ListStack = new QStackedWidget(Splitter2);
    ListStack->setObjectName(QStringLiteral("ListStack"));
    LB = new ItemList(ListStack);
    LB->setObjectName(QStringLiteral("LB"));
    ListStack->addWidget(LB);
    LB->setSelectionMode(QAbstractItemView::SingleSelection);
    LB->setAccessibleName(QStringLiteral("Items"));
    OpenRecent = new QListWidget(Splitter2);
    OpenRecent->setObjectName(QStringLiteral("OpenRecent"));
    OpenRecent->setSelectionMode(QAbstractItemView::SingleSelection);
    OpenRecent->setAccessibleName(QStringLiteral("Recent projects"));
    OpenRecent->setContextMenuPolicy(Qt::CustomContextMenu);
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setStretchFactor(1, 0);
    Splitter2->setSizes({400, 55});

    RecentPop = new QMenu(this);
    RecentPop->setObjectName(QStringLiteral("RecentPop"));
    DeleteSelected1 = RecentPop->addAction(QStringLiteral("&Delete Selected"));
    DeleteSelected1->setObjectName(QStringLiteral("DeleteSelected1"));

    // The editor over the find bar (TForm1Find.cpp).
    EditorPanel = new QWidget(Splitter1);
    EditorPanel->setObjectName(QStringLiteral("EditorPanel"));
    auto* editorColumn = new QVBoxLayout(EditorPanel);
    editorColumn->setContentsMargins(0, 0, 0, 0);
    editorColumn->setSpacing(0);
    RE = new PageEdit(EditorPanel);
    RE->setObjectName(QStringLiteral("RE"));
    RE->setAccessibleName(QStringLiteral("Page"));
    RE->setAccessibleDescription(QStringLiteral("Tab types a tab; Ctrl+Tab leaves the page"));
    editorColumn->addWidget(RE);
    RE->setAcceptRichText(true);
    RE->setLineWrapMode(QTextEdit::WidgetWidth);
    RE->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    RE->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({185, 454});
}

void TForm1::buildStatusBar()
{
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setAccessibleName(QStringLiteral("Status"));
    StatusBar->setSizeGripEnabled(false);
    // No fixed height: its fields' font makes it the designed 19 pixels, and taller with a larger one.
    struct Design {
        const char* text;
        int width;
        Qt::Alignment alignment;
        const char* widest; // the widest text the field shows; its own text when null
    };
    const std::array<Design, 5> panels{{{"Cursor Position:", 90, Qt::AlignLeft, nullptr},
                                        {"", 70, Qt::AlignHCenter, "00000000"},
                                        {"Line Count:", 70, Qt::AlignLeft, nullptr},
                                        {"", 60, Qt::AlignHCenter, "0000000"},
                                        {"Edited", 50, Qt::AlignHCenter, "Edited"}}};
    for (std::size_t i = 0; i < panels.size(); ++i) {
        const QString text = QString::fromLatin1(panels[i].text);
        auto* label =
            new StatusField(text, panels[i].width,
                            panels[i].widest != nullptr ? QString::fromLatin1(panels[i].widest) : text, StatusBar);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setAlignment(panels[i].alignment | Qt::AlignVCenter);
        StatusBar->addWidget(label);
        StatusPanels[i] = label;
    }
    // A screen reader names the numbers by the captions beside them.
    StatusPanels[0]->setBuddy(StatusPanels[1]);
    StatusPanels[2]->setBuddy(StatusPanels[3]);
    StatusPanels[4]->setAccessibleDescription(QStringLiteral("Whether the project has changes not yet saved"));
    setStatusBar(StatusBar);
}

void TForm1::buildTray()
{
    TrayMenu = new QMenu(this);
    TrayMenu->setObjectName(QStringLiteral("TrayMenu"));
    Open1 = TrayMenu->addAction(QStringLiteral("&Open"));
    Open1->setObjectName(QStringLiteral("Open1"));
    TrayMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
    About2 = TrayMenu->addAction(QStringLiteral("&About"));
    About2->setObjectName(QStringLiteral("About2"));
    Exit2 = TrayMenu->addAction(QStringLiteral("E&xit"));
    Exit2->setObjectName(QStringLiteral("Exit2"));

    TrayIcon1 = new QSystemTrayIcon(this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->setToolTip(QApplication::applicationName());
    TrayIcon1->setIcon(Glyph(GlyphId::Tray));
    TrayIcon1->setContextMenu(TrayMenu);
}

} // namespace quillory
