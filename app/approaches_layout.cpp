// The Approaches window's parts and where they stand: side by side where the window is wide, one
// under the other where it is narrow.

#include "app/approaches_window.h"
#include "app/night_red_setting.h"
#include "app/nights_tab.h"
#include "app/window_place.h"
#include "panes/distance_chart_picture.h"
#include "panes/loop_picture.h"
#include "panes/orbits_picture.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

namespace orvanta {

namespace {

// The pictures' least sizes where the window is narrow: still read at a glance.
constexpr int SMALLEST_WIDTH = 240;

// The window's parts, in its grid as the window's width has them.
struct Parts {
    QGridLayout* grid;
    QHBoxLayout* span; // the years, and the status and the choices beside them where there is room
    QWidget *spanRow, *status, *choices, *chart, *views, *list, *hint;
};

// The span above the chart, the pictures' tabs beside the list, and the hint below; where the
// window is narrow, all of them one under the other.
void arrangeParts(const Parts& p, bool wide) {
    for (QWidget* w : {p.spanRow, p.status, p.chart, p.views, p.list, p.hint}) {
        p.grid->removeWidget(w);
    }
    p.grid->removeWidget(p.choices);
    p.span->removeWidget(p.status);
    p.span->removeWidget(p.choices);
    for (int row = 0; row < 7; ++row) {
        p.grid->setRowStretch(row, 0);
    }
    qobject_cast<QBoxLayout*>(p.choices->layout())
        ->setDirection(wide ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    p.grid->addWidget(p.spanRow, 0, 0, 1, 2);
    if (wide) {
        p.span->insertWidget(p.span->count() - 1, p.status);
        p.span->addWidget(p.choices);
        p.grid->addWidget(p.chart, 1, 0, 1, 2);
        p.grid->addWidget(p.views, 2, 0);
        p.grid->addWidget(p.list, 2, 1);
        p.grid->addWidget(p.hint, 3, 0, 1, 2);
        p.grid->setRowStretch(1, 1);
        p.grid->setRowStretch(2, 1);
    } else {
        int row = 1;
        for (QWidget* w : {p.choices, p.status, p.chart, p.views, p.list, p.hint}) {
            p.grid->addWidget(w, row++, 0, 1, 2);
        }
        p.grid->setRowStretch(4, 1);
        p.grid->setRowStretch(5, 1);
    }
    p.grid->setColumnStretch(0, 1);
    p.grid->setColumnStretch(1, wide ? 1 : 0);
}

} // namespace

void ApproachesWindow::layOut() {
    auto* spanRow = new QWidget;
    auto* span = new QHBoxLayout(spanRow);
    span->setContentsMargins(0, 0, 0, 0);
    auto* from = new QLabel(QStringLiteral("&From"), this);
    auto* yearsShown = new QLabel(QStringLiteral("&years"), this);
    from->setBuddy(fromYear_);
    yearsShown->setBuddy(years_);
    for (QWidget* w : {static_cast<QWidget*>(from), static_cast<QWidget*>(fromYear_),
                       static_cast<QWidget*>(new QLabel(QStringLiteral("for"), this)),
                       static_cast<QWidget*>(years_), static_cast<QWidget*>(yearsShown)}) {
        span->addWidget(w);
    }
    span->addStretch();
    // The window's own choices: beside the years where there is room, else under them.
    auto* choices = new QWidget;
    auto* choicesRow = new QBoxLayout(QBoxLayout::LeftToRight, choices);
    choicesRow->setContentsMargins(0, 0, 0, 0);
    choicesRow->addWidget(nightRedTick(this), 0, Qt::AlignLeft);
    addCalendarControls(choicesRow);
    auto* hint = new QLabel(QStringLiteral("Click or use the arrow keys to see an approach; Enter "
                                           "or a double click counts down to it."),
                            this);
    hint->setWordWrap(true);
    layOutViews();
    auto* content = new FoldingContent;
    auto* grid = new QGridLayout(content);
    QWidget* list = layOutList();
    const Parts parts{grid, span, spanRow, status_, choices, chart_, views_, list, hint};
    const auto arrange = [parts, this](bool wide) {
        // The chart's dates and distances take their height whatever its width.
        chart_->setMinimumSize(wide ? QSize(640, 250) : QSize(SMALLEST_WIDTH, 320));
        for (QWidget* picture : {static_cast<QWidget*>(orbits_), static_cast<QWidget*>(loop_)}) {
            picture->setMinimumSize(wide ? QSize(330, 280) : QSize(SMALLEST_WIDTH, SMALLEST_WIDTH));
        }
        list_->setMinimumSize(wide ? 300 : 0, wide ? 0 : 160);
        arrangeParts(parts, wide);
        // The rows wrap anew to the list's width: the one picked is brought back into view.
        QTimer::singleShot(0, list_, [this] { list_->scrollToItem(list_->currentItem()); });
    };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new FoldingArea(this, content, 720, arrange));
    setMinimumSize(SMALLEST_WIDTH + 40, 360);
    setTabOrder(years_, chart_);
    // The tabs, then the picture shown in them (the other is hidden, so skipped), then the list.
    setTabOrder(chart_, views_);
    setTabOrder(views_, orbits_);
    setTabOrder(orbits_, loop_);
    setTabOrder(loop_, southUp_);
    setTabOrder(southUp_, list_);
    setTabOrder(list_, countDown_);
    setTabOrder(countDown_, times_);
    setTabOrder(times_, withOppositions_);
    setTabOrder(withOppositions_, addToCalendar_);
}

void ApproachesWindow::layOutViews() {
    views_->addTab(orbits_, QStringLiteral("Orbits"));
    views_->addTab(loop_, QStringLiteral("Among the stars"));
    views_->addTab(nights_, QStringLiteral("Nights"));
    // Beside the tabs, where it takes no height from the pictures, and only while it has a
    // picture to turn.
    views_->setCornerWidget(southUp_);
    southUp_->setVisible(false);
    connect(views_, &QTabWidget::currentChanged, southUp_,
            [this](int index) { southUp_->setVisible(views_->widget(index) == loop_); });
}

QWidget* ApproachesWindow::layOutList() {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* timesRow = new QHBoxLayout;
    auto* timesLabel = new QLabel(QStringLiteral("&Times:"), this);
    timesLabel->setBuddy(times_);
    timesRow->addWidget(timesLabel);
    timesRow->addWidget(times_);
    timesRow->addStretch();
    layout->addLayout(timesRow);
    layout->addWidget(list_, 1);
    layout->addWidget(countDown_, 0, Qt::AlignRight);
    return column;
}

} // namespace orvanta
