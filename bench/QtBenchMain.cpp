#include "QtBenchMain.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <vector>

namespace quillory::bench {

namespace {

std::vector<std::function<void()>>& releases()
{
    static std::vector<std::function<void()>> list;
    return list;
}

} // namespace

void atShutdown(std::function<void()> release)
{
    releases().push_back(std::move(release));
}

} // namespace quillory::bench

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory"));
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& release : quillory::bench::releases())
        release();
    return 0;
}
