#pragma once

#include <QString>
#include <QStringView>

#include <vector>

class QTextDocument;

namespace quillory {

struct FindOptions {
    bool matchCase = false;
    bool wholeWords = false;

    friend bool operator==(const FindOptions&, const FindOptions&) = default;
};

// Where a word occurs in a page's text: document positions of every match, found once per
// change of the text, the word or the options, so stepping through them costs nothing.
class PageFind {
public:
    // Every start of `needle` in `text`; a whole word has no letter, digit or "_" on either side.
    [[nodiscard]] static std::vector<int> matches(QStringView text, QStringView needle, FindOptions options);

    // The matches in `document`, its characters numbered as its cursor positions are.
    const std::vector<int>& in(const QTextDocument& document, const QString& needle, FindOptions options);

    // The match at or after `position` (wrapping to the first), or before it (wrapping to the
    // last) going back; -1 without matches. An index into the last `in`.
    [[nodiscard]] int next(int position) const;
    [[nodiscard]] int previous(int position) const;

private:
    const QTextDocument* m_document = nullptr;
    int m_revision = -1;
    QString m_needle;
    FindOptions m_options;
    std::vector<int> m_matches;
};

} // namespace quillory
