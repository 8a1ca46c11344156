#include <QApplication>

#include <gtest/gtest.h>

// The plot-window tests need a QApplication; without a platform chosen they run offscreen,
// also while CTest lists them.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
