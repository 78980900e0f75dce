#pragma once

#include <QLabel>
#include <QString>

namespace quillory {

// The numbers of the status bar (the caret's position, the page's line count) as the tick last
// wrote them, so that an idle tick compares and writes nothing: no text is built and no label
// touched unless a number changed or something else rewrote the label.
class StatusNumbers {
public:
    void showCaret(QLabel& label, int caret) { m_caret.show(label, caret); }
    // `count()` counts the lines; it runs only when the document's revision or the layout's
    // width (negative without wrapping) changed since the last count.
    template <typename Count> void showLines(QLabel& label, int revision, int width, Count count)
    {
        if (revision != m_revision || width != m_width) {
            m_revision = revision;
            m_width = width;
            m_lineCount = count();
        }
        m_lines.show(label, m_lineCount);
    }

private:
    struct Shown {
        int value = -1;
        QString text;

        void show(QLabel& label, int now)
        {
            if (now == value && label.text() == text)
                return;
            value = now;
            text = QString::number(now);
            label.setText(text);
        }
    };

    Shown m_caret;
    Shown m_lines;
    int m_revision = -1;
    int m_width = 0;
    int m_lineCount = 0;
};

} // namespace quillory
