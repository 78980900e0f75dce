#include "ui/form/TForm1.h"

#include "platform/Desktop.h"
#include "ui/editor/RichEdit.h"
#include "ui/form/ControlKeys.h"
#include "ui/form/HelpTexts.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QTextEdit>
#include <QToolButton>

namespace quillory {

namespace {

QAction* addCommand(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {})
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

// The desktop's keys for a standard command (Redo is Ctrl+Shift+Z and Ctrl+Y on most).
QAction* addCommand(QMenu* menu, const char* name, const QString& caption, QKeySequence::StandardKey keys)
{
    QAction* action = addCommand(menu, name, caption);
    action->setShortcuts(keys);
    return action;
}

// The commands that depend on the page's state, enabled as it stands: Cut and Copy with a
// selection, Undo and Redo with a step to take on a page that can change.
void enableByPage(const TForm1Controls& form)
{
    const bool selected = form.RE->textCursor().hasSelection();
    form.Cut1->setEnabled(selected);
    form.Copy1->setEnabled(selected);
    const bool writable = !form.RE->isReadOnly();
    form.Undo1->setEnabled(writable && form.RE->document()->isUndoAvailable());
    form.Redo1->setEnabled(writable && form.RE->document()->isRedoAvailable());
}

// One of the menu's changes to the page; none without a page shown (the editor is read-only).
// True when it was made.
bool changePage(QTextEdit& page, void (QTextEdit::*change)())
{
    if (page.isReadOnly())
        return false;
    (page.*change)();
    return true;
}

} // namespace

void TForm1::buildPopupMenu()
{
    PopupMenu = new QMenu(RE);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    SaveItem1 = addCommand(PopupMenu, "SaveItem1", QStringLiteral("&Save Item as File"));
    AddItemfromFile1 = addCommand(PopupMenu, "AddItemfromFile1", QStringLiteral("A&dd Item from File"));
    PopupMenu->addSeparator()->setObjectName(QStringLiteral("N7"));
    Undo1 = addCommand(PopupMenu, "Undo1", QStringLiteral("&Undo"), QKeySequence::Undo);
    Redo1 = addCommand(PopupMenu, "Redo1", QStringLiteral("&Redo"), QKeySequence::Redo);
    PopupMenu->addSeparator()->setObjectName(QStringLiteral("N12"));
    Cut1 = addCommand(PopupMenu, "Cut1", QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X));
    Copy1 = addCommand(PopupMenu, "Copy1", QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C));
    Paste1 = addCommand(PopupMenu, "Paste1", QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V));
    SelectAll1 = addCommand(PopupMenu, "SelectAll1", QStringLiteral("Select &All"), QKeySequence(Qt::CTRL | Qt::Key_A));
    PopupMenu->addSeparator()->setObjectName(QStringLiteral("N9"));
    Print1 = addCommand(PopupMenu, "Print1", QStringLiteral("Pr&int"), QKeySequence(Qt::CTRL | Qt::Key_P));

    // The menu's shortcuts act while the editor has the keyboard focus.
    for (QAction* command : {Undo1, Redo1, Cut1, Copy1, Paste1, SelectAll1, Print1})
        keysActIn(*RE, *command);
    RE->setContextMenuPolicy(Qt::CustomContextMenu);
}

void TForm1::connectEditHandlers()
{
    const auto on = [this](QAction* action, void (TForm1::*handler)(QObject*)) {
        connect(action, &QAction::triggered, this,
                [this, action, handler] { guarded([&] { (this->*handler)(action); }); });
    };
    on(Undo1, &TForm1::Undo1Click);
    on(Redo1, &TForm1::Redo1Click);
    on(Cut1, &TForm1::Cut1Click);
    on(Copy1, &TForm1::Copy1Click);
    on(Paste1, &TForm1::Paste1Click);
    on(SelectAll1, &TForm1::SelectAll1Click);
    on(Print1, &TForm1::Print1Click);
    connect(SpeedButton8, &QToolButton::clicked, this, [this] { guarded([this] { Print1Click(SpeedButton8); }); });

    connect(PopupMenu, &QMenu::aboutToShow, this, [this] { guarded([this] { PopupMenuPopup(); }); });
    connect(RE, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu->popup(RE->viewport()->mapToGlobal(at)); });

    // The editor claims the standard editing keys for itself; its actions' shortcuts go to the
    // menu's commands instead while they are enabled, as the page stands when the key is pressed.
    connect(RE, &PageEdit::shortcutPending, this, [this] { enableByPage(*this); });
}

void TForm1::PopupMenuPopup()
{
    enableByPage(*this);
    // A clipboard without text (a picture alone, say) has nothing to paste.
    Paste1->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
}

void TForm1::Undo1Click(QObject*)
{
    if (changePage(*RE, &QTextEdit::undo))
        Edited = true;
}

void TForm1::Redo1Click(QObject*)
{
    if (changePage(*RE, &QTextEdit::redo))
        Edited = true;
}

void TForm1::Cut1Click(QObject*)
{
    if (changePage(*RE, &QTextEdit::cut))
        Edited = true;
}

void TForm1::Copy1Click(QObject*)
{
    RE->copy();
}

void TForm1::Paste1Click(QObject*)
{
    if (changePage(*RE, &QTextEdit::paste))
        Edited = true;
}

void TForm1::SelectAll1Click(QObject*)
{
    RE->selectAll();
}

void TForm1::Print1Click(QObject* Sender)
{
    if (helpBranch(Sender, {}, help::kPrint))
        return;
    // The print system may be slow or away; the window goes on meanwhile, and the page named is the
    // one printed, whatever is shown when the answer comes.
    m_desktop.printDocument(richedit::printCopy(*RE->document()), u"Quillory",
                            [form = QPointer<TForm1>(this), item = CurrentItem](const PrintResult& result) {
                                if (form == nullptr)
                                    return;
                                form->guarded([&] {
                                    if (!result.sent)
                                        form->m_desktop.showError(result.reason);
                                    else
                                        form->notice(u"Page: " + item + u" Sent to the printer.");
                                });
                            });
}

} // namespace quillory
