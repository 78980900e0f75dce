#include "ui/editor/RichEdit.h"

#include <cstdint>
#include <random>
#include <string>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QTextDocument>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include "core/rtf/Rtf.h"

namespace {

using namespace quillory;

// A PNG of about 5 MB: noise does not compress, so its size is close to its pixels'.
std::string noisePng()
{
    QImage image(1322, 1322, QImage::Format_RGB888);
    std::mt19937 random(7);
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        for (qsizetype x = 0; x < image.bytesPerLine(); ++x)
            line[x] = static_cast<uchar>(random());
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return {png.constData(), static_cast<std::size_t>(png.size())};
}

// A page of a line of text, the picture as \pict\pngblip hex, and another line.
const std::string& picturePage()
{
    static const std::string rtf = [] {
        rtf::Document page;
        rtf::Picture picture;
        picture.kind = rtf::PictureKind::Png;
        picture.width = picture.height = 1322;
        picture.goalWidth = picture.goalHeight = 1322 * 15;
        picture.data = noisePng();
        page.pictures.push_back(std::move(picture));
        rtf::Paragraph first;
        first.runs.push_back(rtf::Run{u"A picture of noise:", {}});
        rtf::Paragraph second;
        second.runs.push_back(rtf::Run{std::u16string(1, rtf::kObjectChar), {}, 1, 0});
        second.runs.push_back(rtf::Run{u" and text after it.", {}});
        page.paragraphs = {first, second};
        return rtf::WriteRtf(page);
    }();
    return rtf;
}

void setCounters(benchmark::State& state)
{
    state.counters["rtf_MB"] = static_cast<double>(picturePage().size()) / (1 << 20);
}

void BM_PictureRead(benchmark::State& state)
{
    for (auto _ : state) {
        const rtf::Document page = rtf::ReadRtf(picturePage());
        if (page.pictures.size() != 1) {
            state.SkipWithError("the picture was not read");
            break;
        }
    }
    setCounters(state);
}
BENCHMARK(BM_PictureRead)->Unit(benchmark::kMillisecond);

// Opening the page: the read, the build of the editor's document and Qt's layout and paint of what
// shows.
void BM_PictureOpen(benchmark::State& state)
{
    QTextEdit editor;
    editor.resize(640, 480);
    editor.show();
    for (auto _ : state) {
        richedit::fromModel(*editor.document(), rtf::ReadRtf(picturePage()));
        editor.viewport()->repaint();
        QApplication::processEvents();
    }
    setCounters(state);
}
BENCHMARK(BM_PictureOpen)->Unit(benchmark::kMillisecond);

// Writing the page back: from the editor's document to RTF bytes.
void BM_PictureWrite(benchmark::State& state)
{
    QTextEdit editor;
    richedit::fromModel(*editor.document(), rtf::ReadRtf(picturePage()));
    for (auto _ : state) {
        const std::string rtf = rtf::WriteRtf(richedit::toModel(*editor.document()));
        if (rtf.size() < picturePage().size()) {
            state.SkipWithError("the picture was not written");
            break;
        }
        benchmark::DoNotOptimize(rtf.data());
    }
    setCounters(state);
}
BENCHMARK(BM_PictureWrite)->Unit(benchmark::kMillisecond);

} // namespace
