#include "app/approaches_window.h"

#include "app/night_red_setting.h"
#include "app/nights_tab.h"
#include "app/settings.h"
#include "app/wall_clock.h"
#include "app/window_place.h"
#include "display/number_text.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/time_scales.h"
#include "panes/distance_chart_picture.h"
#include "panes/loop_picture.h"
#include "panes/orbits_picture.h"
#include "panes/picture_menu.h"
#include "panes/texts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

// "2027-02-20 00:13 UT", or on the computer's clock "2027-02-20 01:13 CET", to the nearest minute.
QString minuteOf(double jd, bool local) {
    if (local) {
        return zonedMinuteText(jd, computerZone(), true, QStringLiteral("yyyy-MM-dd HH:mm"));
    }
    return QString::fromStdString(isoText(nearestMinute(jd), false))
               .replace(QLatin1Char('T'), QLatin1Char(' ')) +
           QStringLiteral(" UT");
}

constexpr const char* TIMES_SETTING = "approaches/times";

bool keptLocalTimes() {
    const std::optional<QString> kept = readSetting(TIMES_SETTING);
    if (kept && *kept != QLatin1String("ut") && *kept != QLatin1String("local")) {
        refuseSetting(TIMES_SETTING, *kept, QStringLiteral("ut or local"));
    }
    return kept == QLatin1String("local");
}

double megaKm(const ClosestApproach& a) {
    return a.distanceAu * KM_PER_AU / 1e6;
}

// Approaches come two years apart: within a day of the target is the target.
constexpr double SAME_APPROACH_DAYS = 1.0;

// Approaches are found up to 6000: the first year goes as far as the span still ends there.
constexpr int LAST_APPROACH_YEAR = 6000;

QFuture<ApproachesSpan> spanOfYears(std::pair<int, int> years) {
    return QtConcurrent::run([years] {
        return approachesSpan(julianDateOfYear(years.first), julianDateOfYear(years.second));
    });
}

} // namespace

ApproachesWindow::ApproachesWindow(Choose choose, int fromYear, int years, bool southUp)
    : choose_(std::move(choose)), fromYear_(new QSpinBox(this)), years_(new QSpinBox(this)),
      status_(new QLabel(this)),
      chart_(new DistanceChartPicture(this, scene_, [this](int i, bool c) { pick(i, c); })),
      orbits_(new OrbitsPicture(this, scene_, [this](int i, bool c) { pick(i, c); })),
      loop_(new LoopPicture(this)), southUp_(new QCheckBox(QStringLiteral("South up"), this)),
      nights_(new NightsTab(this)), views_(new QTabWidget(this)), times_(new QComboBox(this)),
      list_(new QListWidget(this)),
      countDown_(new QPushButton(QStringLiteral("&Count down to this approach"), this)) {
    southUp_->setChecked(southUp);
    southUp_->setToolTip(QStringLiteral("The loop south up, east on the right, as it is seen from "
                                        "the southern hemisphere"));
    southUp_->setAccessibleName(QStringLiteral("South up, as seen from the southern hemisphere"));
    connect(southUp_, &QCheckBox::toggled, loop_, &LoopPicture::setSouthUp);
    setWindowTitle(QString::fromLatin1(APPROACHES_WINDOW_TITLE));
    namePictures(*this, [this](const QWidget& picture) { return pictureName(picture); });
    status_->setTextFormat(Qt::PlainText);
    const int thisYear = calendarOfJulianDate(julianDateValue(currentJulianDate())).year;
    years_->setRange(5, 200);
    years_->setValue(years != 0 ? years : 47);
    years_->setAccessibleName(QStringLiteral("Years shown"));
    fromYear_->setRange(FIRST_YEAR, LAST_APPROACH_YEAR - years_->value());
    fromYear_->setValue(fromYear != 0 ? fromYear : thisYear - 15);
    fromYear_->setAccessibleName(QStringLiteral("From the year"));
    chart_->setAccessibleName(QStringLiteral("Distance over the years"));
    orbits_->setAccessibleName(QStringLiteral("Orbits from above"));
    list_->setAccessibleName(QStringLiteral("Closest approaches"));
    setUpList();

    layOut();
    takeYearsWhenTyped();
    connect(&spans_, &QFutureWatcher<ApproachesSpan>::finished, this,
            [this] { showSpan(spans_.result()); });
    connect(countDown_, &QPushButton::clicked, this, [this] { countDownToSelected(); });
    minute_.callOnTimeout(this, [this] { refresh(); });
    minute_.start(60000);
    resize(1000, 720); // within a 1366 x 768 screen, with its panel and the title bar
    // The first span at once, so that the window opens on it.
    showSpan(approachesSpan(julianDateOfYear(fromYear_->value()),
                            julianDateOfYear(fromYear_->value() + years_->value())));
    countDown_->setEnabled(list_->currentRow() >= 0); // nothing to count down to yet
}

void ApproachesWindow::takeYearsWhenTyped() {
    // A year is taken when the user has finished it (Enter, leaving the box, the arrows, or a
    // pause in typing), not at each keystroke: "2030" is not the years 2, 20 and 203 first. A
    // pause of a second and a half lets one who looks for each key type four digits; the span
    // typed is begun at each keystroke, so that even the longest span is shown as the pause ends,
    // or nearly.
    pause_.setSingleShot(true);
    pause_.setInterval(1500);
    for (QSpinBox* box : {fromYear_, years_}) {
        box->setKeyboardTracking(false);
        connect(box, &QSpinBox::valueChanged, this, [this] {
            pause_.stop();
            fromYear_->setMaximum(LAST_APPROACH_YEAR - years_->value());
            requestSpan();
        });
        // Without keyboard tracking the box tells nothing while typing; its line edit does.
        connect(box->findChild<QLineEdit*>(), &QLineEdit::textEdited, this, [this] {
            pause_.start();
            findAhead();
        });
    }
    pause_.callOnTimeout(this, [this] {
        fromYear_->interpretText();
        years_->interpretText();
    });
}

void ApproachesWindow::requestSpan() {
    const int from = fromYear_->value(), last = from + years_->value();
    status_->setText(QStringLiteral("Finding the approaches of %1 to %2…").arg(from).arg(last));
    const std::pair years{from, last};
    spans_.setFuture(years == aheadYears_ ? ahead_ : spanOfYears(years));
}

void ApproachesWindow::findAhead() {
    bool fromRead = false, yearsRead = false;
    const int from = fromYear_->cleanText().toInt(&fromRead);
    const int years = years_->cleanText().toInt(&yearsRead);
    const bool taken = fromRead && yearsRead && from >= fromYear_->minimum() &&
                       years >= years_->minimum() && years <= years_->maximum() &&
                       from + years <= LAST_APPROACH_YEAR;
    if (taken && std::pair{from, from + years} != aheadYears_) {
        aheadYears_ = {from, from + years};
        ahead_ = spanOfYears(aheadYears_);
    }
}

// The approach picked stays picked where the new span has it too.
void ApproachesWindow::showSpan(ApproachesSpan span) {
    const std::vector<ClosestApproach>& before = scene_.chart.approaches;
    const double picked =
        scene_.picked >= 0 ? before[static_cast<std::size_t>(scene_.picked)].julianDate : 0;
    scene_.chart = std::move(span.chart);
    scene_.topAu = span.topAu;
    const std::vector<ClosestApproach>& now = scene_.chart.approaches;
    const auto same = std::find_if(
        now.begin(), now.end(), [&](const ClosestApproach& a) { return a.julianDate == picked; });
    const int keep = same != now.end() ? static_cast<int>(same - now.begin()) : -1;
    scene_.picked = keep;
    status_->clear();
    refresh();
    list_->setCurrentRow(keep >= 0 ? keep + 2 : -1);
    scene_.picked = keep;
}

// The span shown (which may be older than the boxes while a new one is found), or the loop's
// approach.
QString ApproachesWindow::pictureName(const QWidget& picture) const {
    const auto dateOf = [](double jd) {
        const UtcClockReading at = calendarOfJulianDate(jd);
        return QDate(at.year, at.month, at.day).toString(Qt::ISODate);
    };
    if (&picture == loop_ && loop_->scene()) {
        return QStringLiteral("Mars among the stars, ") +
               dateOf(loop_->scene()->loop.approach.julianDate);
    }
    const std::vector<DistanceSample>& curve = scene_.chart.curve;
    const int from =
        curve.empty() ? fromYear_->value() : calendarOfJulianDate(curve.front().utJd).year;
    const int to =
        curve.empty() ? from + years_->value() : calendarOfJulianDate(curve.back().utJd).year;
    return QStringLiteral("%1 %2-%3")
        .arg(QString::fromLatin1(APPROACHES_WINDOW_TITLE))
        .arg(from)
        .arg(to);
}

void ApproachesWindow::pick(int index, bool choose) {
    scene_.picked = index;
    list_->setCurrentRow(index + 2);
    if (choose) {
        choose_({CountdownTarget::Chosen,
                 scene_.chart.approaches[static_cast<std::size_t>(index)].julianDate});
    }
    chart_->update();
    orbits_->update();
    showLoop();
}

void ApproachesWindow::select(int index) {
    if (index < 0) {
        list_->setCurrentRow(-1);
    } else if (index < static_cast<int>(scene_.chart.approaches.size())) {
        pick(index, false);
    }
}

void ApproachesWindow::countDownToSelected() {
    const int row = list_->currentRow();
    if (row >= 2) {
        pick(row - 2, true);
    } else if (row >= 0) {
        choose_({row == 0 ? CountdownTarget::Of2003 : CountdownTarget::Next});
    }
}

void ApproachesWindow::showLoop() {
    const std::vector<ClosestApproach>& all = scene_.chart.approaches;
    int shown = scene_.picked >= 0 ? scene_.picked : scene_.target;
    if (shown < 0) {
        const auto next = std::find_if(all.begin(), all.end(), [&](const ClosestApproach& a) {
            return a.julianDate > scene_.now;
        });
        shown = next != all.end() ? static_cast<int>(next - all.begin())
                                  : static_cast<int>(all.size()) - 1;
    }
    if (shown < 0) {
        loop_->setScene(std::nullopt, QStringLiteral("No closest approach in these years."));
        loopOf_ = 0;
        return;
    }
    const ClosestApproach& approach = all[static_cast<std::size_t>(shown)];
    nights_->showApproach(approach.julianDate);
    if (approach.julianDate == loopOf_) {
        return; // the minute's refresh leaves it as it is
    }
    loopOf_ = approach.julianDate;
    const std::optional<MarsLoop> loop = marsLoopAround(approach);
    loop_->setScene(loop ? std::optional<LoopScene>(loopScene(*loop, southUp_->isChecked()))
                         : std::nullopt,
                    QStringLiteral("Mars's loop of %1 lies beyond the years the series holds.")
                        .arg(dayText(approach.julianDate)));
}

void ApproachesWindow::refresh() {
    scene_.now = julianDateValue(currentJulianDate());
    scene_.orbits = orbitsFromAbove(scene_.chart.approaches, scene_.now);
    const double target = countdownTargetJd();
    scene_.target = -1;
    for (std::size_t i = 0; i < scene_.chart.approaches.size(); ++i) {
        if (std::fabs(scene_.chart.approaches[i].julianDate - target) < SAME_APPROACH_DAYS) {
            scene_.target = static_cast<int>(i);
        }
    }
    fillList();
    chart_->update();
    orbits_->update();
    showLoop();
}

// "2027-02-20 00:12 UT: 101.42 million km, 13.84″ across, magnitude -1.2" (or its time on the
// computer's clock), the one counted to said so.
void ApproachesWindow::setUpList() {
    // Every row wraps to the list's width, so that no scroll bar across it hides the one picked.
    list_->setWordWrap(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setResizeMode(QListView::Adjust);
    connect(list_, &QListWidget::currentItemChanged, list_,
            [this](QListWidgetItem* item) { list_->scrollToItem(item); });
    times_->addItems({QStringLiteral("UT"), QStringLiteral("Local")});
    times_->setItemData(1, QStringLiteral("On this computer's clock"), Qt::ToolTipRole);
    times_->setAccessibleName(QStringLiteral("Times in the list"));
    times_->setCurrentIndex(keptLocalTimes() ? 1 : 0);
    connect(times_, &QComboBox::currentIndexChanged, this, [this](int index) {
        saveSetting(TIMES_SETTING, QString::fromLatin1(index == 1 ? "local" : "ut"));
        fillList();
    });
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        scene_.picked = row >= 2 ? row - 2 : -1;
        countDown_->setEnabled(row >= 0);
        chart_->update();
        orbits_->update();
        showLoop();
    });
    // Not the list's "activated": where the desktop opens items with a single click, it would
    // count down on a click that was meant to show.
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { countDownToSelected(); });
    auto* enter = new QAction(list_);
    enter->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    enter->setShortcutContext(Qt::WidgetShortcut);
    connect(enter, &QAction::triggered, this, [this] { countDownToSelected(); });
    list_->addAction(enter);
}

void ApproachesWindow::fillList() {
    const CountdownChoice choice = countdownChoice();
    const std::optional<ClosestApproach>& next = nextApproachAt(scene_.now);
    QStringList rows = {
        QStringLiteral("2003: the approach of 27 August 2003"),
        QStringLiteral("The next one") +
            (next ? QStringLiteral(", on ") + dayText(next->julianDate) : QString())};
    const CountdownTarget target = effectiveCountdownTarget();
    int counted = target == CountdownTarget::Of2003 ? 0 : target == CountdownTarget::Next ? 1 : -1;
    const DistanceChart& c = scene_.chart;
    for (std::size_t i = 0; i < c.approaches.size(); ++i) {
        const ClosestApproach& a = c.approaches[i];
        rows << QStringLiteral("%1: %2 million km, %3%4 across, magnitude %5")
                    .arg(minuteOf(a.julianDate, times_->currentIndex() == 1),
                         fixedText(megaKm(a), 2), fixedText(a.apparentDiameterArcsec, 2),
                         QChar(0x2033), fixedText(a.magnitude, 1));
        if (choice.target == CountdownTarget::Chosen && a.julianDate == choice.chosenJd) {
            counted = static_cast<int>(i) + 2;
        }
    }
    if (counted >= 0) {
        rows[counted] += QStringLiteral(" (counting down to it)");
    }
    const int current = list_->currentRow();
    if (list_->count() != rows.size()) {
        list_->clear();
        list_->addItems(rows);
    }
    for (int row = 0; row < rows.size(); ++row) {
        QListWidgetItem* item = list_->item(row);
        item->setText(rows[row]);
        QFont font = item->font();
        font.setBold(row == counted);
        item->setFont(font);
    }
    list_->setCurrentRow(std::min(current, static_cast<int>(rows.size()) - 1));

    chart_->setAccessibleDescription(
        QStringLiteral("The distance between Earth and Mars from %1 to %2, with its %3 closest "
                       "approaches; the list beside tells each.")
            .arg(calendarOfJulianDate(c.fromJd).year)
            .arg(calendarOfJulianDate(c.toJd).year)
            .arg(c.approaches.size()));
    orbits_->setAccessibleDescription(
        QStringLiteral("The orbits of Earth and Mars seen from above, with the line from Earth to "
                       "Mars at each closest approach, and where both are now."));
}

} // namespace orvanta
