#include "panes/orbits_picture.h"

#include "display/label_rows.h"
#include "ephemeris/julian_date.h"

#include <QPainter>
#include <cmath>

namespace orvanta {

using namespace approaches_colours;

namespace {

constexpr int LABEL_ROWS = 3;

} // namespace

// Pixels to the au: Mars's aphelion, 1.67 au, with room for the rows of years beyond it.
double OrbitsPicture::scale() const {
    return (std::min(width(), height()) / 2.0 - 3.4 * fontMetrics().height()) / 1.67;
}

QPointF OrbitsPicture::at(const Point& p) const {
    return QPointF(width() / 2.0 + p.x * scale(), height() / 2.0 - p.y * scale());
}

QPointF OrbitsPicture::placeOf(int index) const {
    return at(scene_.orbits.approaches[static_cast<std::size_t>(index)].mars);
}

void OrbitsPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), BACKGROUND);
    const OrbitsFromAbove& o = scene_.orbits;
    if (o.marsOrbit.empty()) {
        return;
    }
    paintOrbits(painter);
    paintApproaches(painter);
    // Where the two are now.
    for (const auto& [now, colour] :
         {std::pair{o.earthNow, EARTH}, std::pair{o.marsNow, APPROACH}}) {
        painter.setPen(QPen(TEXT, 1));
        painter.setBrush(colour);
        painter.drawEllipse(at(now), 4.5, 4.5);
    }
    const QFontMetricsF metrics(font());
    painter.setPen(TEXT);
    painter.drawText(
        QRectF(6, 4, metrics.horizontalAdvance(QStringLiteral("0000")) * 8, metrics.height()),
        Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Seen from above; dots: now"));
    paintFocus(painter);
}

// The two orbits, the Sun, and the perihelion of Mars, named on the inside of the orbit.
void OrbitsPicture::paintOrbits(QPainter& painter) const {
    const OrbitsFromAbove& o = scene_.orbits;
    const QFontMetricsF metrics(font());
    const double line = metrics.height();
    const QPointF sun = at({0, 0});
    for (const auto& [orbit, colour] :
         {std::pair{&o.earthOrbit, EARTH}, std::pair{&o.marsOrbit, APPROACH}}) {
        QPolygonF path;
        for (const Point& q : *orbit) {
            path << at(q);
        }
        painter.setPen(QPen(colour.darker(140), 1.2));
        painter.drawPolyline(path);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 230, 120));
    painter.drawEllipse(sun, 5, 5);

    const QPointF perihelion = at(o.marsPerihelion);
    painter.setBrush(APPROACH);
    painter.drawEllipse(perihelion, 2.5, 2.5);
    const QPointF inward = sun - perihelion;
    const QPointF towards = inward / std::hypot(inward.x(), inward.y());
    painter.setPen(TEXT);
    const QString perihelionText = QStringLiteral("perihelion");
    const QPointF centre =
        perihelion + towards * (metrics.horizontalAdvance(perihelionText) / 2 + 8);
    painter.drawText(QRectF(centre.x() - 60, centre.y() - line / 2, 120, line), Qt::AlignCenter,
                     perihelionText);
}

// Each approach: the line from Earth to Mars at its instant, and its year beyond Mars, in rows
// outwards where years would overlap.
void OrbitsPicture::paintApproaches(QPainter& painter) const {
    const OrbitsFromAbove& o = scene_.orbits;
    const QFontMetricsF metrics(font());
    const double line = metrics.height();
    const QPointF sun = at({0, 0});
    std::vector<double> places;
    for (const OrbitsFromAbove::Approach& a : o.approaches) {
        places.push_back(std::atan2(a.mars.y, a.mars.x) * 1.52 * scale()); // along Mars's orbit
    }
    const double width = metrics.horizontalAdvance(QStringLiteral("0000"));
    const std::vector<int> rows = labelRows(places, width, 4, LABEL_ROWS, scene_.target);
    for (std::size_t i = 0; i < o.approaches.size(); ++i) {
        const auto index = static_cast<int>(i);
        const bool target = index == scene_.target;
        const QPointF earth = at(o.approaches[i].earth);
        const QPointF mars = at(o.approaches[i].mars);
        painter.setPen(target ? QPen(TARGET, 2.5)
                              : QPen(index == scene_.picked ? TEXT : QColor(150, 150, 175),
                                     index == scene_.picked ? 2 : 1));
        painter.drawLine(earth, mars);
        if (rows[i] < 0) {
            continue;
        }
        const QPointF out = mars - sun;
        const QPointF label =
            mars + out / std::hypot(out.x(), out.y()) * (width / 2 + 6 + rows[i] * line);
        painter.setPen(target ? TARGET : TEXT);
        painter.drawText(
            QRectF(label.x() - width, label.y() - line / 2, 2 * width, line), Qt::AlignCenter,
            QString::number(calendarOfJulianDate(scene_.chart.approaches[i].julianDate).year));
    }
}

} // namespace orvanta
