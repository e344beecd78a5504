#pragma once

// The telescope's disk of Mars twice, now and at tonight's upper transit, each with its figures
// above it, and how the telescope turns them, a choice kept in the settings.

#include "display/disk_words.h"
#include "display/sky_words.h"

#include <QWidget>
#include <optional>
#include <string>

class QComboBox;
class QLabel;

namespace orvanta {

class MarsDiskView;

class MarsDiskPanel : public QWidget {
  public:
    explicit MarsDiskPanel(QWidget* parent);
    // The record's disks, now and at the highest where that is seen, their captions on the
    // window's clock and in UT.
    void showSky(const SkyTonight& sky, const ClockText& clock);
    MarsDiskView* view(int which) const { return views_[which]; }
    QComboBox* orientation() const { return orientation_; }
    // Turns the disks so for this window alone, without keeping the choice.
    void showOrientation(DiskOrientation orientation);

  protected:
    // The disks' focus frame, drawn over each as it paints: where the keyboard brought the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void turn(DiskOrientation orientation);
    MarsDiskView* views_[2];
    QLabel* captions_[2];
    QComboBox* orientation_;
    std::optional<double> transit_;
    std::string transitTold_; // its time on the clock
    QWidget* framed_ = nullptr;
};

} // namespace orvanta
