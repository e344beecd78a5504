// The Approaches window's calendar: the span shown, written as orvanta-state --ics writes it.

#include "app/approaches_window.h"
#include "app/replace_file.h"
#include "app/settings.h"
#include "display/calendar_file.h"
#include "ephemeris/julian_date.h"
#include "panes/texts.h"
#include "rules/warning.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <cstring>

namespace orvanta {

namespace {

constexpr const char* WITH_OPPOSITIONS_KEY = "approaches/calendarOppositions";

} // namespace

void ApproachesWindow::addCalendarControls(QBoxLayout* row) {
    withOppositions_ = new QCheckBox(QStringLiteral("With &oppositions"), this);
    withOppositions_->setToolTip(QStringLiteral("The calendar also holds each opposition of Mars "
                                                "and the two stationary points around it"));
    withOppositions_->setAccessibleName(
        QStringLiteral("The calendar with oppositions and stationary points"));
    withOppositions_->setChecked(readFlagSetting(WITH_OPPOSITIONS_KEY, false));
    connect(withOppositions_, &QCheckBox::toggled, this,
            [](bool on) { saveSetting(WITH_OPPOSITIONS_KEY, on); });
    addToCalendar_ = new QPushButton(QStringLiteral("&Add to calendar…"), this);
    addToCalendar_->setToolTip(QStringLiteral("Save these years' closest approaches as an "
                                              "iCalendar file for a calendar program to import"));
    connect(addToCalendar_, &QPushButton::clicked, this, [this] { addToCalendar(); });
    row->addWidget(withOppositions_, 0, Qt::AlignLeft);
    row->addWidget(addToCalendar_, 0, Qt::AlignLeft);
}

void ApproachesWindow::addToCalendar() {
    const QString suggested = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                              QStringLiteral("/mars-%1-%2.ics")
                                  .arg(calendarOfJulianDate(scene_.chart.fromJd).year)
                                  .arg(calendarOfJulianDate(scene_.chart.toJd).year);
    QFileDialog dialog(this, QStringLiteral("Add to calendar"), suggested,
                       QStringLiteral("iCalendar files (*.ics)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("ics")); // what calendar programs look for
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        saveCalendar(dialog.selectedFiles().constFirst());
    }
}

QString ApproachesWindow::saveCalendar(const QString& path) {
    const Apparitions events =
        calendarEvents(scene_.chart.fromJd, scene_.chart.toJd, withOppositions_->isChecked());
    QString problem;
    int error = 0;
    if (calendarEventCount(events) == 0) {
        problem = QStringLiteral("no closest approach in these years");
    } else {
        std::string text;
        appendCalendar(text, events, readUtcClock());
        error = replaceFile(QFile::encodeName(path).toStdString(), text);
        problem = error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : QString();
    }
    const QString shown = echoed(path, '\0', std::string::npos);
    if (problem.isEmpty()) {
        status_->setText(QStringLiteral("%1 events saved in %2: import it in a calendar program.")
                             .arg(calendarEventCount(events))
                             .arg(shown));
        return {};
    }
    QString line =
        QStringLiteral("the calendar is not saved in %1 (%2): what was there is left as it was")
            .arg(shown, problem);
    status_->setText(QStringLiteral("The calendar is not saved (%1).").arg(problem));
    warn(line.toStdString());
    return line;
}

} // namespace orvanta
