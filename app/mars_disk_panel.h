#pragma once

// The telescope's disk of Mars twice, now and at tonight's upper transit, each with its figures
// above it, and how the telescope turns them, a choice kept in the settings.

#include "display/disk_words.h"

#include <QTimeZone>
#include <QWidget>
#include <optional>

class QComboBox;
class QLabel;

namespace orvanta {

class MarsDiskView;

class MarsDiskPanel : public QWidget {
  public:
    explicit MarsDiskPanel(QWidget* parent);
    // Their captions on the zone's clock.
    void setInstants(double now, std::optional<double> transit, const QTimeZone& zone);
    MarsDiskView* view(int which) const { return views_[which]; }
    QComboBox* orientation() const { return orientation_; }
    // Turns the disks so for this window alone, without keeping the choice.
    void showOrientation(DiskOrientation orientation);

  private:
    void turn(DiskOrientation orientation);
    MarsDiskView* views_[2];
    QLabel* captions_[2];
    QComboBox* orientation_;
    std::optional<double> transit_;
};

} // namespace orvanta
