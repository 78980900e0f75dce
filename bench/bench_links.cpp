// Highlighting the web addresses of a 1 MB page that holds 1,000 of them: the finder alone, and
// Options | Highlight Web Links in the window under Qt's offscreen platform, with the repaint it
// causes (counted as paint events of the editor). For scale, the editor's own cost of laying the
// page out again after one format change that touches every paragraph.
#include "core/links/WebLinks.h"
#include "support/ScriptedDesktop.h"
#include "support/TempDir.h"
#include "ui/form/TForm1.h"

#include <QApplication>
#include <QEvent>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using quillory::TForm1;
using quillory::test::ScriptedDesktop;
using quillory::test::TempDir;

// 1,000 paragraphs of about 1,000 characters, each with one address somewhere in its words.
QString megabytePage()
{
    QString page;
    for (int p = 0; p < 1000; ++p) {
        QString paragraph;
        while (paragraph.size() < 1000) {
            if (paragraph.size() > 500 && !paragraph.contains(QLatin1String("www.")))
                paragraph += QStringLiteral("see www.example-%1.org/page?x=1 for more, ").arg(p);
            paragraph += QStringLiteral("Some prepared text to paste into another program. ");
        }
        page += paragraph + QLatin1Char('\n');
    }
    return page;
}

class PaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void BM_FindWebLinks(benchmark::State& state)
{
    const QString text = megabytePage();
    const std::u16string_view view(reinterpret_cast<const char16_t*>(text.utf16()),
                                   static_cast<std::size_t>(text.size()));
    std::size_t found = 0;
    for (auto _ : state)
        found = quillory::links::FindWebLinks(view).size();
    state.counters["addresses"] = static_cast<double>(found);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * text.size() * 2);
}
BENCHMARK(BM_FindWebLinks)->Unit(benchmark::kMillisecond);

// The window with the page loaded and laid out.
struct Window {
    TempDir home;
    ScriptedDesktop desktop;
    std::unique_ptr<TForm1> form;
    PaintCounter counter;

    Window()
    {
        desktop.documents = home.path() / "Documents";
        desktop.autostart = home.path() / "autostart";
        form = std::make_unique<TForm1>(desktop);
        form->Timer1->stop();
        form->ReminderCheck->stop();
        form->show();
        form->RE->setPlainText(megabytePage());
        form->RE->viewport()->installEventFilter(&counter);
        QApplication::processEvents();
    }
};

void BM_DisplayLinks(benchmark::State& state)
{
    Window w;
    auto& form = w.form;
    auto& counter = w.counter;

    int paints = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTextCursor all(form->RE->document());
        all.select(QTextCursor::Document);
        all.setCharFormat(QTextCharFormat());
        QApplication::processEvents();
        counter.paints = 0;
        state.ResumeTiming();

        form->HighlightWebLinkswww1Click(form.get());
        QApplication::processEvents(); // the repaint, and the layout it needs
        paints += counter.paints;
    }
    state.counters["repaints"] = benchmark::Counter(paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DisplayLinks)->Unit(benchmark::kMillisecond);

void BM_RelayoutAfterFormatChange(benchmark::State& state)
{
    Window w;
    QTextCharFormat touch;
    int round = 0;
    for (auto _ : state) {
        touch.setProperty(QTextFormat::UserProperty, ++round); // invisible, but every run changes
        QTextCursor all(w.form->RE->document());
        all.select(QTextCursor::Document);
        all.mergeCharFormat(touch);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_RelayoutAfterFormatChange)->Unit(benchmark::kMillisecond);

} // namespace
