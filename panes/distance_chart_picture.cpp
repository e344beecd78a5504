#include "panes/distance_chart_picture.h"

#include "display/label_rows.h"
#include "ephemeris/constants.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/time_scales.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace orvanta {

using namespace approaches_colours;

namespace {

constexpr int LABEL_ROWS = 3;
constexpr double LABEL_GAP = 8;

} // namespace

QRectF DistanceChartPicture::plot() const {
    const double line = fontMetrics().height();
    const double band = line + 10 + LABEL_ROWS * (3 * line + 4);
    return QRectF(rect()).adjusted(54, 2 * line, -70, -band);
}

double DistanceChartPicture::xOf(double jd) const {
    const QRectF p = plot();
    const DistanceChart& c = scene_.chart;
    return p.left() + (jd - c.fromJd) / (c.toJd - c.fromJd) * p.width();
}

double DistanceChartPicture::topAu() const {
    return scene_.topAu;
}

double DistanceChartPicture::yOf(double au) const {
    const QRectF p = plot();
    return p.bottom() - au / topAu() * p.height();
}

QPointF DistanceChartPicture::placeOf(int index) const {
    const ClosestApproach& a = scene_.chart.approaches[static_cast<std::size_t>(index)];
    return {xOf(a.julianDate), yOf(a.distanceAu)};
}

// The stroker joins the curve's thousand segments at a cost ten times that of all the rest of
// the chart, so the curve is drawn once for a span, a size and a pixel ratio, and kept.
const QImage& DistanceChartPicture::curveLayer(qreal ratio) const {
    const std::vector<DistanceSample>& samples = scene_.chart.curve;
    const CurveKey key = samples.empty() ? CurveKey{}
                                         : CurveKey{samples.size(),
                                                    samples.front().utJd,
                                                    samples.back().utJd,
                                                    samples.front().distanceAu,
                                                    samples.back().distanceAu,
                                                    topAu(),
                                                    size(),
                                                    ratio};
    if (!(key == curveKey_)) {
        curveKey_ = key;
        curveLayer_ = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
        curveLayer_.setDevicePixelRatio(ratio);
        curveLayer_.fill(Qt::transparent);
        QPainter painter(&curveLayer_);
        painter.setRenderHint(QPainter::Antialiasing);
        QPolygonF curve;
        for (const DistanceSample& s : samples) {
            curve << QPointF(xOf(s.utJd), yOf(s.distanceAu));
        }
        painter.setPen(QPen(CURVE, 1.5));
        painter.drawPolyline(curve);
    }
    return curveLayer_;
}

void DistanceChartPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), BACKGROUND);
    const DistanceChart& c = scene_.chart;
    if (c.curve.empty()) {
        return;
    }
    paintScales(painter);
    paintYears(painter);
    paintNowAndTarget(painter);
    painter.drawImage(QPointF(0, 0), curveLayer(painter.device()->devicePixelRatioF()));
    paintApproaches(painter);
    paintFocus(painter);
}

// The distance in au on the left, in million km on the right.
void DistanceChartPicture::paintScales(QPainter& painter) const {
    const QRectF p = plot();
    const double line = QFontMetricsF(font()).height();
    const double top = topAu();
    for (double au = 0; au <= top + 1e-9; au += 0.5) {
        painter.setPen(GRID);
        painter.drawLine(QPointF(p.left(), yOf(au)), QPointF(p.right(), yOf(au)));
        painter.setPen(TEXT);
        painter.drawText(QRectF(0, yOf(au) - line / 2, p.left() - 6, line),
                         Qt::AlignRight | Qt::AlignVCenter, fixedText(au, 1));
    }
    for (double mkm = 0; mkm <= top * KM_PER_AU / 1e6; mkm += 50) {
        const double y = yOf(mkm * 1e6 / KM_PER_AU);
        painter.setPen(GRID);
        painter.drawLine(QPointF(p.right(), y), QPointF(p.right() + 4, y));
        painter.setPen(TEXT);
        painter.drawText(QRectF(p.right() + 6, y - line / 2, 64, line), Qt::AlignVCenter,
                         QString::number(qRound(mkm)));
    }
    painter.drawText(QRectF(0, 0, p.left() + 60, line), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("au"));
    painter.drawText(QRectF(p.left(), 0, p.width() - 60, line), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Closest approaches below: Mkm, million km; %1, the apparent "
                                    "diameter of Mars")
                         .arg(QChar(0x2033)));
    painter.drawText(QRectF(p.right() - 120, 0, 186, line), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("million km"));
}

// A tick on each year, a label on as many as stay readable.
void DistanceChartPicture::paintYears(QPainter& painter) const {
    const DistanceChart& c = scene_.chart;
    const QRectF p = plot();
    const QFontMetricsF metrics(font());
    const double line = metrics.height();
    const int firstYear = calendarOfJulianDate(c.fromJd).year;
    const int lastYear = calendarOfJulianDate(c.toJd).year;
    const double perYear = p.width() / ((c.toJd - c.fromJd) / JULIAN_YEAR_DAYS);
    int every = 1;
    for (const int step : {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000}) {
        every = step;
        if (step * perYear >= metrics.horizontalAdvance(QStringLiteral("0000")) * 1.8) {
            break;
        }
    }
    for (int year = firstYear; year <= lastYear + 1; ++year) {
        const double x = xOf(julianDateOfYear(year));
        if (x < p.left() || x > p.right()) {
            continue;
        }
        const bool labelled = year % every == 0;
        painter.setPen(GRID);
        painter.drawLine(QPointF(x, p.bottom()), QPointF(x, p.bottom() + (labelled ? 6 : 3)));
        if (labelled) {
            painter.setPen(TEXT);
            painter.drawText(QRectF(x - 40, p.bottom() + 6, 80, line), Qt::AlignCenter,
                             QString::number(year));
        }
    }
}

// Now, and the approach counted to, across the whole height.
void DistanceChartPicture::paintNowAndTarget(QPainter& painter) const {
    const DistanceChart& c = scene_.chart;
    const QRectF p = plot();
    const double line = QFontMetricsF(font()).height();
    if (scene_.now >= c.fromJd && scene_.now <= c.toJd) {
        painter.setPen(QPen(NOW, 1, Qt::DashLine));
        painter.drawLine(QPointF(xOf(scene_.now), p.top()), QPointF(xOf(scene_.now), p.bottom()));
        painter.drawText(QRectF(xOf(scene_.now) - 40, p.top() - line, 80, line), Qt::AlignCenter,
                         QStringLiteral("now"));
    }
    if (scene_.target >= 0) {
        painter.setPen(QPen(TARGET, 2));
        const double x = placeOf(scene_.target).x();
        painter.drawLine(QPointF(x, p.top()), QPointF(x, p.bottom()));
    }
}

namespace {

// Where not every approach can be labelled, the closest of the span come first, whichever is
// picked or counted to: the great approaches keep their labels, and none moves when the pick does
// (the one counted to stands out by its colour, and every one tells its date under the pointer).
std::vector<int> labelPriorities(const ApproachesScene& scene) {
    std::vector<double> distances;
    for (const ClosestApproach& a : scene.chart.approaches) {
        distances.push_back(a.distanceAu);
    }
    return smallestFirst(distances);
}

} // namespace

const DistanceChartPicture::Labels& DistanceChartPicture::labels() const {
    const std::vector<ClosestApproach>& all = scene_.chart.approaches;
    const QString fontKey = font().key();
    if (labels_.count == all.size() && labels_.font == fontKey &&
        (all.empty() ||
         (labels_.first == all.front().julianDate && labels_.last == all.back().julianDate))) {
        return labels_;
    }
    const QFontMetricsF metrics(font());
    labels_ = Labels{all.size(),
                     all.empty() ? 0 : all.front().julianDate,
                     all.empty() ? 0 : all.back().julianDate,
                     fontKey,
                     {},
                     0};
    for (const ClosestApproach& a : all) {
        labels_.texts.push_back(
            {dayText(a.julianDate),
             fixedText(a.distanceAu * KM_PER_AU / 1e6, 1) + QStringLiteral(" Mkm"),
             fixedText(a.apparentDiameterArcsec, 1) + QChar(0x2033)});
        for (const QString& text : labels_.texts.back()) {
            labels_.width = std::max(labels_.width, metrics.horizontalAdvance(text));
        }
    }
    return labels_;
}

// Each minimum marked, and labelled below the years where the labels do not overlap; one without
// a label tells its date when the pointer rests on it.
void DistanceChartPicture::paintApproaches(QPainter& painter) const {
    const DistanceChart& c = scene_.chart;
    const QRectF p = plot();
    const QFontMetricsF metrics(font());
    const double line = metrics.height();
    const Labels& made = labels();
    const std::vector<QStringList>& texts = made.texts;
    const double width = made.width;
    std::vector<double> places;
    for (const ClosestApproach& a : c.approaches) {
        places.push_back(xOf(a.julianDate));
    }
    const std::vector<int> rows =
        labelRows(places, width, LABEL_GAP, LABEL_ROWS, labelPriorities(scene_));
    for (std::size_t i = 0; i < c.approaches.size(); ++i) {
        const auto index = static_cast<int>(i);
        const QPointF at = placeOf(index);
        const bool target = index == scene_.target;
        painter.setPen(Qt::NoPen);
        painter.setBrush(target ? TARGET : APPROACH);
        painter.drawEllipse(at, target ? 5 : 3.5, target ? 5 : 3.5);
        if (index == scene_.picked) {
            painter.setPen(QPen(TEXT, 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(at, 9, 9);
        }
        if (rows[i] < 0) {
            continue;
        }
        painter.setPen(target ? TARGET : TEXT);
        const double labelTop = p.bottom() + line + 10 + rows[i] * (3 * line + 4);
        painter.drawLine(QPointF(at.x(), labelTop - 3), QPointF(at.x(), labelTop));
        for (int k = 0; k < 3; ++k) {
            painter.drawText(QRectF(at.x() - width / 2 - 4, labelTop + k * line, width + 8, line),
                             Qt::AlignCenter, texts[i][k]);
        }
    }
}

bool DistanceChartPicture::event(QEvent* e) {
    if (e->type() != QEvent::ToolTip) {
        return ApproachesPicture::event(e);
    }
    const QPoint at = static_cast<QHelpEvent*>(e)->pos();
    const std::vector<ClosestApproach>& all = scene_.chart.approaches;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (QLineF(placeOf(static_cast<int>(i)), at).length() <= 8) {
            QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(),
                               QStringLiteral("%1: %2 million km, %3%4")
                                   .arg(dayText(all[i].julianDate),
                                        fixedText(all[i].distanceAu * KM_PER_AU / 1e6, 1),
                                        fixedText(all[i].apparentDiameterArcsec, 1), QChar(0x2033)),
                               this);
            return true;
        }
    }
    QToolTip::hideText();
    e->ignore();
    return true;
}

} // namespace orvanta
