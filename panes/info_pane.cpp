#include "panes/info_pane.h"

#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"

#include <QFile>
#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
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
    // The whole pane is painted over on every paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TextUnits infoTextUnits() {
    const QFontMetrics metrics(shippedFont());
    return TextUnits{metrics.height(), metrics.averageCharWidth()};
}

QImage composeInfoPicture(int paneWidth, qreal ratio) {
    QImage picture = background();
    if (ratio != 1.0) {
        QImage sharper(picture.size() * ratio, QImage::Format_RGB32);
        QPainter painter(&sharper);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(sharper.rect(), picture);
        picture = sharper;
    }
    const TextUnits units = infoTextUnits();
    const InfoPlaces places = placeInfoBoxes(units.height, units.averageWidth, paneWidth);
    // One reading for both time lines, so the date and the clock agree.
    const InfoText text = buildInfoText(encounterState, calendarTimeOf(readUtcClock()));

    QPainter painter(&picture);
    painter.scale(ratio, ratio);
    painter.setFont(shippedFont());
    const int ascent = QFontMetrics(shippedFont()).ascent();
    const InfoLine* line = text.lines;
    for (int b = 0; b < INFO_BOX_COUNT; ++b) {
        InfoRect rect = places.boxes[b].rect;
        drawCaptionedBox(painter, rect, INFO_BOXES[b].title, units.height);
        painter.setPen(Qt::white);
        for (int n = 0; n < INFO_BOXES[b].lineCount; ++n, ++line) {
            const std::string_view shown = line->view();
            if (!shown.empty()) {
                painter.drawText(QPointF(places.lineLeft, places.boxes[b].lineTops[n] + ascent),
                                 QString::fromUtf8(shown.data(), qsizetype(shown.size())));
            }
        }
    }
    return picture;
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

void InfoPane::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    const QImage picture = composeInfoPicture(width(), ratio);
    // The picture's fixed size is what is stretched, in device pixels on both sides.
    const QRect to = devicePixels(rect(), ratio);
    const QRect from = devicePixels(QRect(0, 0, INFO_PICTURE_WIDTH, INFO_PICTURE_HEIGHT), ratio);
    if (to.isEmpty() || from.isEmpty()) {
        return;
    }
    QPainter painter(this);
    painter.scale(1 / ratio, 1 / ratio);
    // A halftone stretch: area-averaged where it shrinks, interpolated where it grows (which the
    // painter does several times faster), a plain copy where it does neither.
    if (to.width() < from.width() || to.height() < from.height()) {
        painter.drawImage(to.topLeft(), picture.copy(from).scaled(to.size(), Qt::IgnoreAspectRatio,
                                                                  Qt::SmoothTransformation));
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(to, picture, from);
    }
}

} // namespace orvanta
