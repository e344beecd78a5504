#include "app/approaches_window.h"

#include "display/number_text.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/time_scales.h"
#include "panes/distance_chart_picture.h"
#include "panes/loop_picture.h"
#include "panes/orbits_picture.h"
#include "panes/texts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

// "2027-02-20 00:13 UT", to the nearest minute.
QString minuteOf(double jd) {
    return QString::fromStdString(isoText(nearestMinute(jd), false))
               .replace(QLatin1Char('T'), QLatin1Char(' ')) +
           QStringLiteral(" UT");
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
      views_(new QTabWidget(this)), list_(new QListWidget(this)) {
    southUp_->setChecked(southUp);
    southUp_->setToolTip(QStringLiteral("The loop south up, east on the right, as it is seen from "
                                        "the southern hemisphere"));
    southUp_->setAccessibleName(QStringLiteral("South up, as seen from the southern hemisphere"));
    connect(southUp_, &QCheckBox::toggled, loop_, &LoopPicture::setSouthUp);
    setWindowTitle(QString::fromLatin1(APPROACHES_WINDOW_TITLE));
    status_->setTextFormat(Qt::PlainText);
    const int thisYear = calendarOfJulianDate(julianDateValue(currentJulianDate())).year;
    years_->setRange(5, 200);
    years_->setValue(years != 0 ? years : 47);
    years_->setAccessibleName(QStringLiteral("Years shown"));
    fromYear_->setRange(FIRST_YEAR, LAST_APPROACH_YEAR - years_->value());
    fromYear_->setValue(fromYear != 0 ? fromYear : thisYear - 15);
    fromYear_->setAccessibleName(QStringLiteral("From the year"));
    chart_->setMinimumSize(720, 290);
    chart_->setAccessibleName(QStringLiteral("Distance over the years"));
    orbits_->setMinimumSize(330, 310);
    orbits_->setAccessibleName(QStringLiteral("Orbits from above"));
    list_->setAccessibleName(QStringLiteral("Closest approaches"));
    list_->setMinimumWidth(380);

    layOut();
    takeYearsWhenTyped();
    connect(&spans_, &QFutureWatcher<ApproachesSpan>::finished, this,
            [this] { showSpan(spans_.result()); });
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        scene_.picked = row >= 2 ? row - 2 : -1;
        chart_->update();
        orbits_->update();
        showLoop();
    });
    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const int row = list_->row(item);
        if (row >= 2) {
            pick(row - 2, true);
        } else {
            choose_({row == 0 ? CountdownTarget::Of2003 : CountdownTarget::Next});
        }
    });
    minute_.callOnTimeout(this, [this] { refresh(); });
    minute_.start(60000);
    resize(1000, 720); // within a 1366 x 768 screen, with its panel and the title bar
    // The first span at once, so that the window opens on it.
    showSpan(approachesSpan(julianDateOfYear(fromYear_->value()),
                            julianDateOfYear(fromYear_->value() + years_->value())));
}

void ApproachesWindow::takeYearsWhenTyped() {
    // A year is taken when the user has finished it (Enter, leaving the box, the arrows, or a
    // pause in typing), not at each keystroke: "2030" is not the years 2, 20 and 203 first. A
    // quarter of a second is longer than most typists leave between two digits; the span typed
    // is begun at each keystroke, so that even the longest span is shown as the pause ends, or
    // nearly.
    pause_.setSingleShot(true);
    pause_.setInterval(250);
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

// The span above the two pictures, the list beside the orbits, and the hint below.
void ApproachesWindow::layOut() {
    auto* span = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(new QLabel(QStringLiteral("From"), this)),
                       static_cast<QWidget*>(fromYear_),
                       static_cast<QWidget*>(new QLabel(QStringLiteral("for"), this)),
                       static_cast<QWidget*>(years_),
                       static_cast<QWidget*>(new QLabel(QStringLiteral("years"), this))}) {
        span->addWidget(w);
    }
    span->addSpacing(12);
    span->addWidget(status_);
    span->addStretch();
    addCalendarControls(span);
    auto* hint = new QLabel(QStringLiteral("Count down to an approach: a click on it in a picture, "
                                           "or Enter on it there or in the list."),
                            this);
    hint->setWordWrap(true);
    auto* layout = new QGridLayout(this);
    layout->addLayout(span, 0, 0, 1, 2);
    layout->addWidget(chart_, 1, 0, 1, 2);
    views_->addTab(orbits_, QStringLiteral("Orbits"));
    views_->addTab(loop_, QStringLiteral("Among the stars"));
    // Beside the tabs, where it takes no height from the pictures, and only while it has a
    // picture to turn.
    views_->setCornerWidget(southUp_);
    southUp_->setVisible(false);
    connect(views_, &QTabWidget::currentChanged, southUp_,
            [this](int index) { southUp_->setVisible(views_->widget(index) == loop_); });
    layout->addWidget(views_, 2, 0);
    layout->addWidget(list_, 2, 1);
    layout->addWidget(hint, 3, 0, 1, 2);
    layout->setRowStretch(1, 1);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    setTabOrder(years_, chart_);
    // The tabs, then the picture shown in them (the other is hidden, so skipped), then the list.
    setTabOrder(chart_, views_);
    setTabOrder(views_, orbits_);
    setTabOrder(orbits_, loop_);
    setTabOrder(loop_, southUp_);
    setTabOrder(southUp_, list_);
    setTabOrder(list_, withOppositions_);
    setTabOrder(withOppositions_, addToCalendar_);
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

// "2027-02-20 00:12 UT: 101.42 million km, 13.84″ across, magnitude -1.2", the one counted to
// said so.
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
                    .arg(minuteOf(a.julianDate), fixedText(megaKm(a), 2),
                         fixedText(a.apparentDiameterArcsec, 2), QChar(0x2033),
                         fixedText(a.magnitude, 1));
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
