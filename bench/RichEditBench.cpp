#include "ui/editor/RichEdit.h"

#include <string>

#include <QApplication>
#include <QTextDocument>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include "core/rtf/Rtf.h"

namespace {

using namespace quillory;

// About a million characters (1.35 MB as RTF) in short paragraphs with a format change every few
// words, as a heavily formatted page has.
rtf::Document megabytePage()
{
    rtf::Document page;
    std::size_t bytes = 0;
    for (int p = 0; bytes < 1'000'000; ++p) {
        rtf::Paragraph para;
        para.alignment = p % 7 == 0 ? rtf::Alignment::Centre : rtf::Alignment::Left;
        para.numbering = p % 5 == 0 ? rtf::Numbering::Bullet : rtf::Numbering::None;
        for (int r = 0; r < 6; ++r) {
            rtf::CharFormat f;
            f.bold = r % 2 == 1;
            f.italic = r == 3;
            f.colour = r == 4 ? 0x000000FFu : rtf::kAutomaticColour;
            f.pointSize = r == 5 ? 14 : 0;
            rtf::Run run{u"Some words of text, café \u20AC, and more of them. ", f};
            bytes += run.text.size() + 1; // as RTF: roughly a byte a character plus markup
            para.runs.push_back(std::move(run));
        }
        page.paragraphs.push_back(std::move(para));
    }
    return page;
}

void BM_FromModel(benchmark::State& state)
{
    const rtf::Document page = megabytePage();
    QTextDocument doc;
    for (auto _ : state)
        richedit::fromModel(doc, page);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * doc.characterCount());
}
BENCHMARK(BM_FromModel)->Unit(benchmark::kMillisecond);

void BM_ToModel(benchmark::State& state)
{
    QTextDocument doc;
    richedit::fromModel(doc, megabytePage());
    for (auto _ : state)
        benchmark::DoNotOptimize(richedit::toModel(doc));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * doc.characterCount());
}
BENCHMARK(BM_ToModel)->Unit(benchmark::kMillisecond);

// The editor's part of opening a page: the read, the document build and Qt's first layout of what
// shows on the screen.
void BM_LoadIntoEditor(benchmark::State& state)
{
    const std::string rtf = rtf::WriteRtf(megabytePage());
    QTextEdit editor;
    editor.resize(640, 480);
    editor.show();
    for (auto _ : state) {
        richedit::fromModel(*editor.document(), rtf::ReadRtf(rtf));
        QApplication::processEvents();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
    state.counters["rtf_bytes"] = static_cast<double>(rtf.size());
}
BENCHMARK(BM_LoadIntoEditor)->Unit(benchmark::kMillisecond);

// The build alone into an editor's document: its layout must be left to run lazily.
void BM_FromModelIntoEditor(benchmark::State& state)
{
    const rtf::Document page = megabytePage();
    QTextEdit editor;
    editor.resize(640, 480);
    editor.show();
    for (auto _ : state)
        richedit::fromModel(*editor.document(), page);
}
BENCHMARK(BM_FromModelIntoEditor)->Unit(benchmark::kMillisecond);

// 84 KB of RTF: a row of 6,000 cells over 3,000 rows of one, which once made the editor build 18
// million cells. Read, built and laid out in an editor on the screen.
void BM_TableBombIntoEditor(benchmark::State& state)
{
    std::string rtf = "{\\rtf1\\ansi \\trowd\\intbl ";
    for (int c = 0; c < 6000; ++c)
        rtf += "\\cell ";
    rtf += "\\row\n";
    for (int r = 0; r < 3000; ++r)
        rtf += "\\intbl\\cell\\row\n";
    rtf += "}";
    QTextEdit editor;
    editor.resize(640, 480);
    editor.show();
    for (auto _ : state) {
        richedit::fromModel(*editor.document(), rtf::ReadRtf(rtf));
        benchmark::DoNotOptimize(editor.document()->size());
        QApplication::processEvents();
    }
    state.counters["rtf_bytes"] = static_cast<double>(rtf.size());
}
BENCHMARK(BM_TableBombIntoEditor)->Unit(benchmark::kMillisecond);

void BM_SaveFromEditor(benchmark::State& state)
{
    QTextEdit editor;
    richedit::fromModel(*editor.document(), megabytePage());
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string rtf = rtf::WriteRtf(richedit::toModel(*editor.document()));
        bytes += rtf.size();
        benchmark::DoNotOptimize(rtf.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_SaveFromEditor)->Unit(benchmark::kMillisecond);

} // namespace
