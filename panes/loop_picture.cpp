#include "panes/loop_picture.h"

#include "display/number_text.h"
#include "ephemeris/star_names.h"
#include "panes/approaches_picture.h"
#include "panes/label_box.h"
#include "panes/picture_menu.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

using namespace approaches_colours;

const QColor FIGURE(60, 90, 150);
const QColor ECLIPTIC(150, 130, 60);
const QColor CONSTELLATION(120, 135, 185);
const QColor STOP(255, 255, 255);
const QColor STAR_NAME(165, 175, 205);

// A day's mark grows with Mars's brightness: 1.6 px at magnitude +1, 5 px at -2.8.
double markRadius(double magnitude) {
    return std::clamp(2.5 - 0.9 * magnitude, 1.5, 5.5);
}

// The scale bar: the longest of these that takes at most a fifth of the width.
double scaleDegrees(double widthDegrees) {
    double best = 1;
    for (const double d : {1.0, 2.0, 5.0, 10.0, 20.0}) {
        if (d <= widthDegrees / 5) {
            best = d;
        }
    }
    return best;
}

} // namespace

LoopPicture::LoopPicture(QWidget* parent) : QWidget(parent) {
    setMinimumSize(330, 310);
    setFocusPolicy(Qt::StrongFocus);
    givePictureKeys(*this);
    setAccessibleName(QStringLiteral("Mars's loop among the stars"));
}

void LoopPicture::setScene(std::optional<LoopScene> scene, const QString& none) {
    scene_ = std::move(scene);
    none_ = none;
    setAccessibleDescription(
        scene_ ? QString::fromStdString(loopWords(scene_->loop) + alongWords(*scene_)) : none);
    update();
}

void LoopPicture::setSouthUp(bool southUp) {
    if (scene_) {
        scene_->southUp = southUp;
        update();
    }
}

// Turned half a turn about the frame's middle for the southern view.
QPointF LoopPicture::toPixel(const ChartPoint& p) const {
    const QPointF north(plot_.left() + (p.x - frame_.left) * scale_,
                        plot_.top() + (frame_.top - p.y) * scale_);
    return scene_ && scene_->southUp ? plot_.topLeft() + plot_.bottomRight() - north : north;
}

ChartPoint LoopPicture::toChart(const QPointF& pixel) const {
    const QPointF p =
        scene_ && scene_->southUp ? plot_.topLeft() + plot_.bottomRight() - pixel : pixel;
    return {frame_.left + (p.x() - plot_.left()) / scale_,
            frame_.top - (p.y() - plot_.top()) / scale_};
}

std::optional<QPointF> LoopPicture::pixelOf(const Equatorial& place) const {
    const std::optional<ChartPoint> p = frame_.project(place);
    return p ? std::optional<QPointF>(toPixel(*p)) : std::nullopt;
}

QPointF LoopPicture::onPath(const Equatorial& place) const {
    return toPixel(frame_.project(place).value());
}

void LoopPicture::paintSky(QPainter& painter) {
    const ChartPlaces& sky = scene_->sky;
    QVector<QLineF> lines;
    for (std::size_t i = 0; i + 1 < sky.figureEnds.size(); i += 2) {
        const auto a = pixelOf(sky.figureEnds[i]), b = pixelOf(sky.figureEnds[i + 1]);
        if (a && b) {
            lines << QLineF(*a, *b);
        }
    }
    painter.setPen(QPen(FIGURE, 1));
    painter.drawLines(lines);
    painter.setPen(QPen(ECLIPTIC, 1, Qt::DashLine));
    QPolygonF run;
    for (const Equatorial& point : sky.ecliptic) {
        if (const auto p = pixelOf(point)) {
            run << *p;
        } else {
            painter.drawPolyline(run);
            run.clear();
        }
    }
    painter.drawPolyline(run);
    const std::vector<Star>& table = stars();
    for (std::size_t i = 0; i < sky.stars.size(); ++i) {
        if (const auto p = pixelOf(sky.stars[i]); p && plot_.contains(*p)) {
            stars_.draw(painter, *p, table[i].magnitude);
        }
    }
}

std::vector<QRectF> LoopPicture::paintPath(QPainter& painter) const {
    const MarsLoop& loop = scene_->loop;
    QPolygonF path;
    std::vector<QRectF> taken;
    for (const LoopDay& day : loop.days) {
        path << onPath(day.place);
    }
    painter.setPen(QPen(CURVE, 1.2));
    painter.drawPolyline(path);
    painter.setPen(Qt::NoPen);
    painter.setBrush(CURVE);
    for (std::size_t i = 0; i < loop.days.size(); ++i) {
        const double r = markRadius(loop.days[i].magnitude);
        painter.drawEllipse(path[static_cast<int>(i)], r, r);
        taken.emplace_back(path[static_cast<int>(i)] - QPointF(r, r), QSizeF(2 * r, 2 * r));
    }
    // The stops as rings, the opposition and the closest approach as discs of their own colour.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(STOP, 1.5));
    for (const LoopMark& stop : loop.stops) {
        painter.drawEllipse(onPath(stop.place), 7, 7);
    }
    painter.setPen(QPen(BACKGROUND, 1));
    painter.setBrush(APPROACH);
    painter.drawEllipse(onPath(loop.opposition.place), 5, 5);
    painter.setBrush(TARGET);
    painter.drawEllipse(onPath(loop.closest.place), 4, 4);
    return taken;
}

// The marks' dates first, then the first of each month, then the names of the stars.
std::vector<LoopPicture::Label> LoopPicture::labels() const {
    const MarsLoop& loop = scene_->loop;
    const auto dated = [&](const char* what, const LoopMark& mark, double gap) {
        return Label{
            onPath(mark.place), gap,
            QString::fromLatin1(what) + QString::fromStdString(dateInWords(mark.utJd, true)), TEXT};
    };
    std::vector<Label> labels = {
        dated("Stops ", loop.stops[0], 9), dated("Stops ", loop.stops[1], 9),
        dated("Opposition ", loop.opposition, 7), dated("Closest ", loop.closest, 6)};
    const auto atAMark = [&](double utJd) {
        return std::any_of(std::begin(loop.stops), std::end(loop.stops),
                           [&](const LoopMark& m) { return std::fabs(m.utJd - utJd) < 1; }) ||
               std::fabs(loop.opposition.utJd - utJd) < 1 ||
               std::fabs(loop.closest.utJd - utJd) < 1;
    };
    for (const LoopDay& day : loop.days) {
        if (calendarOfJulianDate(day.utJd).day == 1 && !atAMark(day.utJd)) {
            labels.push_back({onPath(day.place), markRadius(day.magnitude) + 3,
                              QString::fromStdString(dateInWords(day.utJd, true)), TEXT});
        }
    }
    // The stars Mars passes by name or letters, then the other named stars.
    const std::vector<Star>& table = stars();
    const auto label = [&](std::size_t i) {
        if (const auto p = pixelOf(scene_->sky.stars[i]); p && plot_.contains(*p)) {
            labels.push_back({*p, 4, QString::fromStdString(shortName(table[i])), STAR_NAME});
        }
    };
    const std::vector<std::size_t>& along = scene_->alongPath;
    for (const std::size_t i : along) {
        label(i);
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!table[i].name.empty() && std::find(along.begin(), along.end(), i) == along.end()) {
            label(i);
        }
    }
    return labels;
}

// The labels, then the constellations' names, each where it covers neither the path nor another
// label.
void LoopPicture::paintLabels(QPainter& painter, const std::vector<QRectF>& taken) const {
    const MarsLoop& loop = scene_->loop;
    const std::vector<Label> labels = this->labels();
    std::vector<QLineF> path;
    for (std::size_t i = 1; i < loop.days.size(); ++i) {
        path.emplace_back(onPath(loop.days[i - 1].place), onPath(loop.days[i].place));
    }
    const QFontMetricsF metrics(painter.font());
    std::vector<std::vector<LabelBox>> candidates;
    for (const Label& label : labels) {
        const QSizeF size(metrics.horizontalAdvance(label.text) + 2, metrics.height());
        candidates.push_back(boxesAround(label.at, size, label.gap));
        for (const LabelBox& b : boxesAround(label.at, size, label.gap + 14)) {
            candidates.back().push_back(b);
        }
    }
    const auto inside = [&](const LabelBox& box) {
        const QRectF r = rectOf(box);
        return plot_.contains(r) && std::none_of(path.begin(), path.end(), [&](const QLineF& l) {
                   return crosses(l, r.adjusted(-1, -1, 1, 1));
               });
    };
    // No label over a star that another names.
    std::vector<QRectF> covered = taken;
    for (const Label& label : labels) {
        if (label.colour == STAR_NAME) {
            covered.emplace_back(label.at - QPointF(3, 3), QSizeF(6, 6));
        }
    }
    std::vector<LabelBox> boxes = boxesOf(covered);
    const std::vector<std::optional<QRectF>> placed = placedRects(candidates, boxes, inside, 4, 1);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (placed[i]) {
            painter.setPen(labels[i].colour);
            painter.drawText(*placed[i], Qt::AlignCenter, labels[i].text);
        }
    }
    paintNames(painter, boxes, inside);
}

// Each constellation the path passes, above or below the middle of its stretch there.
void LoopPicture::paintNames(QPainter& painter, std::vector<LabelBox>& taken,
                             const std::function<bool(const LabelBox&)>& inside) const {
    const std::vector<LoopDay>& days = scene_->loop.days;
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 1.15);
    font.setCapitalization(QFont::AllUppercase);
    font.setLetterSpacing(QFont::PercentageSpacing, 115);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double when = scene_->loop.opposition.utJd;
    std::vector<QString> names;
    std::vector<std::vector<LabelBox>> candidates;
    for (std::size_t from = 0; from < days.size();) {
        std::size_t to = from;
        while (to + 1 < days.size() && days[to + 1].constellation == days[from].constellation) {
            ++to;
        }
        const QString name = QString::fromStdString(days[from].constellation);
        if (std::find(names.begin(), names.end(), name) == names.end()) {
            const QPointF at = onPath(days[(from + to) / 2].place);
            const QSizeF size(metrics.horizontalAdvance(name) + 4, metrics.height());
            names.push_back(name);
            candidates.emplace_back();
            // Near the middle of its stretch, where the name's centre lies in the constellation.
            for (const double dy : {2.5, -2.5, 4.0, -4.0, 6.0, -6.0}) {
                for (const double dx : {0.0, 3.0, -3.0}) {
                    const QPointF centre = at + QPointF(dx, -dy) * scale_;
                    if (constellationOfDate(frame_.placeAt(toChart(centre)), when) ==
                        days[from].constellation) {
                        candidates.back().push_back(
                            boxOf(QRectF(centre - QPointF(size.width(), size.height()) / 2, size)));
                    }
                }
            }
        }
        from = to + 1;
    }
    const std::vector<std::optional<QRectF>> placed = placedRects(candidates, taken, inside, 4, 1);
    painter.setPen(CONSTELLATION);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (placed[i]) {
            painter.drawText(*placed[i], Qt::AlignCenter, names[i]);
        }
    }
}

// The title above the chart; below it the scale, the way north and east point, and the marks.
void LoopPicture::paintKey(QPainter& painter) const {
    const MarsLoop& loop = scene_->loop;
    painter.setPen(TEXT);
    const QFontMetricsF metrics(painter.font());
    const QString title = QStringLiteral("Mars among the stars, %1 to %2")
                              .arg(QString::fromStdString(dateInWords(loop.days.front().utJd)),
                                   QString::fromStdString(dateInWords(loop.days.back().utJd)));
    painter.drawText(QRectF(plot_.left(), 0, plot_.width(), plot_.top()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(title, Qt::ElideRight, plot_.width()));
    const double degrees = scaleDegrees(frame_.width());
    const double y = plot_.bottom() + 12;
    const QPointF start(plot_.left() + 2, y);
    painter.setPen(QPen(TEXT, 1.5));
    painter.drawLine(start, start + QPointF(degrees * scale_, 0));
    for (const double x : {0.0, degrees * scale_}) {
        painter.drawLine(start + QPointF(x, -4), start + QPointF(x, 4));
    }
    const QRectF below(plot_.left(), plot_.bottom() + 2, plot_.width(), height() - plot_.bottom());
    painter.drawText(below.adjusted(degrees * scale_ + 10, 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("%1%2").arg(degrees).arg(QChar(0x00B0)));
    // The marks explained where there is room for it beside the scale.
    const QString way = scene_->southUp ? QStringLiteral("South up, east right")
                                        : QStringLiteral("North up, east left");
    const QString both = way + QStringLiteral("; a mark a day, larger as Mars is brighter");
    const bool room = metrics.horizontalAdvance(both) < plot_.width() - degrees * scale_ - 60;
    painter.drawText(below, Qt::AlignRight | Qt::AlignVCenter, room ? both : way);
}

void LoopPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), BACKGROUND);
    if (!scene_) {
        painter.setPen(TEXT);
        painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap,
                         none_);
        return;
    }
    const QFontMetricsF metrics(font());
    plot_ = QRectF(rect()).adjusted(8, metrics.height() + 10, -8, -metrics.height() - 10);
    frame_ = loopFrame(scene_->loop, plot_.width() / plot_.height());
    if (!frame_.holds(scene_->loop)) {
        painter.setPen(TEXT);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("The loop cannot be drawn"));
        return;
    }
    scale_ = plot_.width() / frame_.width();
    painter.setPen(QPen(GRID, 1));
    painter.drawRect(plot_);
    painter.save();
    painter.setClipRect(plot_);
    paintSky(painter);
    std::vector<QRectF> taken = paintPath(painter);
    painter.restore();
    paintLabels(painter, taken);
    painter.setFont(font());
    paintKey(painter);
    if (hasFocus()) {
        painter.setPen(QPen(TARGET, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -2, -2));
    }
}

void LoopPicture::contextMenuEvent(QContextMenuEvent* e) {
    showPictureMenu(*this, *e);
}

} // namespace orvanta
