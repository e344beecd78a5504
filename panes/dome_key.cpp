#include "panes/dome_key.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

namespace orvanta {

void drawDomeKey(QPainter& painter, const QRectF& area, const QFont& font, const QColor& text) {
    constexpr double MARGIN = 4, SAMPLE = 14, GAP = 4;
    painter.save();
    QFont small = font;
    small.setPointSizeF(font.pointSizeF() * 0.85);
    painter.setFont(small);
    const QFontMetricsF metrics(small);
    const double line = metrics.height();
    // One entry: a stretch of the mark drawn, then its words, from `left` on the row `row`.
    const auto entry = [&](double left, int row, const QPen& pen, const QString& words) {
        const double y = area.top() + MARGIN + row * line + line / 2;
        painter.setPen(pen);
        painter.drawLine(QPointF(left, y), QPointF(left + SAMPLE, y));
        painter.setPen(text);
        painter.drawText(QRectF(left + SAMPLE + GAP, y - line / 2, area.width(), line),
                         Qt::AlignLeft | Qt::AlignVCenter, words);
    };
    const double left = area.left() + MARGIN;
    entry(left, 0, QPen(TRACK_DARK, 3), QStringLiteral("Mars, dark sky"));
    entry(left, 1, QPen(TRACK_DIM, 2), QStringLiteral("twilight, day"));
    const QString ecliptic = QStringLiteral("ecliptic");
    const QString rings = QStringLiteral("rings 30°, 60° up");
    const double right =
        area.right() - MARGIN - SAMPLE - GAP -
        std::max(metrics.horizontalAdvance(ecliptic), metrics.horizontalAdvance(rings));
    entry(right, 0, QPen(ECLIPTIC, 1, Qt::DashLine), ecliptic);
    painter.setPen(text);
    painter.drawText(QRectF(right, area.top() + MARGIN + line, area.width(), line),
                     Qt::AlignLeft | Qt::AlignVCenter, rings);
    painter.restore();
}

} // namespace orvanta
