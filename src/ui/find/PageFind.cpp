#include "ui/find/PageFind.h"

#include <QTextDocument>

#include <algorithm>

namespace quillory {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c.isMark();
}

} // namespace

std::vector<int> PageFind::matches(QStringView text, QStringView needle, FindOptions options)
{
    std::vector<int> found;
    if (needle.isEmpty())
        return found;
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = text.indexOf(needle, 0, cs); at >= 0; at = text.indexOf(needle, at + 1, cs)) {
        if (options.wholeWords) {
            const qsizetype end = at + needle.size();
            if ((at > 0 && isWordChar(text[at - 1])) || (end < text.size() && isWordChar(text[end])))
                continue;
        }
        found.push_back(static_cast<int>(at));
    }
    return found;
}

const std::vector<int>& PageFind::in(const QTextDocument& document, const QString& needle, FindOptions options)
{
    if (&document != m_document || document.revision() != m_revision || needle != m_needle || options != m_options) {
        m_document = &document;
        m_revision = document.revision();
        m_needle = needle;
        m_options = options;
        // The raw text has one character per cursor position, paragraph and frame marks included,
        // so a match's index is its position.
        m_matches = matches(document.toRawText(), needle, options);
    }
    return m_matches;
}

int PageFind::next(int position) const
{
    if (m_matches.empty())
        return -1;
    const auto at = std::lower_bound(m_matches.begin(), m_matches.end(), position);
    return at == m_matches.end() ? 0 : static_cast<int>(at - m_matches.begin());
}

int PageFind::previous(int position) const
{
    if (m_matches.empty())
        return -1;
    const auto at = std::lower_bound(m_matches.begin(), m_matches.end(), position);
    return at == m_matches.begin() ? static_cast<int>(m_matches.size()) - 1
                                   : static_cast<int>(at - m_matches.begin()) - 1;
}

} // namespace quillory
