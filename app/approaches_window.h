#pragma once

// "Approaches": every closest approach of a span of years at a glance, in two pictures drawn from
// the same series and search, with a list beside them that is also what a screen reader reads: the
// Earth–Mars distance over the years with each minimum marked, and the orbits of Earth and Mars
// seen from above with the line between them at each approach, and, in a tab beside them, the
// loop Mars draws among the stars around the approach picked. Choosing an approach in either
// picture (a click, or Enter on the one picked with the arrow keys) or in the list (Enter or a
// double click) makes it the countdown's target; the list also offers 2003's and the next one.
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
class QSpinBox;
class QTabWidget;

class QCheckBox;
class QHBoxLayout;
class QPushButton;

namespace orvanta {

class DistanceChartPicture;
class LoopPicture;
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
    QSpinBox* fromYear() const { return fromYear_; }
    // Whether a new span is being found, the old one shown meanwhile.
    bool updating() const { return spans_.isRunning(); }
    // The span shown as an iCalendar file at `path`, with its oppositions and stationary points
    // where that is ticked, replaced whole or left as it was; the line that tells why not, or
    // empty. Said in the window either way.
    QString saveCalendar(const QString& path);
    QCheckBox* calendarWithOppositions() const { return withOppositions_; }

  private:
    void layOut();
    // The calendar's tick and button, at the end of `row`; in approaches_calendar.cpp.
    void addCalendarControls(QHBoxLayout* row);
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
    QTabWidget* views_;
    double loopOf_ = 0; // the approach the loop was made for
    QListWidget* list_;
    QTimer minute_;
    QCheckBox* withOppositions_ = nullptr;
    QPushButton* addToCalendar_ = nullptr;
};

} // namespace orvanta
