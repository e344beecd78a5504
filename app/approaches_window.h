#pragma once

// "Approaches": every closest approach of a span of years at a glance, in two pictures drawn from
// the same series and search, with a list beside them that is also what a screen reader reads: the
// Earth–Mars distance over the years with each minimum marked, and the orbits of Earth and Mars
// seen from above with the line between them at each approach, and, in a tab beside them, the
// loop Mars draws among the stars around the approach picked. Picking an approach (a click, the
// arrow keys) only shows it, in both pictures, the list and the loop; counting down to it is an act
// of its own: Enter or a double click in either picture or the list, or the button beside the
// list. The list also offers 2003's and the next one.
// "Add to calendar…" saves the span's approaches as an iCalendar file, as orvanta-state --ics does.

#include "display/approaches_scene.h"
#include "ephemeris/encounter_state.h"

#include <QFutureWatcher>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <utility>

class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;

class QCheckBox;
class QComboBox;
class QBoxLayout;
class QPushButton;

namespace orvanta {

class DistanceChartPicture;
class LoopPicture;
class NightsTab;
class OrbitsPicture;

constexpr const char* APPROACHES_WINDOW_TITLE = "Approaches";

class ApproachesWindow : public QWidget {
  public:
    using Choose = std::function<void(const CountdownChoice&)>;
    // The span from `fromYear` over `years`, or by default from 15 years before now to 32 years
    // after it; a choice is handed to `choose`.
    // `southUp`: the loop drawn as from the southern hemisphere at first.
    explicit ApproachesWindow(Choose choose, int fromYear = 0, int years = 0, bool southUp = false);

    // Now and the countdown's target, anew from the clock and the countdown's choice.
    void refresh();
    const ApproachesScene& scene() const { return scene_; }
    DistanceChartPicture* chart() const { return chart_; }
    QListWidget* list() const { return list_; }
    LoopPicture* loop() const { return loop_; }
    QTabWidget* views() const { return views_; }
    NightsTab* nights() const { return nights_; }
    QSpinBox* fromYear() const { return fromYear_; }
    QPushButton* countDownButton() const { return countDown_; }
    // The list's times in UT or on the computer's clock, a choice kept in the settings.
    QComboBox* times() const { return times_; }
    // Whether a new span is being found, the old one shown meanwhile.
    bool updating() const { return spans_.isRunning(); }
    // Shows the approach `index` of the scene (-1: none) as a click on it does, the countdown
    // left as it is.
    void select(int index);
    // Counts down to what the list has picked: an approach, 2003's or the next one.
    void countDownToSelected();
    // The span shown as an iCalendar file at `path`, with its oppositions and stationary points
    // where that is ticked, replaced whole or left as it was; the line that tells why not, or
    // empty. Said in the window either way.
    QString saveCalendar(const QString& path);
    QCheckBox* calendarWithOppositions() const { return withOppositions_; }

  private:
    // The span above the two pictures, the list beside the orbits, and the hint below; where the
    // window is narrow, all of them one under the other, in a scroll area.
    void layOut();
    // The list with its clock above it and the button that counts down to the row picked below.
    QWidget* layOutList();
    // The pictures' tabs, the loop's "South up" beside them.
    void layOutViews();
    // The calendar's tick and button, at the end of `row`; in approaches_calendar.cpp.
    void addCalendarControls(QBoxLayout* row);
    void addToCalendar();
    // A year is taken when its box is done with, not at each keystroke.
    void takeYearsWhenTyped();
    // The span of the boxes found off the GUI thread; a newer request supersedes an older one.
    void requestSpan();
    // The span the boxes' text gives while it is typed, begun at once, so that it is ready, or
    // nearly, when the pause takes it.
    void findAhead();
    void showSpan(ApproachesSpan span);
    void pick(int index, bool choose);
    // "Approaches 1995-2041", "Mars among the stars, 2027-02-20".
    QString pictureName(const QWidget& picture) const;
    // The list's rows wrap, its clock is the one kept, and a row picked is shown; Enter or a double
    // click counts down to it.
    void setUpList();
    void fillList();
    // The loop of the approach picked, else of the one counted to, else of the next one.
    void showLoop();
    Choose choose_;
    ApproachesScene scene_;
    QSpinBox* fromYear_;
    QSpinBox* years_;
    QLabel* status_;
    QTimer pause_; // a pause in typing a year is taken as its end
    QFutureWatcher<ApproachesSpan> spans_;
    std::pair<int, int> aheadYears_{0, 0}; // the first year and the year after the last
    QFuture<ApproachesSpan> ahead_;
    DistanceChartPicture* chart_;
    OrbitsPicture* orbits_;
    LoopPicture* loop_;
    QCheckBox* southUp_;
    NightsTab* nights_;
    QTabWidget* views_;
    double loopOf_ = 0; // the approach the loop was made for
    QComboBox* times_;
    QListWidget* list_;
    QPushButton* countDown_;
    QTimer minute_;
    QCheckBox* withOppositions_ = nullptr;
    QPushButton* addToCalendar_ = nullptr;
};

} // namespace orvanta
