// The item commands over projects of 1,000 and 10,000 items of 2 KB, under Qt's offscreen platform:
// Add Item, Delete Item (into a trash folder) and a drag of the first entry onto the last one shown,
// each ending in FixIt(0). Beside them, in the same run, the file-system floor: a plain loop that
// sets the modification time of every item file of the same buffer.
#include "BenchProject.h"
#include "QtBenchMain.h"
#include "core/StuffUnit.h"
#include "core/store/OrderStamp.h"
#include "support/ScriptedDesktop.h"
#include "support/TempDir.h"
#include "ui/form/TForm1.h"

#include <QApplication>
#include <QListWidget>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <fstream>
#include <map>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using quillory::Answer;
using quillory::TForm1;
using quillory::test::ScriptedDesktop;
using quillory::test::TempDir;

// A home whose project holds `items` pages of about 2 KB, shown from its first item.
struct Home {
    TempDir dir;
    ScriptedDesktop desktop;
    std::unique_ptr<TForm1> form;

    explicit Home(int items)
    {
        const fs::path project = dir / "Bench.qlyp.dir";
        quillory::bench::writeStampedProject(project, items, quillory::bench::twoKilobytePage());
        quillory::bench::writeConfig(dir.path(), project, "Item 0");
        desktop.documents = dir / "Documents";
        desktop.autostart = dir / "autostart";
        desktop.trash = dir / "Trash";
        form = std::make_unique<TForm1>(desktop);
        form->Timer1->stop();
        form->ReminderCheck->stop();
        form->show();
        form->Timer1Timer();
    }
    [[nodiscard]] fs::path buffer() const { return dir / "Documents" / "Quillory" / "Buffer"; }
};

// One home per benchmark and item count: each command changes its project a little.
Home& home(const char* benchmark, int items)
{
    static std::map<std::pair<std::string, int>, std::unique_ptr<Home>> homes;
    if (homes.empty())
        quillory::bench::atShutdown([] { homes.clear(); });
    auto& h = homes[{benchmark, items}];
    if (!h)
        h = std::make_unique<Home>(items);
    return *h;
}

void BM_AddItem(benchmark::State& state)
{
    Home& h = home("add", static_cast<int>(state.range(0)));
    static int n = 0; // the benchmark runs more than once, on the same project
    for (auto _ : state) {
        h.desktop.expectPrompt(u"Added " + quillory::IntToText(n++));
        h.form->AddItem1Click(h.form.get());
    }
}

void BM_DeleteItem(benchmark::State& state)
{
    Home& h = home("delete", static_cast<int>(state.range(0)));
    for (auto _ : state) {
        h.desktop.expectConfirm(Answer::Yes);
        h.form->DeleteItem1Click(h.form.get());
    }
}

// The first entry onto the last one the list shows: every entry in between moves up by one.
void BM_Drag(benchmark::State& state)
{
    Home& h = home("drag", static_cast<int>(state.range(0)));
    QListWidget& list = *h.form->LB;
    const QPoint first = list.visualItemRect(list.item(0)).center();
    const QPoint last(first.x(), list.viewport()->height() - 2);
    if (list.indexAt(last).row() < 2)
        state.SkipWithError("the list shows too few entries");
    state.counters["moved"] = list.indexAt(last).row() + 1;
    for (auto _ : state) {
        h.form->LBMouseDown(Qt::LeftButton, first.x(), first.y());
        h.form->LBDragDrop(last.x(), last.y());
    }
}

// Sets the modification time of every buffer file, alternating between two times so that each
// call changes it.
void BM_StampFloor(benchmark::State& state)
{
    Home& h = home("drag", static_cast<int>(state.range(0)));
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(h.buffer()))
        files.push_back(entry.path().string());
    time_t when = quillory::store::OrderStampTime(0);
    for (auto _ : state) {
        when += 1;
        const timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
        for (const auto& f : files)
            ::utimensat(AT_FDCWD, f.c_str(), times, 0);
    }
    state.counters["files"] = static_cast<double>(files.size());
    // Leave the drag's home in its stamped order.
    h.form->FixIt(0);
}

// What every command ends with, on its own, with nothing to restamp; and the full rebuild it saves
// when the list already stands in the stamped order.
void BM_FixIt(benchmark::State& state)
{
    Home& h = home("drag", static_cast<int>(state.range(0)));
    for (auto _ : state)
        h.form->FixIt(0);
}

void BM_Reload(benchmark::State& state)
{
    Home& h = home("drag", static_cast<int>(state.range(0)));
    for (auto _ : state)
        h.form->Reload1Click();
}

BENCHMARK(BM_FixIt)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reload)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StampFloor)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddItem)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteItem)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Drag)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
