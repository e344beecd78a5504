// Runs a test program on the Qt layer without a display: Qt's offscreen platform, and a private
// runtime folder for the single-instance marker.

#include "tests/support.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

QImage windowPicture(WindowHandle window) {
    QTemporaryDir dir;
    const QString file = dir.filePath("window.png");
    if (!saveWindowPicture(window, file.toLocal8Bit().constData())) {
        return {};
    }
    return QImage(file).convertToFormat(QImage::Format_RGB32);
}

int main(int argc, char** argv) {
#ifdef ORVANTA_TEST_PLATFORM
    qputenv("QT_QPA_PLATFORM", ORVANTA_TEST_PLATFORM);
#else
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
