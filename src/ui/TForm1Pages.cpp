#include "ui/TForm1.h"

#include "core/links/ShellResult.h"
#include "core/links/WebLinks.h"
#include "platform/Desktop.h"
#include "platform/QtText.h"
#include "ui/EventHook.h"

#include <QMouseEvent>
#include <QTextEdit>

// Pages from other programs: their hyperlinks open with a Ctrl+click.
namespace quillory {

void TForm1::connectPageHandlers()
{
    // Taken from the editor, so that the click neither moves the caret nor acts on the word it hit.
    EventHook::install(RE->viewport(), [this](QEvent* event) {
        if (event->type() != QEvent::MouseButtonPress)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !(mouse->modifiers() & Qt::ControlModifier))
            return false;
        const QString target = RE->anchorAt(mouse->position().toPoint());
        if (target.isEmpty())
            return false;
        guarded([&] { REAnchorClick(fromQ(target)); });
        return true;
    });
}

void TForm1::REAnchorClick(const std::u16string& target)
{
    // A web address goes to the URL opener; anything else is opened as a document, never run with
    // parameters: a page from elsewhere must not start programs.
    if (target.starts_with(u"https://") || links::IsWebAddress(target)) {
        openPageAddress(target);
        return;
    }
    const links::ShellResult result = m_desktop.shellOpen(target, {}, {});
    if (!links::Succeeded(result))
        ShowInfo(std::u16string(links::ShellErrorText(result)));
}

} // namespace quillory
