// Find in the page shown on a 1 MB page: the first look for a word (the page's text scanned once)
// and each find-next after it (the caret moved, the highlights set around it).
#include "ui/find/FindBar.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace quillory;

// About 1 MB of prose in paragraphs, "harbour" in one of every twenty lines.
QString megabytePage()
{
    QString text;
    text.reserve(1 << 20);
    for (int line = 0; text.size() < (1 << 20); ++line) {
        text += QStringLiteral("The notebook keeps a page of text for the meeting about the project");
        if (line % 20 == 0)
            text += QStringLiteral(" in the harbour");
        text += QStringLiteral(".\n");
    }
    return text;
}

void BM_FindFirstOnAMegabytePage(benchmark::State& state)
{
    QTextEdit editor;
    editor.setPlainText(megabytePage());
    FindBar bar(editor);
    for (auto _ : state) {
        bar.FindText->setText(QString());
        bar.FindText->setText(QStringLiteral("harbour")); // scans the page, selects the first
    }
}
BENCHMARK(BM_FindFirstOnAMegabytePage)->Unit(benchmark::kMillisecond);

void BM_FindNextOnAMegabytePage(benchmark::State& state)
{
    QTextEdit editor;
    editor.setPlainText(megabytePage());
    FindBar bar(editor);
    bar.FindText->setText(QStringLiteral("harbour"));
    for (auto _ : state)
        bar.findNext();
}
BENCHMARK(BM_FindNextOnAMegabytePage)->Unit(benchmark::kMillisecond);

} // namespace
