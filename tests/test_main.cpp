#include <QGuiApplication>
#include <gtest/gtest.h>

// Every test program needs a QGuiApplication for fonts and painting; the
// offscreen platform lets it run without a display.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
