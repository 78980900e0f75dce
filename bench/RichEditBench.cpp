#include "ui/RichEdit.h"

#include <string>

#include <QGuiApplication>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

using namespace quillory;

// About a megabyte of text (half a million UTF-16 units of which some are wide) in short paragraphs
// with a format change every few words, as a heavily formatted page has.
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

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
