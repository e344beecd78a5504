#include "panes/orbits_picture.h"

#include "display/label_rows.h"
#include "ephemeris/julian_date.h"
#include "panes/label_box.h"

#include <QLineF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace orvanta {

using namespace approaches_colours;

namespace {

const QString PERIHELION = QStringLiteral("perihelion");
const QString CAPTION = QStringLiteral("Seen from above; dots: now");
// How far a year may go from beyond Mars to find room: steps outwards, in half lines, then as
// many sideways, a line each, on either side. No further: a year that far from its line could be
// read as another's, and is left to the list and the chart.
constexpr int OUTWARD_STEPS = 4;
constexpr int SIDEWAYS_STEPS = 1;

LabelBox boxAround(QPointF centre, double width, double height) {
    return {centre.x() - width / 2, centre.y() - height / 2, centre.x() + width / 2,
            centre.y() + height / 2};
}

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
        Qt::AlignLeft | Qt::AlignVCenter, CAPTION);
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

    painter.setBrush(APPROACH);
    painter.drawEllipse(at(o.marsPerihelion), 2.5, 2.5);
    painter.setPen(TEXT);
    const QPointF centre = perihelionCentre();
    painter.drawText(QRectF(centre.x() - 60, centre.y() - line / 2, 120, line), Qt::AlignCenter,
                     PERIHELION);
}

// On the inside of the orbit, towards the Sun.
QPointF OrbitsPicture::perihelionCentre() const {
    const QPointF perihelion = at(scene_.orbits.marsPerihelion);
    const QPointF inward = at({0, 0}) - perihelion;
    const QPointF towards = inward / std::hypot(inward.x(), inward.y());
    return perihelion + towards * (QFontMetricsF(font()).horizontalAdvance(PERIHELION) / 2 + 8);
}

// Each approach: the line from Earth to Mars at its instant, and its year beyond Mars where it
// finds room, the closest approaches' first.
void OrbitsPicture::paintApproaches(QPainter& painter) const {
    const OrbitsFromAbove& o = scene_.orbits;
    const double line = QFontMetricsF(font()).height();
    for (std::size_t i = 0; i < o.approaches.size(); ++i) {
        const auto index = static_cast<int>(i);
        const bool target = index == scene_.target;
        painter.setPen(target ? QPen(TARGET, 2.5)
                              : QPen(index == scene_.picked ? TEXT : QColor(150, 150, 175),
                                     index == scene_.picked ? 2 : 1));
        painter.drawLine(at(o.approaches[i].earth), at(o.approaches[i].mars));
    }
    const QFontMetricsF metrics(font());
    for (const auto& [i, centre] : yearPlaces()) {
        const QColor colour = static_cast<int>(i) == scene_.target ? TARGET : TEXT;
        // A year pushed aside from its line is joined to it, so that it is read as that line's.
        const double half = metrics.horizontalAdvance(yearOf(i)) / 2 + 1;
        const QPointF mars = at(o.approaches[i].mars);
        const QPointF nearest(std::clamp(mars.x(), centre.x() - half, centre.x() + half),
                              std::clamp(mars.y(), centre.y() - line / 2, centre.y() + line / 2));
        if (QLineF(mars, nearest).length() > 8) {
            painter.setPen(QPen(colour, 0.8, Qt::DotLine));
            painter.drawLine(mars, nearest);
        }
        painter.setPen(colour);
        painter.drawText(QRectF(centre.x() - 40, centre.y() - line / 2, 80, line), Qt::AlignCenter,
                         yearOf(i));
    }
}

QString OrbitsPicture::yearOf(std::size_t index) const {
    return QString::number(calendarOfJulianDate(scene_.chart.approaches[index].julianDate).year);
}

// Candidates near each year's line: beyond Mars along the Sun–Mars direction, stepping outwards,
// then sideways of those; clear of the caption, the perihelion's name, each other and the edges.
std::vector<std::pair<std::size_t, QPointF>> OrbitsPicture::yearPlaces() const {
    const OrbitsFromAbove& o = scene_.orbits;
    const QFontMetricsF metrics(font());
    const double line = metrics.height();
    const QPointF sun = at({0, 0});
    // The closest first, as on the chart: the pick moves no year.
    std::vector<double> distances;
    for (const ClosestApproach& a : scene_.chart.approaches) {
        distances.push_back(a.distanceAu);
    }
    std::vector<std::size_t> order;
    for (const int i : smallestFirst(distances)) {
        order.push_back(static_cast<std::size_t>(i));
    }
    std::vector<std::vector<QPointF>> centres;
    std::vector<std::vector<LabelBox>> candidates;
    for (const std::size_t i : order) {
        const double width = metrics.horizontalAdvance(yearOf(i)) + 2;
        const QPointF mars = at(o.approaches[i].mars);
        const QPointF out = (mars - sun) / std::hypot((mars - sun).x(), (mars - sun).y());
        const QPointF across(-out.y(), out.x());
        std::vector<QPointF> near;
        near.reserve(std::size_t{OUTWARD_STEPS} * (1 + 2 * SIDEWAYS_STEPS));
        for (int k = 0; k < OUTWARD_STEPS; ++k) {
            near.push_back(mars + out * (width / 2 + 6 + k * line / 2));
        }
        for (int side = 1; side <= SIDEWAYS_STEPS; ++side) {
            for (int k = 0; k < OUTWARD_STEPS; ++k) {
                for (const int sign : {1, -1}) {
                    near.push_back(near[static_cast<std::size_t>(k)] +
                                   across * (sign * side * line));
                }
            }
        }
        candidates.emplace_back();
        for (const QPointF& c : near) {
            candidates.back().push_back(boxAround(c, width, line));
        }
        centres.push_back(std::move(near));
    }
    std::vector<LabelBox> taken = {
        boxOf(QRectF(6, 4, metrics.horizontalAdvance(CAPTION), line)),
        boxAround(perihelionCentre(), metrics.horizontalAdvance(PERIHELION), line)};
    const LabelBox drawing = boxOf(QRectF(rect()));
    const std::vector<int> chosen = placeLabels(candidates, taken, [&](const LabelBox& b) {
        return b.left >= drawing.left && b.top >= drawing.top && b.right <= drawing.right &&
               b.bottom <= drawing.bottom;
    });
    std::vector<std::pair<std::size_t, QPointF>> places;
    for (std::size_t n = 0; n < order.size(); ++n) {
        if (chosen[n] >= 0) {
            places.emplace_back(order[n], centres[n][static_cast<std::size_t>(chosen[n])]);
        }
    }
    return places;
}

} // namespace orvanta
