#include "panes/nights_chart_picture.h"

#include "display/label_rows.h"
#include "ephemeris/night.h"
#include "panes/approaches_picture.h"
#include "panes/picture_menu.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace orvanta {

using namespace approaches_colours;

namespace {

const QColor SMALL(105, 45, 35);  // Mars at its smallest in the span
const QColor LARGE(255, 175, 85); // and at its largest
const QColor MOONLIGHT(150, 165, 205);
const QColor HOURS(110, 215, 140);
const QColor NO_DARK(90, 95, 110);
const QColor FACING(255, 255, 255);
constexpr double BAND = 10; // the hours' band, pixels high
constexpr double LABEL_GAP = 6;

QColor mixed(const QColor& a, const QColor& b, double share) {
    const auto mix = [share](int x, int y) {
        return static_cast<int>(std::lround(x + (y - x) * share));
    };
    return {mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue())};
}

QColor withAlpha(QColor c, double alpha) {
    c.setAlphaF(static_cast<float>(std::clamp(alpha, 0.0, 1.0)));
    return c;
}

} // namespace

NightsChartPicture::NightsChartPicture(QWidget* parent) : QWidget(parent) {
    setMinimumSize(190, 140);
    setAccessibleName(QStringLiteral("The nights of the apparition"));
}

void NightsChartPicture::setScene(std::optional<NightsScene> scene, const QString& none) {
    scene_ = std::move(scene);
    none_ = none;
    update();
}

std::vector<NightsChartPicture::KeyEntry> NightsChartPicture::key() const {
    std::vector<KeyEntry> entries;
    if (!scene_) {
        return entries;
    }
    const NightsScene& s = *scene_;
    entries.push_back({QStringLiteral("Highest in a dark sky"), 4, 0, 0});
    entries.push_back(
        {QStringLiteral("Size %1″ to %2″").arg(s.smallest, 0, 'f', 1).arg(s.largest, 0, 'f', 1), 0,
         0, 0});
    entries.push_back({QStringLiteral("Moonlight"), 1, 0, 0});
    entries.push_back({QStringLiteral("Hours above %1° in the dark, up to %2 h")
                           .arg(WELL_UP, 0, 'f', 0)
                           .arg(s.mostHours, 0, 'f', 1),
                       2, 0, 0});
    if (!s.feature.empty()) {
        entries.push_back(
            {QString::fromStdString(s.feature) + QStringLiteral(" faces Earth"), 3, 0, 0});
    }
    const QFontMetricsF metrics(font());
    const double left = 6, right = width() - 6;
    double x = left;
    int line = 0;
    for (KeyEntry& e : entries) {
        const double wide = 28 + metrics.horizontalAdvance(e.text);
        if (x > left && x + wide > right) {
            x = left;
            ++line;
        }
        e.x = x;
        e.line = line;
        x += wide + 18;
    }
    return entries;
}

// The key's lines above, the band, the months and a line below, the degrees on the left.
QRectF NightsChartPicture::plot() const {
    const std::vector<KeyEntry> entries = key();
    const int lines = entries.empty() ? 0 : entries.back().line + 1;
    const double line = fontMetrics().height();
    return QRectF(rect()).adjusted(40, lines * (line + 2) + 10, -12, -(BAND + line + 14));
}

double NightsChartPicture::columnWidth() const {
    return scene_ && !scene_->nights.empty()
               ? plot().width() / static_cast<double>(scene_->nights.size())
               : 1.0;
}

double NightsChartPicture::yOf(double altitude) const {
    const QRectF p = plot();
    return p.bottom() - std::clamp(altitude, 0.0, 90.0) / 90 * p.height();
}

void NightsChartPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), BACKGROUND);
    painter.setPen(TEXT);
    if (!scene_ || scene_->nights.empty()) {
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, none_);
        return;
    }
    paintColumns(painter);
    paintAxes(painter);
    paintMonths(painter);
    paintKey(painter);
}

void NightsChartPicture::paintColumns(QPainter& painter) const {
    const NightsScene& s = *scene_;
    const QRectF p = plot();
    const double w = columnWidth();
    // Columns a pixel wide or less meet edge to edge; wider ones keep a hairline between them.
    const double bar = w > 3 ? w - 1 : w;
    for (std::size_t i = 0; i < s.nights.size(); ++i) {
        const ApparitionNight& night = s.nights[i];
        const double x = p.left() + static_cast<double>(i) * w;
        if (const double glare = moonGlare(night); glare > 0) {
            painter.fillRect(QRectF(x, p.top(), w, p.height()), withAlpha(MOONLIGHT, 0.45 * glare));
        }
        if (night.best) {
            const double top = yOf(night.best->altitude);
            painter.fillRect(QRectF(x, top, bar, p.bottom() - top),
                             mixed(SMALL, LARGE, sizeShare(s, night.diameter)));
            if (i < s.facing.size() && s.facing[i]) {
                painter.setPen(Qt::NoPen);
                painter.setBrush(FACING);
                painter.drawEllipse(QPointF(x + w / 2, top - 4), 1.8, 1.8);
            }
        } else {
            painter.fillRect(QRectF(x, p.bottom() - 3, bar, 3), NO_DARK);
        }
        const double hours = s.mostHours > 0 ? night.hoursWellPlaced() / s.mostHours : 0;
        painter.fillRect(QRectF(x, p.bottom() + 3, w, BAND), withAlpha(HOURS, hours));
    }
}

void NightsChartPicture::paintAxes(QPainter& painter) const {
    const QRectF p = plot();
    const QFontMetricsF metrics(font());
    for (const int degrees : {0, 30, 60, 90}) {
        const double y = yOf(degrees);
        painter.setPen(QPen(GRID, 1, degrees == 0 ? Qt::SolidLine : Qt::DotLine));
        painter.drawLine(QPointF(p.left(), y), QPointF(p.right(), y));
        painter.setPen(TEXT);
        painter.drawText(QRectF(0, y - metrics.height() / 2, p.left() - 6, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%1°").arg(degrees));
    }
    if (const auto& at = scene_->opposition) {
        const double x = p.left() + *at * columnWidth();
        if (x >= p.left() && x <= p.right()) {
            painter.setPen(QPen(TARGET, 1, Qt::DashLine));
            painter.drawLine(QPointF(x, p.top()), QPointF(x, p.bottom()));
            painter.setPen(TARGET);
            const QString text = QStringLiteral("opposition");
            const double width = metrics.horizontalAdvance(text);
            const double left = std::clamp(x + 4, p.left(), p.right() - width);
            painter.drawText(QPointF(left, p.top() + metrics.ascent() + 2), text);
        }
    }
}

// A tick at the 1st of each month, its name below where it has room: labelRows leaves out one
// that would touch the one before.
void NightsChartPicture::paintMonths(QPainter& painter) const {
    const NightsScene& s = *scene_;
    const QRectF p = plot();
    const QFontMetricsF metrics(font());
    std::vector<double> places;
    double width = 0;
    for (const MonthMark& m : s.months) {
        places.push_back(p.left() + m.at * columnWidth());
        width = std::max(width, metrics.horizontalAdvance(QString::fromStdString(m.text)));
    }
    const std::vector<int> rows = labelRows(places, width, LABEL_GAP, 1, {0});
    const double tickTop = p.bottom() + 3 + BAND;
    for (std::size_t i = 0; i < s.months.size(); ++i) {
        painter.setPen(GRID);
        painter.drawLine(QPointF(places[i], p.bottom()), QPointF(places[i], tickTop + 4));
        if (rows[i] < 0) {
            continue;
        }
        const QString text = QString::fromStdString(s.months[i].text);
        const double left =
            std::clamp(places[i] - metrics.horizontalAdvance(text) / 2, 0.0,
                       width > 0 ? rect().width() - metrics.horizontalAdvance(text) : 0.0);
        painter.setPen(TEXT);
        painter.drawText(QPointF(left, tickTop + 4 + metrics.ascent()), text);
    }
}

// What the bar, its colour, the shade, the band and the mark say.
void NightsChartPicture::paintKey(QPainter& painter) const {
    const QFontMetricsF metrics(font());
    const double line = metrics.height();
    for (const KeyEntry& e : key()) {
        const double y = 4 + e.line * (line + 2);
        const QRectF swatch(e.x, y + 2, 22, line - 4);
        if (e.kind == 0) {
            QLinearGradient sizes(swatch.topLeft(), swatch.topRight());
            sizes.setColorAt(0, SMALL);
            sizes.setColorAt(1, LARGE);
            painter.fillRect(swatch, sizes);
        } else if (e.kind == 4) {
            painter.fillRect(swatch.adjusted(8, -2, -8, 2), mixed(SMALL, LARGE, 0.6));
        } else if (e.kind == 3) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(FACING);
            painter.drawEllipse(swatch.center(), 2.5, 2.5);
        } else {
            painter.fillRect(swatch, e.kind == 1 ? withAlpha(MOONLIGHT, 0.45) : HOURS);
        }
        painter.setPen(TEXT);
        painter.drawText(QPointF(e.x + 28, y + metrics.ascent()), e.text);
    }
}

void NightsChartPicture::contextMenuEvent(QContextMenuEvent* e) {
    showPictureMenu(*this, *e);
}

} // namespace orvanta
