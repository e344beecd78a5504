#pragma once

// The Approaches window's "Nights" tab: the nights of one apparition from the place Mars tonight
// uses, in a chart and, beside it, a list a screen reader reads a night a line, with a feature of
// Mars to mark the nights it faces Earth while Mars is well placed. The nights are found off the
// GUI thread; a newer apparition or feature supersedes an older one.

#include "display/nights_scene.h"
#include "towns/towns.h"

#include <QFutureWatcher>
#include <QWidget>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;

namespace orvanta {

class NightsChartPicture;

// The place Mars tonight uses, as the settings keep it, else the town of the time zone; with
// the words it is shown by. None while no place is known.
struct ShownPlace {
    Place place;
    QString name;
};
std::optional<ShownPlace> placeOfMarsTonight();

class NightsTab : public QWidget {
  public:
    // For `place`, else the place Mars tonight uses.
    explicit NightsTab(QWidget* parent, std::optional<PlaceEntry> place = std::nullopt);
    // The apparition of the closest approach at `approachJd` (a UT Julian date).
    void showApproach(double approachJd);
    // The feature marked: an index into marsFeatures(), or -1 for none.
    void markFeature(int feature);
    NightsChartPicture* chart() const { return chart_; }
    QListWidget* list() const { return list_; }
    QComboBox* features() const { return features_; }
    // Whether nights or marks asked for are still being found.
    bool finding() const { return findingNights_ || findingFacing_; }

  protected:
    // The nights are found once the tab is shown, not for a window that never shows them.
    void showEvent(QShowEvent* e) override;

  private:
    void layOut();
    void findNights();
    void showNights(std::vector<ApparitionNight> nights);
    void findFacing();
    void fillList();
    std::optional<ShownPlace> place_;
    double wanted_ = 0;   // the approach asked for
    double approach_ = 0; // the approach shown, or being found
    NightsScene scene_;
    QLabel* placeLabel_;
    QComboBox* features_;
    QLabel* status_;
    NightsChartPicture* chart_;
    QListWidget* list_;
    QFutureWatcher<std::vector<ApparitionNight>> nights_;
    QFutureWatcher<std::vector<std::optional<double>>> facing_;
    bool findingNights_ = false, findingFacing_ = false;
};

} // namespace orvanta
