// Shared main for the GoogleTest programs: a QApplication first, so that widgets, timers and
// sockets work inside the tests (the platform is offscreen unless a test sets a display).
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    // Widget tests draw offscreen unless a test asks for a real display (QT_QPA_PLATFORM=xcb).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
