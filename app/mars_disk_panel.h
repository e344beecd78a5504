#pragma once

// The telescope's disk of Mars twice, now and at tonight's upper transit, each with its figures
// above it, and how the telescope turns them, a choice kept in the settings; and the night's
// faces as a strip and the same in words as a list, for the window to place beside them, each
// crossing of the central meridian an instant the window can be turned to.

#include "display/disk_words.h"
#include "display/sky_words.h"

#include <QTimeZone>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QListWidget;

namespace orvanta {

class FacesStrip;
class MarsDiskView;

class MarsDiskPanel : public QWidget {
  public:
    explicit MarsDiskPanel(QWidget* parent);
    // The record's disks, now and at the highest where that is seen, their captions on the
    // window's clock (`zone`, told by `clock`) and in UT; and the night's faces.
    void showSky(const SkyTonight& sky, const ClockText& clock, const QTimeZone& zone);
    // Called with the UT instant of a crossing clicked in the strip or chosen in the list.
    void onInstantChosen(std::function<void(double utJd)> chosen) { chosen_ = std::move(chosen); }
    FacesStrip* faces() const { return faces_; }
    QListWidget* faceList() const { return faceList_; }
    MarsDiskView* view(int which) const { return views_[which]; }
    QComboBox* orientation() const { return orientation_; }
    // Turns the disks so for this window alone, without keeping the choice.
    void showOrientation(DiskOrientation orientation);

  protected:
    // The disks' focus frame, drawn over each as it paints: where the keyboard brought the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void turn(DiskOrientation orientation);
    // The strip and the list, for the window to place.
    void setUpFaces();
    void showFaces(const SkyTonight& sky, const ClockText& clock, const QTimeZone& zone);
    MarsDiskView* views_[2];
    QLabel* captions_[2];
    QComboBox* orientation_;
    std::optional<double> transit_;
    std::string transitTold_; // its time on the clock
    QWidget* framed_ = nullptr;
    FacesStrip* faces_;
    QListWidget* faceList_;
    std::function<void(double)> chosen_;
    // The night and clock the faces were found for: found again only when either changes.
    double facesFoundAt_ = 0;
    std::string facesTold_;
};

} // namespace orvanta
