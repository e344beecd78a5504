// The least a Qt Widgets program can do and still look like the info pane: eleven lines of text
// painted straight onto a 200x480 window once a second, and a tray icon. What the real widget
// costs at idle is measured against this (bench/resource_budget.sh); whatever it spends beyond
// it is its own work, not Qt's or the X server's.
//
// usage: minimal_widget   (with DISPLAY set)

#include <QApplication>
#include <QDateTime>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

namespace {

class TextWindow : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.setPen(Qt::white);
        const QString now = QDateTime::currentDateTime().toString(Qt::ISODate);
        // A fixed number beside the clock, as many lines as the info pane shows.
        for (int line = 0; line < 11; ++line) {
            const QString text = line % 2 == 0 ? now : QStringLiteral("34,648,025.67 mi.");
            painter.drawText(10, 30 + line * 40, text);
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TextWindow window;
    window.setWindowTitle(QStringLiteral("Minimal widget"));
    window.setFixedSize(200, 480);
    window.show();

    QPixmap iconPixels(16, 16);
    iconPixels.fill(Qt::darkRed);
    QSystemTrayIcon tray{QIcon(iconPixels)};
    tray.show();

    QTimer second;
    QObject::connect(&second, &QTimer::timeout, &window, [&window] { window.update(); });
    second.start(1000);
    return app.exec();
}
