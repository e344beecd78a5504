#include "app/mars_disk_panel.h"

#include "app/settings.h"
#include "display/disk_words.h"
#include "display/face_words.h"
#include "panes/accessible.h"
#include "panes/faces_strip.h"
#include "panes/mars_disk_view.h"
#include "panes/picture_menu.h"
#include "panes/texts.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace orvanta {

namespace {

constexpr const char* ORIENTATION_SETTING = "disk/orientation";
// The earlier choice, a mirror or none: read where no orientation has been kept yet.
constexpr const char* MIRROR_SETTING = "disk/mirrored";

DiskOrientation keptOrientation() {
    if (const std::optional<QString> kept = readSetting(ORIENTATION_SETTING)) {
        if (const auto orientation = orientationNamed(kept->toStdString())) {
            return *orientation;
        }
        refuseSetting(ORIENTATION_SETTING, *kept, QStringLiteral("north-up, mirrored or south-up"));
    }
    return readFlagSetting(MIRROR_SETTING, false) ? DiskOrientation::Mirrored
                                                  : DiskOrientation::NorthUp;
}

} // namespace

MarsDiskPanel::MarsDiskPanel(QWidget* parent)
    : QWidget(parent), orientation_(new QComboBox(this)), faces_(new FacesStrip(this)),
      faceList_(new QListWidget(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 2; ++i) {
        captions_[i] = new QLabel(this);
        captions_[i]->setTextFormat(Qt::PlainText); // the zone's abbreviation is the tz data's
        views_[i] = new MarsDiskView(this);
        views_[i]->setAccessibleName(i == 0 ? QStringLiteral("Mars in a telescope now")
                                            : QStringLiteral("Mars in a telescope at its highest"));
        views_[i]->setFocusPolicy(Qt::StrongFocus);
        givePictureKeys(*views_[i]);
        views_[i]->installEventFilter(this);
        layout->addWidget(captions_[i]);
        layout->addWidget(views_[i], 1);
    }
    // In the order of DiskOrientation.
    const struct {
        const char *shown, *told;
    } choices[] = {
        {"North up", "North up, east on the left, as the eye sees the sky"},
        {"Mirrored (diagonal)", "Mirrored left to right, as in a star diagonal"},
        {"South up (Newtonian)", "South up, as in a Newtonian or a straight refractor"},
    };
    for (const auto& c : choices) {
        orientation_->addItem(QString::fromUtf8(c.shown));
        orientation_->setItemData(orientation_->count() - 1, QString::fromUtf8(c.told),
                                  Qt::ToolTipRole);
    }
    orientation_->setAccessibleName(QStringLiteral("Orientation of the telescope's view"));
    auto* label = new QLabel(QStringLiteral("&Orientation:"), this);
    label->setBuddy(orientation_);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(orientation_, 1);
    layout->addLayout(row);
    setUpFaces();
    showOrientation(keptOrientation());
    connect(orientation_, &QComboBox::currentIndexChanged, this, [this](int index) {
        const auto orientation = static_cast<DiskOrientation>(index);
        turn(orientation);
        saveSetting(ORIENTATION_SETTING, QString::fromLatin1(orientationName(orientation)));
    });
}

void MarsDiskPanel::setUpFaces() {
    faces_->setAccessibleName(QStringLiteral("The faces of Mars tonight"));
    faces_->onChosen([this](double utJd) {
        if (chosen_) {
            chosen_(utJd);
        }
    });
    // The strip and the list are the window's to place; the list's lines are what a screen
    // reader reads of the strip.
    faceList_->setAccessibleName(QStringLiteral("Named features on the central meridian tonight"));
    faceList_->setWordWrap(true);
    faceList_->setMinimumHeight(48); // two lines, and a scroll bar for the rest
    faceList_->setTextElideMode(Qt::ElideNone);
    faceList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Later, from the event loop: the instant shown anew may fill the list anew, and the item
    // told of would be gone under its own signal.
    const auto choose = [this](const QListWidgetItem* item) {
        if (!item || !item->data(Qt::UserRole).isValid()) {
            return;
        }
        const double utJd = item->data(Qt::UserRole).toDouble();
        QMetaObject::invokeMethod(
            this,
            [this, utJd] {
                if (chosen_) {
                    chosen_(utJd);
                }
            },
            Qt::QueuedConnection);
    };
    connect(faceList_, &QListWidget::itemActivated, this, choose);
    connect(faceList_, &QListWidget::itemClicked, this, choose);
}

void MarsDiskPanel::showOrientation(DiskOrientation orientation) {
    const QSignalBlocker quiet(orientation_);
    orientation_->setCurrentIndex(static_cast<int>(orientation));
    turn(orientation);
}

void MarsDiskPanel::turn(DiskOrientation orientation) {
    for (MarsDiskView* v : views_) {
        v->setOrientation(orientation);
    }
    orientation_->setAccessibleDescription(
        orientation_->itemData(static_cast<int>(orientation), Qt::ToolTipRole).toString());
}

bool MarsDiskPanel::eventFilter(QObject* watched, QEvent* event) {
    auto* view = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::FocusIn:
        framed_ = keyboardBroughtFocus(static_cast<QFocusEvent*>(event)) ? view : nullptr;
        view->update();
        break;
    case QEvent::FocusOut:
        framed_ = nullptr;
        view->update();
        break;
    case QEvent::Paint:
        if (view == framed_) {
            // The disk first, as the view paints it (its own event, public through QObject), and
            // the frame over it, still within the view's paint.
            static_cast<QObject*>(view)->event(event);
            QPainter painter(view);
            drawFocusFrame(painter, *view, 0);
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}

void MarsDiskPanel::showFaces(const SkyTonight& sky, const ClockText& clock,
                              const QTimeZone& zone) {
    const std::string told =
        sky.pass.samples.empty() ? std::string() : clock(sky.pass.samples.front().utJd);
    if (sky.passFoundAt == facesFoundAt_ && told == facesTold_) {
        return;
    }
    facesFoundAt_ = sky.passFoundAt;
    facesTold_ = told;
    FacesScene scene = facesScene(sky.pass, sky.place, clock, zoneOffsetOf(zone));
    faceList_->clear();
    QStringList lines;
    for (std::size_t i = 0; i < scene.lines.size(); ++i) {
        const QString line = QString::fromStdString(scene.lines[i]);
        auto* item = new QListWidgetItem(line, faceList_);
        item->setData(Qt::UserRole, scene.crossings[i].utJd);
        lines << line;
    }
    const QString none = QStringLiteral("No named feature crosses the central meridian while Mars "
                                        "is up tonight.");
    faces_->setAccessibleDescription(lines.isEmpty() ? none : lines.join(QStringLiteral("; ")));
    if (lines.isEmpty()) {
        new QListWidgetItem(none, faceList_);
    }
    faces_->setScene(std::move(scene));
}

void MarsDiskPanel::showSky(const SkyTonight& sky, const ClockText& clock, const QTimeZone& zone) {
    showFaces(sky, clock, zone);
    faces_->setNow(sky.utJd);
    const auto show = [this, &clock](int i, const char* when, double utJd, const MarsDisk& disk) {
        captions_[i]->setText(QString::fromStdString(diskCaption(when + clock(utJd), utJd, disk)));
        views_[i]->setDisk(disk);
    };
    show(0, "Now, ", sky.utJd, sky.disk);
    // No view of a Mars the telescope is not shown; the caption says why.
    views_[0]->setVisible(sky.diskSeen);
    if (!sky.diskSeen) {
        captions_[0]->setText(
            QString::fromStdString("Now, " + clock(sky.utJd) +
                                   (sky.marsAt.altitude > 0 ? ": Mars is in a daylit sky."
                                                            : ": Mars is below the horizon.")));
    }
    const std::optional<double> transit =
        sky.highest ? std::optional(sky.pass.transit->utJd) : std::nullopt;
    views_[1]->setVisible(transit.has_value());
    captions_[1]->setVisible(transit.has_value());
    // The transit's disk stays as it is until tonight's transit changes, or the clock it is
    // told on.
    const std::string told = transit ? clock(*transit) : std::string();
    if (transit && (transit != transit_ || told != transitTold_)) {
        show(1, "Highest, ", *transit, *sky.highest);
    }
    transit_ = transit;
    transitTold_ = told;
}

} // namespace orvanta
