#include "app/mars_disk_panel.h"

#include "app/settings.h"
#include "display/number_text.h"
#include "ephemeris/mars_disk.h"
#include "panes/mars_disk_view.h"
#include "panes/texts.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

namespace orvanta {

namespace {

constexpr const char* MIRROR_SETTING = "disk/mirrored";

} // namespace

MarsDiskPanel::MarsDiskPanel(QWidget* parent)
    : QWidget(parent),
      mirror_(new QCheckBox(QStringLiteral("Mirrored, as in a star diagonal"), this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 2; ++i) {
        captions_[i] = new QLabel(this);
        views_[i] = new MarsDiskView(this);
        views_[i]->setAccessibleName(i == 0 ? QStringLiteral("Mars in a telescope now")
                                            : QStringLiteral("Mars in a telescope at its highest"));
        layout->addWidget(captions_[i]);
        layout->addWidget(views_[i], 1);
    }
    layout->addWidget(mirror_);
    mirror_->setChecked(readFlagSetting(MIRROR_SETTING, false));
    const auto mirrorAll = [this](bool mirrored) {
        for (MarsDiskView* v : views_) {
            v->setMirrored(mirrored);
        }
    };
    mirrorAll(mirror_->isChecked());
    connect(mirror_, &QCheckBox::toggled, this, [mirrorAll](bool mirrored) {
        mirrorAll(mirrored);
        saveSetting(MIRROR_SETTING, mirrored);
    });
}

void MarsDiskPanel::setInstants(double now, std::optional<double> transit) {
    const auto show = [this](int i, const QString& when, double utJd) {
        const MarsDisk disk = marsDiskAt(utJd);
        captions_[i]->setText(QStringLiteral("%1: %2″, %3 % lit, CM %4°")
                                  .arg(when, fixedText(disk.diameter, 1))
                                  .arg(qRound(disk.phase * 100))
                                  .arg(qRound(disk.centralMeridian) % 360));
        views_[i]->setDisk(disk);
    };
    show(0, QStringLiteral("Now, ") + localMinuteText(now), now);
    views_[1]->setVisible(transit.has_value());
    captions_[1]->setVisible(transit.has_value());
    // The transit's disk stays as it is until tonight's transit changes.
    if (transit && transit != transit_) {
        show(1, QStringLiteral("Highest, ") + localMinuteText(*transit), *transit);
    }
    transit_ = transit;
}

} // namespace orvanta
