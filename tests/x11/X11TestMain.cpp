#include <QGuiApplication>

#include <cstdio>

#include <gtest/gtest.h>

// These tests need a real X server (run_under_xvfb.sh gives them a private one).
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::puts("no X display: skipping");
        return 77;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
