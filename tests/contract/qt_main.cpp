// Runs a test program on the Qt layer without a display: Qt's offscreen platform, and a private
// runtime folder for the single-instance marker.

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef ORVANTA_TEST_SCALE_FACTOR
    qputenv("QT_SCALE_FACTOR", ORVANTA_TEST_SCALE_FACTOR);
#endif
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
