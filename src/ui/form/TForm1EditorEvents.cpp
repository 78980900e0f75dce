#include "ui/form/TForm1.h"

#include "ui/form/EventHook.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextEdit>
#include <QTimer>

namespace quillory {

namespace {

// The character a key types, or a null one for keys that type none (Delete, arrows, Escape,
// control combinations).
QChar typedCharacter(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QLatin1Char('\r');
    case Qt::Key_Tab:
        return QLatin1Char('\t');
    case Qt::Key_Backspace:
        return QLatin1Char('\b');
    default:
        break;
    }
    // Control combinations type nothing; with Alt they are AltGr on some keyboards, which does.
    const Qt::KeyboardModifiers mods = key.modifiers();
    if ((mods & (Qt::ControlModifier | Qt::MetaModifier)) && !(mods & Qt::AltModifier))
        return {};
    const QString text = key.text();
    return !text.isEmpty() && text.front().isPrint() ? text.front() : QChar();
}

} // namespace

void TForm1::connectEditorHandlers()
{
    connect(RE, &QTextEdit::textChanged, this, [this] { guarded([this] { REChange(RE); }); });
    EventHook::install(RE, [this](QEvent* event) {
        if (event->type() == QEvent::KeyPress)
            if (const QChar typed = typedCharacter(*static_cast<QKeyEvent*>(event)); !typed.isNull())
                guarded([&] { REKeyPress(RE, typed); });
        return false;
    });
    // After the editor has taken the release, which may still move the caret (a click inside a
    // selection), so the toolbar shows where the click left it.
    EventHook::install(RE->viewport(), [this](QEvent* event) {
        if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            QTimer::singleShot(0, this, [this] { guarded([this] { REClick(RE); }); });
        return false;
    });
}

void TForm1::REChange(QObject*)
{
    if (!m_applyingFormat)
        SetAttr();
}

void TForm1::REClick(QObject*)
{
    SetAttr();
}

void TForm1::REKeyPress(QObject*, QChar)
{
    // A read-only editor (no page shown) takes no typing.
    if (!RE->isReadOnly())
        Edited = true;
}

} // namespace quillory
