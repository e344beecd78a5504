#include "app/about_box.h"

#include "app/main_window.h"

#include <QLabel>
#include <QPushButton>

namespace orvanta {

AboutBox::AboutBox(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Orvanta Countdown"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::WindowModal);
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    // Laid out in units of its font: a quarter of the average character width, an eighth of the
    // line height of its font.
    const QFontMetrics metrics(small);
    const double unitX = metrics.averageCharWidth() / 4.0;
    const double unitY = metrics.height() / 8.0;
    auto place = [&](int x, int y, int w, int h) {
        return QRect(qRound(x * unitX), qRound(y * unitY), qRound(w * unitX), qRound(h * unitY));
    };
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    ok->setGeometry(place(72, 60, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    struct Text {
        int x, y, width;
        const char* text;
    };
    for (const Text& t :
         {Text{33, 9, 69, "Orvanta 2003"}, Text{33, 18, 36, "Version 1.0"},
          Text{33, 27, 104, "By the Orvanta developers"},
          Text{33, 36, 148, "Free software, without warranty"}, Text{33, 45, 66, "No web site"}}) {
        auto* label = new QLabel(QString::fromUtf8(t.text), this);
        const QRect r = place(t.x, t.y, t.width, 8);
        label->setGeometry(r.adjusted(0, 0, r.width(), 0)); // room for wider fonts
    }
    auto* icon = new QLabel(this);
    const QRect iconPlace = place(7, 7, 20, 20);
    const int side = qMax(iconPlace.width(), iconPlace.height());
    icon->setPixmap(programIcon().pixmap(side, side));
    icon->setGeometry(QRect(iconPlace.topLeft(), QSize(side, side)));

    const QSize size = place(0, 0, 193, 81).size();
    setFixedSize(size);
    const QRect area = workArea();
    move((2 * area.left() + area.width() - size.width()) / 2,
         (2 * area.top() + area.height() - size.height()) / 2);
}

} // namespace orvanta
