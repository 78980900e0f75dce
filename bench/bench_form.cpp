// The main window's hot paths over projects of 100, 1,000 and 10,000 items of 2 KB, under Qt's
// offscreen platform: start-up to a shown window, the item switch, the restamp and rebuild, Save
// Project, the idle housekeeping tick (with the heap allocations it makes), and the Ctrl+F4 copy
// of a 2 KB and a 1 MB page (the clipboard is in-process there).
#include "BenchProject.h"
#include "core/store/OrderStamp.h"
#include "support/ScriptedDesktop.h"
#include "support/TempDir.h"
#include "ui/form/TForm1.h"

#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QTextEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <new>

namespace {

std::atomic<long> g_allocations{0};

} // namespace

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

namespace fs = std::filesystem;
using quillory::TForm1;
using quillory::test::ScriptedDesktop;
using quillory::test::TempDir;

// The settings file of a home whose project is `project`, showing `item`.
// One home folder per item count, made once: a project of `items` pages of about 2 KB.
struct Home {
    TempDir dir;
    fs::path project;

    explicit Home(int items)
    {
        project = dir / "Bench.qlyp.dir";
        quillory::bench::writeStampedProject(project, items, quillory::bench::twoKilobytePage());
        quillory::bench::writeConfig(dir.path(), project, "Item 0");
    }
};

// One home per page size, made once: a one-item project whose page is `bytes` of plain text.
struct PageHome {
    TempDir dir;
    fs::path project;

    explicit PageHome(std::size_t bytes)
    {
        project = dir / "Page.qlyp.dir";
        fs::create_directories(project);
        std::string page;
        page.reserve(bytes + 100);
        for (int line = 1; page.size() < bytes; ++line)
            page += "Page line " + std::to_string(line) + ": prepared text to paste into another program.\n";
        page.resize(bytes);
        const fs::path file = project / "Page";
        std::ofstream(file, std::ios::binary) << page;
        fs::last_write_time(file, quillory::store::OrderStamp(0));
        quillory::bench::writeConfig(dir.path(), project, "Page");
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

PageHome& pageHome(std::size_t bytes)
{
    static std::map<std::size_t, std::unique_ptr<PageHome>> homes;
    auto& h = homes[bytes];
    if (!h)
        h = std::make_unique<PageHome>(bytes);
    return *h;
}

struct Window {
    ScriptedDesktop desktop;
    std::unique_ptr<TForm1> form;

    explicit Window(Home& h) : Window(h.dir.path()) {}
    explicit Window(PageHome& h) : Window(h.dir.path()) {}

    explicit Window(const fs::path& dir)
    {
        desktop.documents = dir / "Documents";
        desktop.autostart = dir / "autostart";
        form = std::make_unique<TForm1>(desktop);
        form->Timer1->stop();
        form->ReminderCheck->stop();
        form->show();
        form->Timer1Timer(); // the first tick's one-shot work
    }
};

void BM_StartUp(benchmark::State& state)
{
    Home& h = home(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Window w(h);
        benchmark::DoNotOptimize(w.form.get());
    }
}

void BM_ItemSwitch(benchmark::State& state)
{
    Window w(home(static_cast<int>(state.range(0))));
    int row = 0;
    for (auto _ : state) {
        row = 1 - row;
        w.form->LB->setCurrentRow(row); // runs LBClick
    }
}

void BM_FixItAndRebuild(benchmark::State& state)
{
    Window w(home(static_cast<int>(state.range(0))));
    for (auto _ : state)
        w.form->FixIt(0);
}

void BM_Reload(benchmark::State& state)
{
    Window w(home(static_cast<int>(state.range(0))));
    for (auto _ : state)
        w.form->Reload1Click();
}

void BM_SaveProject(benchmark::State& state)
{
    Window w(home(static_cast<int>(state.range(0))));
    for (auto _ : state)
        w.form->SaveProject1Click(w.form.get());
}

// One page typed into, then saved: the record lets Save pass over the unchanged pages by their
// stamps instead of comparing their bytes.
void BM_SaveProjectOnePageChanged(benchmark::State& state)
{
    Window w(home(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        state.PauseTiming();
        w.form->RE->moveCursor(QTextCursor::End);
        w.form->RE->insertPlainText(QStringLiteral("x"));
        state.ResumeTiming();
        w.form->SaveProject1Click(w.form.get());
    }
}

void BM_IdleTick(benchmark::State& state)
{
    Window w(home(100));
    for (int i = 0; i < 10; ++i)
        w.form->Timer1Timer();
    const long before = g_allocations.load();
    for (auto _ : state)
        w.form->Timer1Timer();
    state.counters["allocs/tick"] =
        benchmark::Counter(static_cast<double>(g_allocations.load() - before), benchmark::Counter::kAvgIterations);
}

// Ctrl+F4: select all, the page as RTF, HTML and text on the clipboard, the caret back, the balloon.
void BM_CopyPage(benchmark::State& state)
{
    const auto bytes = static_cast<std::size_t>(state.range(0));
    Window w(pageHome(bytes));
    if (w.form->RE->toPlainText().size() != static_cast<qsizetype>(bytes))
        state.SkipWithError("the page did not load whole");
    for (auto _ : state)
        w.form->HotkeyPressed(4);
    if (QApplication::clipboard()->text().size() != static_cast<qsizetype>(bytes))
        state.SkipWithError("the clipboard does not hold the page");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

BENCHMARK(BM_StartUp)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ItemSwitch)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FixItAndRebuild)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reload)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveProject)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveProjectOnePageChanged)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_IdleTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CopyPage)->Arg(2048)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

} // namespace
