#include "ui/form/PageSession.h"

#include <QTextDocument>
#include <QTextEdit>

#include "ui/editor/RichEdit.h"

namespace quillory {

std::error_code PageSession::show(const std::filesystem::path& file)
{
    {
        const ScopedFlag loading(m_loading);
        if (const std::error_code ec = richedit::loadPage(m_editor, file))
            return ec;
    }
    m_loaded = true;
    m_editor.document()->setModified(false);
    m_editor.setReadOnly(false);
    return {};
}

void PageSession::showEmpty()
{
    clearAs(true);
}

void PageSession::showNone()
{
    clearAs(false);
}

void PageSession::clearAs(bool loaded)
{
    {
        const ScopedFlag loading(m_loading);
        m_editor.clear();
    }
    m_loaded = loaded;
    m_editor.document()->setModified(false);
    m_editor.setReadOnly(!loaded);
}

bool PageSession::changed() const
{
    return m_loaded && m_editor.document()->isModified();
}

std::error_code PageSession::writeIfChanged(const std::filesystem::path& file, store::Flush flush)
{
    if (!m_loaded)
        return {};
    std::error_code missing;
    if (!changed() && std::filesystem::is_regular_file(file, missing))
        return {};
    if (const std::error_code ec = richedit::savePage(m_editor, file, flush))
        return ec;
    m_editor.document()->setModified(false);
    return {};
}

} // namespace quillory
