#include "app/nights_tab.h"

#include "app/settings.h"
#include "ephemeris/mars_disk.h"
#include "ephemeris/opposition.h"
#include "panes/nights_chart_picture.h"
#include "panes/texts.h"
#include "towns/place_text.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>

namespace orvanta {

namespace {

// "52.52° N 13.41° E": a place without a town's name.
QString coordinatesText(const Place& p) {
    return QStringLiteral("%1° %2 %3° %4")
        .arg(fixedText(std::fabs(p.latitude), 2),
             p.latitude < 0 ? QStringLiteral("S") : QStringLiteral("N"),
             fixedText(std::fabs(p.longitude), 2),
             p.longitude < 0 ? QStringLiteral("W") : QStringLiteral("E"));
}

} // namespace

std::optional<ShownPlace> placeOfMarsTonight() {
    if (const auto lat = readNumberSetting("sky/latitude", -90, 90),
        lon = readNumberSetting("sky/longitude", -180, 180);
        lat && lon) {
        const Place place{
            *lat, *lon, readNumberSetting("sky/height", LOWEST_HEIGHT, HIGHEST_HEIGHT).value_or(0)};
        const std::optional<Town> kept =
            townKept(readSetting("sky/name").value_or(QString()).toStdString(), place);
        return ShownPlace{place, kept ? QString::fromStdString(townTitle(*kept))
                                      : readSetting("sky/name").value_or(coordinatesText(place))};
    }
    if (const auto town = townOfZone(timeZoneName())) {
        return ShownPlace{town->place, QStringLiteral("%1, the town of your time zone")
                                           .arg(QString::fromStdString(townTitle(*town)))};
    }
    return std::nullopt;
}

NightsTab::NightsTab(QWidget* parent, std::optional<PlaceEntry> place)
    : QWidget(parent), placeLabel_(new QLabel(this)), features_(new QComboBox(this)),
      status_(new QLabel(this)), chart_(new NightsChartPicture(this)),
      list_(new QListWidget(this)) {
    if (place) {
        place_ =
            ShownPlace{place->place, place->town ? QString::fromStdString(townTitle(*place->town))
                                                 : coordinatesText(place->place)};
    } else {
        place_ = placeOfMarsTonight();
    }
    const bool own = !place;
    // The place and the towns' names come from outside: never markup.
    placeLabel_->setTextFormat(Qt::PlainText);
    status_->setTextFormat(Qt::PlainText);
    // The tab takes no more width from the window than the pictures beside it do.
    placeLabel_->setWordWrap(true);
    status_->setWordWrap(true);
    features_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    features_->setMinimumContentsLength(12);
    placeLabel_->setText(
        !place_ ? QStringLiteral("No place known: give one in Mars tonight.")
        : own   ? QStringLiteral("From %1, the place of Mars tonight").arg(place_->name)
                : QStringLiteral("From %1").arg(place_->name));
    features_->addItem(QStringLiteral("No feature marked"));
    for (const MarsFeature& f : marsFeatures()) {
        features_->addItem(QString::fromUtf8(f.name));
    }
    features_->setAccessibleName(QStringLiteral("Mark the nights this feature faces Earth"));
    features_->setToolTip(QStringLiteral("Marks the nights the feature crosses the middle of the "
                                         "disk while Mars is well placed"));
    list_->setAccessibleName(QStringLiteral("Nights"));
    list_->setMinimumWidth(120);

    layOut();
    connect(features_, &QComboBox::currentIndexChanged, this,
            [this](int index) { markFeature(index - 1); });
    connect(&nights_, &QFutureWatcher<std::vector<ApparitionNight>>::finished, this, [this] {
        findingNights_ = false;
        showNights(nights_.result());
    });
    connect(&facing_, &QFutureWatcher<std::vector<std::optional<double>>>::finished, this, [this] {
        findingFacing_ = false;
        std::vector<std::optional<double>> facing = facing_.result();
        // Marks found for nights since replaced are dropped; the new nights find their own.
        if (facing.size() == scene_.nights.size() && features_->currentIndex() > 0) {
            scene_.facing = std::move(facing);
            status_->clear();
            chart_->setScene(scene_);
            fillList();
        }
    });
}

// The place and the feature above, the chart and its list below: one column, so that the tab
// takes no more width than the pictures beside it, even on a narrow screen.
void NightsTab::layOut() {
    auto* feature = new QHBoxLayout;
    feature->addWidget(features_);
    feature->addWidget(status_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(placeLabel_);
    layout->addLayout(feature);
    layout->addWidget(chart_, 3);
    layout->addWidget(list_, 1);
    setTabOrder(features_, list_);
}

void NightsTab::showApproach(double approachJd) {
    wanted_ = approachJd;
    if (isVisible()) {
        findNights();
    }
}

void NightsTab::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    findNights();
}

void NightsTab::findNights() {
    if (!place_) {
        chart_->setScene(std::nullopt, placeLabel_->text());
        return;
    }
    if (wanted_ == approach_ || wanted_ == 0) {
        return;
    }
    approach_ = wanted_;
    status_->setText(QStringLiteral("Finding the nights…"));
    findingNights_ = true;
    nights_.setFuture(QtConcurrent::run([approach = approach_, where = place_->place] {
        const NightsSpan span = apparitionSpan(approach);
        return apparitionNights(span.from, span.to, where);
    }));
}

void NightsTab::showNights(std::vector<ApparitionNight> nights) {
    // The opposition is the middle of the span the nights were found for.
    const std::optional<double> opposition =
        nights.empty() ? std::nullopt : oppositionNear(nights[nights.size() / 2].noon);
    scene_ = nightsScene(std::move(nights), place_->name.toStdString(), opposition);
    status_->clear();
    chart_->setScene(scene_);
    fillList();
    findFacing();
}

void NightsTab::markFeature(int feature) {
    if (features_->currentIndex() != feature + 1) {
        features_->setCurrentIndex(feature + 1); // comes back here by its signal
        return;
    }
    findFacing();
}

void NightsTab::findFacing() {
    const int index = features_->currentIndex() - 1;
    scene_.facing.clear();
    scene_.feature.clear();
    if (index >= 0 && !scene_.nights.empty()) {
        const MarsFeature& f = marsFeatures()[static_cast<std::size_t>(index)];
        scene_.feature = f.name;
        status_->setText(
            QStringLiteral("Finding where %1 faces Earth…").arg(QString::fromUtf8(f.name)));
        findingFacing_ = true;
        facing_.setFuture(QtConcurrent::run([nights = scene_.nights, longitude = f.westLongitude] {
            return facingWhileWellPlaced(nights, longitude);
        }));
    }
    chart_->setScene(scene_);
    fillList();
}

void NightsTab::fillList() {
    const int current = list_->currentRow();
    list_->clear();
    for (std::size_t i = 0; i < scene_.nights.size(); ++i) {
        list_->addItem(QString::fromStdString(nightWords(scene_, i)));
    }
    list_->setCurrentRow(std::min(current, list_->count() - 1));
    chart_->setAccessibleDescription(
        scene_.nights.empty()
            ? QString()
            : QStringLiteral("Mars's nights from %1, %2 to %3: the list beside tells each.")
                  .arg(place_->name,
                       QString::fromStdString(dateInWords(scene_.nights.front().evening)),
                       QString::fromStdString(dateInWords(scene_.nights.back().evening))));
}

} // namespace orvanta
