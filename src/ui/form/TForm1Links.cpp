#include "ui/form/TForm1.h"

#include "ui/form/PageSession.h"

#include "core/links/RunTarget.h"
#include "core/links/WebLinks.h"
#include "platform/Desktop.h"
#include "platform/QtText.h"
#include "ui/editor/PageEdit.h"
#include "ui/form/HelpTexts.h"
#include "ui/editor/RichEdit.h"
#include "ui/form/ScopedFlag.h"
#include "ui/access/Contrast.h"

#include <QAction>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <string_view>

namespace quillory {

namespace {

constexpr rtf::Colour kLinkColour = 0xFF0000; // blue, as 0x00BBGGRR

std::u16string_view view(const QString& text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// The project's web page when the build names one, else the README installed with the program,
// found relative to the program's folder (src/CMakeLists.txt places both, in the build tree too).
std::u16string homePage(const std::filesystem::path& program)
{
    constexpr const char16_t* website = u"" QUILLORY_WEBSITE; // empty unless the build names one
    if (website[0] != u'\0')
        return website;
    return (program.parent_path() / QUILLORY_HOME_PAGE).lexically_normal().u16string();
}

} // namespace

void TForm1::connectLinkHandlers()
{
    connect(HighlightWebLinkswww1, &QAction::triggered, this,
            [this] { guarded([this] { HighlightWebLinkswww1Click(HighlightWebLinkswww1); }); });
    connect(Website1, &QAction::triggered, this, [this] { guarded([this] { Website1Click(Website1); }); });
    // The editor has put the caret where it was clicked; a click on a hyperlink comes as
    // PageEdit::hyperlinkClicked instead (TForm1PageLinks.cpp).
    connect(RE, &PageEdit::ctrlPressed, this,
            [this](Qt::KeyboardModifiers shift) { guarded([this, shift] { REMouseDown(shift); }); });
}

void TForm1::HighlightWebLinkswww1Click(QObject* Sender)
{
    if (helpBranch(Sender, {}, help::kHighlightWebLinks))
        return;
    DisplayLinks();
}

void TForm1::DisplayLinks()
{
    QTextDocument* page = RE->document();
    // Raw text keeps one character per document position: paragraph ends are U+2029.
    const QString text = page->toRawText();
    const std::vector<links::Span> found = links::FindWebLinks(view(text));
    if (found.empty())
        return;

    QTextCharFormat mark;
    // Blue, lightened where the page's background is dark enough to swallow it.
    mark.setForeground(
        readableOn(richedit::colourToQ(kLinkColour), RE->palette().color(QPalette::Base), kTextContrast));
    mark.setFontUnderline(true);
    mark.setFontWeight(QFont::Normal);
    mark.setFontItalic(false);
    mark.setFontStrikeOut(false);

    const int caret = RE->textCursor().selectionStart();
    // The marks are the program's, not the user's edits, yet they change the page, which is
    // written back with them.
    const ScopedFlag byProgram = m_page->programChange();
    RE->viewport()->setUpdatesEnabled(false);
    QTextCursor cursor(page);
    cursor.beginEditBlock();
    for (const links::Span& link : found) {
        cursor.setPosition(static_cast<int>(link.begin));
        cursor.setPosition(static_cast<int>(link.end), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(mark);
    }
    cursor.endEditBlock();
    cursor.setPosition(caret);
    RE->setTextCursor(cursor);
    RE->viewport()->setUpdatesEnabled(true);
}

void TForm1::REMouseDown(Qt::KeyboardModifiers Shift)
{
    if (!Shift.testFlag(Qt::ControlModifier) || RE->document()->isEmpty())
        return;
    // A word never crosses a paragraph end, so its paragraph is all the text needed.
    const int caret = RE->textCursor().selectionStart();
    const QTextBlock block = RE->document()->findBlock(caret);
    const QString text = block.text();
    const links::Span word = links::WordAt(view(text), static_cast<std::size_t>(caret - block.position()));
    const std::u16string_view address = view(text).substr(word.begin, word.end - word.begin);
    if (links::IsWebAddress(address))
        openPageAddress(std::u16string(address));
}

bool TForm1::openPageAddress(const std::u16string& address)
{
    const links::ShellResult result = m_desktop.openAddress(address);
    if (links::Succeeded(result))
        return true;
    ShowInfo(std::u16string(links::ShellErrorText(result)));
    return false;
}

bool TForm1::RunFile(const std::u16string& target)
{
    const links::RunTarget run = links::SplitRunTarget(target);
    const links::ShellResult result = m_desktop.shellOpen(run.file, run.parameters, run.folder);
    if (links::Succeeded(result))
        return true;
    ShowInfo(std::u16string(links::ShellErrorText(result)));
    return false;
}

void TForm1::Website1Click(QObject* Sender)
{
    if (helpBranch(Sender, {}, help::kWebsite))
        return;
    RunFile(homePage(m_desktop.programPath()));
}

} // namespace quillory
