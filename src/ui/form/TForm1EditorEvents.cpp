#include "ui/form/TForm1.h"

#include "ui/editor/PageEdit.h"

namespace quillory {

void TForm1::connectEditorHandlers()
{
    connect(RE, &QTextEdit::textChanged, this, [this] { guarded([this] { REChange(RE); }); });
    connect(RE, &PageEdit::characterTyped, this, [this](QChar typed) { guarded([&] { REKeyPress(RE, typed); }); });
    // The toolbar shows where the click left the caret.
    connect(RE, &PageEdit::leftReleased, this, [this] { guarded([this] { REClick(RE); }); });
}

void TForm1::REChange(QObject*)
{
    if (!m_toolbar.applying())
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
