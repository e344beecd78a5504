#include "panes/info_pane.h"

#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "panes/accessible.h"

#include <QAccessible>
#include <QFile>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <cmath>
#include <cstdlib>

namespace orvanta {

namespace {

// The shipped font at the pixel size whose layout units come closest to a 16-pixel text height and
// a 7-pixel average character width, the units the pane was laid out for; the height first, as it
// places every box and line, while the width only indents the lines.
const QFont& shippedFont() {
    static const QFont font = [] {
        QFile file(QStringLiteral(":/fonts/text.ttf"));
        const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const int id = QFontDatabase::addApplicationFontFromData(data);
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        QFont best(families.isEmpty() ? QString() : families.first());
        // The family may have other faces installed on the system: ask for the shipped one's.
        const QRawFont face(data, 16);
        best.setWeight(static_cast<QFont::Weight>(face.weight()));
        best.setStyle(face.style());
        std::pair<int, int> bestDistance{INT32_MAX, INT32_MAX};
        for (int pixels = 8; pixels <= 24; ++pixels) {
            QFont candidate = best;
            candidate.setPixelSize(pixels);
            const QFontMetrics metrics(candidate);
            const std::pair<int, int> distance{std::abs(metrics.height() - 16),
                                               std::abs(metrics.averageCharWidth() - 7)};
            if (distance < bestDistance) {
                bestDistance = distance;
                best = candidate;
            }
        }
        return best;
    }();
    return font;
}

// Decoded once, in full colour through its palette.
const QImage& background() {
    static const QImage picture = QImage(QStringLiteral(":/pictures/info_background.png"))
                                      .convertToFormat(QImage::Format_RGB32);
    return picture;
}

QRect toQRect(const InfoRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// A one-pixel outline with rounded corners (a 20 x 20 ellipse), never filled: a ring between two
// rounded rectangles a pixel apart, filled without smoothing, so that every straight edge is one
// pixel wide on the rectangle's left and top and its right and bottom less one, and the corners
// are symmetric with the corner pixel itself left alone.
void roundedOutline(QPainter& painter, const QRect& rect, Qt::GlobalColor colour) {
    const QRectF outer = QRectF(rect).normalized();
    QPainterPath ring;
    ring.setFillRule(Qt::OddEvenFill);
    ring.addRoundedRect(outer, 10, 10);
    if (outer.width() > 2 && outer.height() > 2) {
        ring.addRoundedRect(outer.adjusted(1, 1, -1, -1), 9, 9);
    }
    painter.fillPath(ring, colour);
}

QRect devicePixels(const QRect& r, qreal ratio) {
    return QRect(qRound(r.left() * ratio), qRound(r.top() * ratio), qRound(r.width() * ratio),
                 qRound(r.height() * ratio));
}

} // namespace

InfoPane::InfoPane(QWidget* parent) : QWidget(parent) {
    installAccessibleInterfaces();
    // The whole pane is painted over on every paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (int b = 0; b < INFO_BOX_COUNT; ++b) {
        boxes_[b] = new InfoBoxWidget(this, b);
        if (b > 0) {
            setTabOrder(boxes_[b - 1], boxes_[b]);
        }
    }
}

const InfoPicture& InfoPane::picture() {
    const qreal ratio = devicePixelRatioF();
    if (!picture_ || picture_->paneWidth() != width() || picture_->ratio() != ratio) {
        picture_.emplace(width(), ratio);
        picture_->update(currentInfoText());
    }
    return *picture_;
}

void InfoPane::resizeEvent(QResizeEvent*) {
    // Each box over its place in the picture, stretched as the picture is.
    const InfoPlaces& places = picture().places();
    for (int b = 0; b < INFO_BOX_COUNT; ++b) {
        const InfoRect r = places.boxes[b].rect;
        const auto x = [this](int px) { return px * width() / INFO_PICTURE_WIDTH; };
        const auto y = [this](int py) { return py * height() / INFO_PICTURE_HEIGHT; };
        boxes_[b]->setGeometry(QRect(QPoint(x(r.left), y(r.top)), QPoint(x(r.right), y(r.bottom))));
    }
}

InfoBoxWidget::InfoBoxWidget(InfoPane* pane, int index)
    : QWidget(pane), pane_(pane), index_(index) {
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(title());
}

QString InfoBoxWidget::title() const {
    return QString::fromStdString(titleAsShown(INFO_BOXES[index_].title));
}

QString InfoBoxWidget::text() const {
    const InfoText& text = pane_->picture().text();
    int first = 0;
    for (int b = 0; b < index_; ++b) {
        first += INFO_BOXES[b].lineCount;
    }
    QStringList lines;
    for (int n = first; n < first + INFO_BOXES[index_].lineCount; ++n) {
        const std::string_view line = text.lines[n].view();
        if (!line.empty()) {
            lines << QString::fromUtf8(line.data(), qsizetype(line.size()));
        }
    }
    return lines.join(QStringLiteral(", "));
}

void InfoBoxWidget::paintEvent(QPaintEvent*) {
    if (focusFrame_->shown()) {
        QPainter painter(this);
        drawFocusFrame(painter, *this, 6);
    }
}

TextUnits infoTextUnits() {
    const QFontMetrics metrics(shippedFont());
    return TextUnits{metrics.height(), metrics.averageCharWidth()};
}

InfoPicture::InfoPicture(int paneWidth, qreal ratio)
    : paneWidth_(paneWidth), ratio_(ratio), units_(infoTextUnits()),
      places_(placeInfoBoxes(units_.height, units_.averageWidth, paneWidth)) {
    frame_ = background();
    if (ratio != 1.0) {
        QImage sharper(frame_.size() * ratio, QImage::Format_RGB32);
        QPainter painter(&sharper);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(sharper.rect(), frame_);
        frame_ = sharper;
    }
    QPainter painter(&frame_);
    painter.scale(ratio, ratio);
    painter.setFont(shippedFont());
    for (int b = 0; b < INFO_BOX_COUNT; ++b) {
        InfoRect rect = places_.boxes[b].rect;
        titles_[b] = infoBoxTitle(b);
        drawCaptionedBox(painter, rect, titles_[b].c_str(), units_.height);
    }
    picture_ = frame_;
}

QRect InfoPicture::update(const InfoText& text) {
    for (int b = 0; b < INFO_BOX_COUNT; ++b) {
        if (infoBoxTitle(b) != titles_[b]) { // counting to another approach: drawn anew, whole
            *this = InfoPicture(paneWidth_, ratio_);
            break;
        }
    }
    QRect changed;
    QPainter painter(&picture_);
    painter.scale(ratio_, ratio_);
    painter.setFont(shippedFont());
    painter.setPen(Qt::white);
    const int ascent = QFontMetrics(shippedFont()).ascent();
    for (int b = 0, first = 0; b < INFO_BOX_COUNT; first += INFO_BOXES[b++].lineCount) {
        const int count = INFO_BOXES[b].lineCount;
        bool same = shownOnce_;
        for (int i = first; i < first + count; ++i) {
            same = same && text.lines[i].view() == shown_.lines[i].view();
        }
        if (same) {
            continue;
        }
        // The box's lines are drawn again together, over what the background and frames have
        // there: a glyph may reach a little beyond its own line, never beyond its box's frame.
        const int* tops = places_.boxes[b].lineTops;
        constexpr int REACH = 4;
        const QRect region =
            devicePixels(QRect(0, tops[0] - REACH, INFO_PICTURE_WIDTH,
                               tops[count - 1] + units_.height + REACH - (tops[0] - REACH)),
                         ratio_);
        painter.save();
        painter.resetTransform();
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(region, frame_, region);
        painter.restore();
        for (int n = 0; n < count; ++n) {
            const std::string_view line = text.lines[first + n].view();
            if (!line.empty()) {
                painter.drawText(QPointF(places_.lineLeft, tops[n] + ascent),
                                 QString::fromUtf8(line.data(), qsizetype(line.size())));
            }
        }
        changed |= region;
    }
    shown_ = text;
    shownOnce_ = true;
    return changed;
}

QImage composeInfoPicture(int paneWidth, qreal ratio) {
    InfoPicture picture(paneWidth, ratio);
    picture.update(currentInfoText());
    return picture.image();
}

InfoText currentInfoText() {
    // One reading for both time lines, so the date and the clock agree.
    return buildInfoText(encounterState, calendarTimeOf(readUtcClock()));
}

void drawCaptionedBox(QPainter& painter, InfoRect& rect, const char* title, int textHeight) {
    const QRect box = toQRect(rect);
    painter.save();
    painter.setPen(Qt::white);
    painter.setClipRect(box);
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic,
                     QString::fromUtf8(title));
    painter.restore();
    rect.top += textHeight;
    roundedOutline(painter, toQRect(rect), Qt::black);
    roundedOutline(painter, toQRect(rect).adjusted(1, 1, -1, -1), Qt::white);
}

void InfoPane::refresh() {
    const qreal ratio = devicePixelRatioF();
    if (!picture_ || picture_->paneWidth() != width() || picture_->ratio() != ratio) {
        picture();
        update();
        announceChanges();
        return;
    }
    const QRect changed = picture_->update(currentInfoText());
    if (changed.isEmpty()) {
        return;
    }
    announceChanges();
    // The pane's rows that the stretch takes from the changed rows, with a row or two to spare
    // for the interpolation's neighbours, in the pane's own pixels.
    const double scale = static_cast<double>(height()) / INFO_PICTURE_HEIGHT / ratio;
    const int top = static_cast<int>(std::floor((changed.top() - 1) * scale)) - 2;
    const int bottom = static_cast<int>(std::ceil((changed.bottom() + 2) * scale)) + 2;
    update(QRect(0, top, width(), bottom - top));
}

void InfoPane::announceChanges() {
    // A screen reader is told of a box's new text at most once a minute, so that the clock's
    // seconds do not make it speak every second; a box with the focus is told every change.
    const std::int64_t now = calendarTimeOf(readUtcClock());
    for (int b = 0; b < INFO_BOX_COUNT; ++b) {
        const QString text = boxes_[b]->text();
        Announced& last = announced_[b];
        if (text == last.text || !(boxes_[b]->hasFocus() || now - last.at >= 60 || now < last.at)) {
            continue;
        }
        QAccessibleTextUpdateEvent event(boxes_[b], 0, last.text, text);
        QAccessible::updateAccessibility(&event);
        last = Announced{text, now};
    }
}

void InfoPane::paintEvent(QPaintEvent* event) {
    const qreal ratio = devicePixelRatioF();
    const QImage& picture = this->picture().image();
    // The picture's fixed size is what is stretched, in device pixels on both sides.
    const QRect to = devicePixels(rect(), ratio);
    const QRect from = devicePixels(QRect(0, 0, INFO_PICTURE_WIDTH, INFO_PICTURE_HEIGHT), ratio);
    if (to.isEmpty() || from.isEmpty()) {
        return;
    }
    QPainter painter(this);
    painter.scale(1 / ratio, 1 / ratio);
    // A smooth stretch: area-averaged where it shrinks, interpolated where it grows (which the
    // painter does several times faster), a plain copy where it does neither.
    if (to.width() < from.width() || to.height() < from.height()) {
        painter.drawImage(to.topLeft(), picture.copy(from).scaled(to.size(), Qt::IgnoreAspectRatio,
                                                                  Qt::SmoothTransformation));
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // In bands of a few dozen rows: the painter spreads larger fills over threads, which for a
    // pane this size costs more in waking them than it saves. The pixels are the same.
    constexpr int BAND_ROWS = 60;
    const QRect wanted = devicePixels(event->rect(), ratio) & to;
    for (int y = wanted.top(); y <= wanted.bottom(); y += BAND_ROWS) {
        painter.setClipRect(QRect(wanted.left(), y, wanted.width(), BAND_ROWS));
        painter.drawImage(to, picture, from);
    }
}

} // namespace orvanta
