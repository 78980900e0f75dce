// The formatting toolbar and the owner-drawn lists, under Qt's offscreen platform: SetAttr on a
// 1 MB formatted page (it runs on every change of the editor), one typed character on that page
// until it is painted, filling FontBox with every installed family, and painting the item list
// at 100 and 10,000 items.
#include "BenchProject.h"
#include "core/rtf/Rtf.h"
#include "core/store/OrderStamp.h"
#include "support/ScriptedDesktop.h"
#include "support/TempDir.h"
#include "ui/form/TForm1.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QTextEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <fstream>
#include <map>
#include <memory>

namespace {

namespace fs = std::filesystem;
using namespace quillory;
using quillory::test::ScriptedDesktop;
using quillory::test::TempDir;

// About a million characters in short paragraphs, a format change every few words, bullets and
// centred lines, as a heavily formatted page has.
std::string megabytePage()
{
    rtf::Document page;
    std::size_t chars = 0;
    for (int p = 0; chars < 1'000'000; ++p) {
        rtf::Paragraph para;
        para.alignment = p % 7 == 0 ? rtf::Alignment::Centre : rtf::Alignment::Left;
        para.numbering = p % 5 == 0 ? rtf::Numbering::Bullet : rtf::Numbering::None;
        for (int r = 0; r < 6; ++r) {
            rtf::CharFormat f;
            f.bold = r % 2 == 1;
            f.italic = r == 3;
            f.colour = r == 4 ? 0x000000FFu : rtf::kAutomaticColour;
            f.pointSize = r == 5 ? 14 : 0;
            f.font = r == 2 ? u"DejaVu Serif" : u"";
            rtf::Run run{u"Some words of text, and more of them. ", f};
            chars += run.text.size();
            para.runs.push_back(std::move(run));
        }
        page.paragraphs.push_back(std::move(para));
    }
    return rtf::WriteRtf(page);
}

// A home whose project has `items` small pages, or, with `items` 0, the one 1 MB page.
struct Home {
    TempDir dir;

    explicit Home(int items)
    {
        const fs::path project = dir / "Bench.qlyp.dir";
        fs::create_directories(project);
        if (items == 0) {
            std::ofstream(project / "Page", std::ios::binary) << megabytePage();
            quillory::bench::writeConfig(dir.path(), project, "Page", true);
            return;
        }
        quillory::bench::writeStampedProject(project, items, "A page.", "Item number ", " with a name of some length");
        quillory::bench::writeConfig(dir.path(), project, "Item number 0 with a name of some length", true);
    }
};

Home& home(int items)
{
    static std::map<int, std::unique_ptr<Home>> homes;
    auto& h = homes[items];
    if (!h)
        h = std::make_unique<Home>(items);
    return *h;
}

struct Window {
    ScriptedDesktop desktop;
    std::unique_ptr<TForm1> form;

    explicit Window(Home& h)
    {
        desktop.documents = h.dir / "Documents";
        desktop.autostart = h.dir / "autostart";
        form = std::make_unique<TForm1>(desktop);
        form->Timer1->stop();
        form->ReminderCheck->stop();
        form->show();
        form->Timer1Timer();
        QApplication::processEvents();
    }
};

// Arg 0: the caret in the middle of the page; 1: the whole page selected.
void BM_SetAttr(benchmark::State& state)
{
    Window w(home(0));
    QTextCursor cursor(w.form->RE->document());
    if (state.range(0) == 1) {
        cursor.select(QTextCursor::Document);
    } else {
        cursor.setPosition(w.form->RE->document()->characterCount() / 2);
    }
    w.form->RE->setTextCursor(cursor);
    for (auto _ : state)
        w.form->SetAttr();
    state.counters["chars"] = w.form->RE->document()->characterCount();
}

// A key press in the middle of the page: the editor's insertion, its handlers (Edited, SetAttr)
// and the repaint of the editor.
void BM_TypeCharacter(benchmark::State& state)
{
    Window w(home(0));
    QTextEdit* editor = w.form->RE;
    editor->setFocus();
    QTextCursor cursor(editor->document());
    cursor.setPosition(editor->document()->characterCount() / 2);
    editor->setTextCursor(cursor);
    editor->ensureCursorVisible();
    QApplication::processEvents();
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(editor, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(editor, &release);
        editor->viewport()->repaint();
    }
}

void BM_FillFontBox(benchmark::State& state)
{
    Window w(home(100));
    for (auto _ : state) {
        w.form->FontBox->clear();
        w.form->fillFontBox();
    }
    state.counters["families"] = w.form->FontBox->count();
}

void BM_PaintItemList(benchmark::State& state)
{
    Window w(home(static_cast<int>(state.range(0))));
    w.form->LB->scrollToItem(w.form->LB->item(w.form->LB->count() / 2));
    for (auto _ : state)
        w.form->LB->viewport()->repaint();
}

BENCHMARK(BM_SetAttr)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeCharacter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillFontBox)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintItemList)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
