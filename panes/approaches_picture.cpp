#include "panes/approaches_picture.h"

#include "display/number_text.h"
#include "ephemeris/julian_date.h"
#include "panes/accessible.h"
#include "panes/picture_menu.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <cmath>

namespace orvanta {

namespace {

constexpr double CLICK_REACH = 14; // pixels from a marker that a click still picks

} // namespace

ApproachesPicture::ApproachesPicture(QWidget* parent, const ApproachesScene& scene, Pick pick)
    : QWidget(parent), scene_(scene), pick_(std::move(pick)) {
    setFocusPolicy(Qt::StrongFocus);
    givePictureKeys(*this);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ApproachesPicture::keyPressEvent(QKeyEvent* e) {
    const int count = static_cast<int>(scene_.chart.approaches.size());
    const int picked = scene_.picked;
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        if (count > 0) {
            pick_(std::max(picked - 1, 0), false);
        }
        return;
    case Qt::Key_Right:
    case Qt::Key_Down:
        if (count > 0) {
            pick_(std::min(picked + 1, count - 1), false);
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (picked >= 0) {
            pick_(picked, true);
        }
        return;
    default:
        QWidget::keyPressEvent(e);
    }
}

int ApproachesPicture::approachAt(QPointF at) const {
    int nearest = -1;
    double best = CLICK_REACH;
    for (int i = 0; i < static_cast<int>(scene_.chart.approaches.size()); ++i) {
        const QPointF d = placeOf(i) - at;
        if (std::hypot(d.x(), d.y()) <= best) {
            best = std::hypot(d.x(), d.y());
            nearest = i;
        }
    }
    return nearest;
}

void ApproachesPicture::mousePressEvent(QMouseEvent* e) {
    if (const int at = approachAt(e->position()); e->button() == Qt::LeftButton && at >= 0) {
        pick_(at, false);
    }
    QWidget::mousePressEvent(e);
}

void ApproachesPicture::mouseDoubleClickEvent(QMouseEvent* e) {
    if (const int at = approachAt(e->position()); e->button() == Qt::LeftButton && at >= 0) {
        pick_(at, true);
    }
    // Not passed on: Qt's own would take it for a second press.
}

void ApproachesPicture::contextMenuEvent(QContextMenuEvent* e) {
    const int at =
        e->reason() == QContextMenuEvent::Keyboard ? scene_.picked : approachAt(e->pos());
    const double jd =
        at >= 0 ? scene_.chart.approaches[static_cast<std::size_t>(at)].julianDate : 0;
    showPictureMenu(*this, *e, [this, at, jd](QMenu& menu) {
        if (at >= 0) {
            // Only while the span still holds that approach where it was.
            menu.addAction(QStringLiteral("Count &down to this approach"), this, [this, at, jd] {
                const auto& all = scene_.chart.approaches;
                if (static_cast<std::size_t>(at) < all.size() &&
                    all[static_cast<std::size_t>(at)].julianDate == jd) {
                    pick_(at, true);
                }
            });
        }
    });
}

void ApproachesPicture::paintFocus(QPainter& painter) {
    if (focusFrame_->shown()) {
        drawFocusFrame(painter, *this, 4);
    }
}

} // namespace orvanta
