#pragma once

#include <array>

// The two controls with classes of their own, whole: handlers use them as the Qt widgets they are.
#include "ui/editor/PageEdit.h"
#include "ui/lists/ItemList.h"

class QAction;
class QLineEdit;
class QStackedWidget;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QStatusBar;
class QSystemTrayIcon;
class QTextEdit;
class QTimer;
class QToolButton;
class QWidget;

namespace quillory {

class FindBar;
class SearchResults;
class TForm2;

// The main window's controls under their designer names (also their object names), made by the
// window's layout; the window's handlers and state are TForm1's.
struct TForm1Controls {
    // --- Menus --------------------------------------------------------------------------
    QMenu* FileMenu = nullptr;
    QAction* SaveProject1 = nullptr;
    QAction* SaveProjectAs1 = nullptr;
    QAction* Autosave = nullptr;
    QAction* NewProject = nullptr;
    QAction* OpenProject = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* ListMenu = nullptr;
    QAction* AddItem2 = nullptr;
    QAction* DeleteItem2 = nullptr;
    QAction* RenameItem1 = nullptr;
    QAction* MoveItemUp1 = nullptr;   // Alt+Up in the item list
    QAction* MoveItemDown1 = nullptr; // Alt+Down in the item list
    QMenu* OptionsMenu = nullptr;
    QAction* CopyItemtoClipboardCtrlF4Hotkey1 = nullptr;
    QAction* StartwithWindows1 = nullptr;
    QAction* SST = nullptr;
    QAction* SOT = nullptr;
    QAction* MinimiseafterCopy = nullptr;
    QAction* EnableFunctionKeyCopy = nullptr;
    QAction* Wordwrap = nullptr;
    QAction* HighlightWebLinkswww1 = nullptr;
    QMenu* ContentMenu = nullptr;
    QAction* ReminderSetup1 = nullptr;
    QAction* Website1 = nullptr;
    QAction* About1 = nullptr;
    QAction* Find1 = nullptr;        // Ctrl+F
    QAction* SearchPages1 = nullptr; // Ctrl+Shift+F

    // --- Toolbar row -------------------------------------------------------------------
    QWidget* Panel1 = nullptr;
    QToolButton* SpeedButton1 = nullptr; // Save Project
    QToolButton* SpeedButton2 = nullptr; // Open Project
    QToolButton* SpeedButton3 = nullptr; // Add Item
    QToolButton* SpeedButton4 = nullptr; // Delete Item
    QToolButton* SpeedButton5 = nullptr; // Rename Item
    QToolButton* SpeedButton7 = nullptr; // Copy to clipboard
    QToolButton* SpeedButton8 = nullptr; // Quick Print
    QComboBox* FontBox = nullptr;
    QComboBox* SizeBox = nullptr;
    QToolButton* SpeedButton10 = nullptr; // B
    QToolButton* SpeedButton11 = nullptr; // I
    QToolButton* SpeedButton12 = nullptr; // U
    QToolButton* SpeedButton13 = nullptr; // S
    QComboBox* Colour = nullptr;
    QToolButton* SpeedButton14 = nullptr; // left
    QToolButton* SpeedButton15 = nullptr; // centre
    QToolButton* SpeedButton16 = nullptr; // right
    QToolButton* SpeedButton17 = nullptr; // bullet
    QToolButton* SpeedButton9 = nullptr;  // help mode
    QToolButton* SpeedButton6 = nullptr;  // overview
    std::array<QFrame*, 4> Bevels{};

    // --- Body ----------------------------------------------------------------------------
    QSplitter* Splitter1 = nullptr;      // left column | editor
    QWidget* Panel2 = nullptr;           // left column
    QSplitter* Splitter2 = nullptr;      // item list over recent list
    QLineEdit* SearchBox = nullptr;      // a search of every page, above the lists
    QLabel* SearchCount = nullptr;       // how many items it found
    QStackedWidget* ListStack = nullptr; // the item list, or a search's results in its place
    ItemList* LB = nullptr;
    SearchResults* SearchList = nullptr;
    QListWidget* OpenRecent = nullptr;
    QWidget* EditorPanel = nullptr; // the editor over its find bar
    PageEdit* RE = nullptr;
    FindBar* FindBar1 = nullptr;
    // The editor's context menu.
    QMenu* PopupMenu = nullptr;
    QAction* SaveItem1 = nullptr;        // "Save Item as File": connected by the item commands
    QAction* AddItemfromFile1 = nullptr; // "Add Item from File": likewise
    QAction* Undo1 = nullptr;
    QAction* Redo1 = nullptr;
    QAction* Cut1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;
    QAction* SelectAll1 = nullptr;
    QAction* Find2 = nullptr;
    QAction* Print1 = nullptr;
    QMenu* RecentPop = nullptr;
    QAction* DeleteSelected1 = nullptr;

    QStatusBar* StatusBar = nullptr;
    std::array<QLabel*, 5> StatusPanels{};

    QTimer* Timer1 = nullptr;
    QTimer* ReminderCheck = nullptr;

    QSystemTrayIcon* TrayIcon1 = nullptr;
    QMenu* TrayMenu = nullptr;
    QAction* Open1 = nullptr;
    QAction* About2 = nullptr;
    QAction* Exit2 = nullptr;

    TForm2* Form2 = nullptr;
};

} // namespace quillory
