#include "ui/form/TForm1.h"

#include "core/links/LinkTarget.h"
#include "core/links/ShellResult.h"
#include "core/links/WebLinks.h"
#include "platform/Desktop.h"
#include "platform/QtText.h"
#include "ui/editor/PageEdit.h"

#include <QDir>
#include <QUrl>
#include <QTextEdit>

#include <filesystem>

// Pages from other programs: their hyperlinks open with a Ctrl+click.
namespace quillory {

void TForm1::connectPageHandlers()
{
    // The editor neither moves the caret for such a click nor acts on the word it hit.
    connect(RE, &PageEdit::hyperlinkClicked, this,
            [this](const QString& target) { guarded([&] { REAnchorClick(fromQ(target)); }); });
}

void TForm1::REAnchorClick(const std::u16string& target)
{
    switch (links::ClassifyLink(target)) {
    case links::LinkKind::Web:
        openPageAddress(target);
        return;
    case links::LinkKind::File:
        openPageFile(target);
        return;
    case links::LinkKind::Other:
        ShowInfo(u"Quillory opens only web addresses and files of this computer, not:\n\n" + target);
        return;
    }
}

// A page may come from elsewhere (a shared or synced project), and a link of it to a launcher or
// script beside it must not start anything with one click: files open only when the user agrees,
// and what would run is only shown.
void TForm1::openPageFile(const std::u16string& target)
{
    namespace fs = std::filesystem;
    const QString text = toQ(target);
    fs::path path;
    if (text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        path = pathFromQ(QUrl(text).toLocalFile());
    else if (text.startsWith(QLatin1String("~/")))
        path = pathFromQ(QDir::homePath()) / pathFromQ(text.mid(2));
    else
        path = pathFromQ(text);
    if (path.empty())
        return;
    if (path.is_relative()) // a link written beside the project's pages
        path = fs::path(ProjectPath) / path;
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(path.lexically_normal(), ec);
    if (!ec)
        path = real;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status)) {
        ShowInfo(std::u16string(links::ShellErrorText(links::ShellResult::FileNotFound)));
        return;
    }
    const std::u16string named = path.u16string();
    if (m_desktop.confirm(u"This link opens a file of this computer:\n\n" + named + u"\n\nOpen it?", false) !=
        Answer::Yes)
        return;
    constexpr auto kExecutable = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    const bool executable = fs::is_regular_file(status) && (status.permissions() & kExecutable) != fs::perms::none;
    if (!fs::is_directory(status) && links::WouldRun(named, executable)) {
        m_desktop.showInFileManager(path);
        ShowInfo(u"This file is a program, or would start one, so Quillory shows it in its folder instead of "
                 u"opening it:\n\n" +
                 named);
        return;
    }
    const links::ShellResult result = m_desktop.shellOpen(named, {}, {});
    if (!links::Succeeded(result))
        ShowInfo(std::u16string(links::ShellErrorText(result)));
}

} // namespace quillory
