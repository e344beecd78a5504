#include "app/reminders.h"

#include "app/settings.h"
#include "display/number_text.h"
#include "ephemeris/closest_approach.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/time_scales.h"
#include "panes/texts.h"
#include "rules/reminder_schedule.h"
#include "rules/settings_text.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QMessageBox>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

namespace orvanta {

namespace {

// What is kept of the latest reminder shown: its approach's instant and the point,
// "2461456.508950/1".
QString approachKey(double approachJd) {
    return QString::number(approachJd, 'f', 6);
}

// To the nearest unit: a reminder comes a moment after its point, "in 30 days" and not 29.
QString untilText(double daysLeft) {
    const double hours = daysLeft * 24;
    if (hours >= 36) {
        return QStringLiteral("in %1 days").arg(qRound(daysLeft));
    }
    if (hours >= 22) {
        return QStringLiteral("in 1 day");
    }
    if (hours >= 2) {
        return QStringLiteral("in %1 hours").arg(qRound(hours));
    }
    if (hours * 60 >= 2) {
        return QStringLiteral("in %1 minutes").arg(qRound(hours * 60));
    }
    return daysLeft > 0 ? QStringLiteral("in a minute or less") : QStringLiteral("now");
}

// The latest point shown of the approach at `approachJd`, as the settings keep it; -1 for none.
int keptShown(double approachJd) {
    const std::optional<QString> text = readSetting(REMINDERS_SHOWN_SETTING);
    if (!text) {
        return -1;
    }
    const auto kept = settingReminderRecord(text->toStdString(), REMINDER_POINTS);
    if (kept && recordNames(kept->first, approachJd)) {
        return kept->second;
    }
    // A record of no approach at all would stop every reminder ahead of it, unseen.
    const std::optional<ClosestApproach> named =
        kept ? nextClosestApproachAfter(kept->first - RECORD_TOLERANCE_DAYS) : std::nullopt;
    if (!named || !recordNames(kept->first, named->julianDate)) {
        refuseSetting(REMINDERS_SHOWN_SETTING, *text,
                      QStringLiteral("a closest approach's UT Julian date, to within a minute, and "
                                     "a reminder from 0 to %1, such as 2461456.508950/1")
                          .arg(REMINDER_POINTS - 1));
        return -1;
    }
    // An approach before the one last reminded of belongs to a clock set back: it was reminded of
    // in its time, and what is kept must not go back to it.
    return approachJd < named->julianDate ? REMINDER_POINTS : -1;
}

// A reminder that reached nobody is offered to the notification service again this much later.
constexpr double UNDELIVERED_RETRY_DAYS = 5.0 / (24 * 60);

} // namespace

Reminders::Reminders(QObject& owner)
    : owner_(owner), enabled_(readFlagSetting(REMINDERS_SETTING, false)), next_(MOMENT_GRACE_DAYS) {
}

void Reminders::setEnabled(bool on) {
    enabled_ = on;
    saveSetting(REMINDERS_SETTING, on);
}

void Reminders::check(double now, QSystemTrayIcon* tray) {
    if (!enabled_) {
        return;
    }
    // The approach counted down to while it is ahead; once it has passed (2003's always has), the
    // next one.
    std::optional<ClosestApproach> approach = countedApproach();
    if (!approach || now > approach->julianDate + MOMENT_GRACE_DAYS) {
        approach = next_.at(now);
    }
    if (!approach) {
        return;
    }
    if (!approach_ || approach_->julianDate != approach->julianDate) {
        approach_ = approach;
        latestShown_ = keptShown(approach_->julianDate);
    }
    if (sending_ || now < retryAt_) {
        return;
    }
    if (const std::optional<int> point = dueReminder(approach_->julianDate, now, latestShown_)) {
        send(*approach_, *point, now, tray);
    }
}

void Reminders::record(double approachJd, int point) {
    undelivered_.reset();
    if (approach_ && approach_->julianDate == approachJd) {
        latestShown_ = std::max(latestShown_, point);
    }
    saveSetting(REMINDERS_SHOWN_SETTING,
                approachKey(approachJd) + QLatin1Char('/') + QString::number(point));
}

void Reminders::showUndelivered(QWidget* window) {
    if (!undelivered_) {
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Information, undelivered_->summary,
                                undelivered_->summary, QMessageBox::Ok, window);
    box->setTextFormat(Qt::PlainText); // never markup, whatever a zone's name holds
    box->setInformativeText(undelivered_->body);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
    record(undelivered_->approachJd, undelivered_->point);
}

void Reminders::send(const ClosestApproach& approach, int point, double now,
                     QSystemTrayIcon* tray) {
    const QString summary =
        QStringLiteral("Mars is closest to Earth ") + untilText(approach.julianDate - now);
    const QString body =
        QStringLiteral("%1 (local time): %2 km (%3 au) from Earth, %4 arcseconds across.")
            .arg(localMinuteText(approach.julianDate, "%Y-%m-%d %H:%M"),
                 QString::fromStdString(formatWholeThousands(approach.distanceAu * KM_PER_AU)),
                 fixedText(approach.distanceAu, 6), fixedText(approach.apparentDiameterArcsec, 2));

    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    notify << QStringLiteral("Orvanta") << 0u << QStringLiteral("org.orvanta.Orvanta") << summary
           << body << QStringList()
           << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("org.orvanta.Orvanta")}}
           << -1;
    // Not waited for: a notification service that hangs must not hang the window.
    sending_ = true;
    const double approachJd = approach.julianDate;
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(notify), &owner_);
    const auto answered = [this, tray = QPointer<QSystemTrayIcon>(tray), watcher, summary, body,
                           approachJd, point, now] {
        sending_ = false;
        watcher->deleteLater();
        if (!watcher->isError()) {
            record(approachJd, point);
            return;
        }
        // A StatusNotifierItem's message goes to the same service, and would be lost too.
        const QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
        const bool trayShowsMessages =
            tray && tray->isVisible() &&
            !(bus != nullptr &&
              bus->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")));
        if (trayShowsMessages) {
            tray->showMessage(summary, body, tray->icon());
            record(approachJd, point);
            return;
        }
        undelivered_ = Undelivered{approachJd, point, summary, body};
        retryAt_ = now + UNDELIVERED_RETRY_DAYS;
        if (auto* window = qobject_cast<QWidget*>(&owner_); window && window->isVisible()) {
            showUndelivered(window);
        }
    };
    // Without a session bus the call has failed already, and the watcher would never say so.
    if (watcher->isFinished()) {
        QTimer::singleShot(0, &owner_, answered);
    } else {
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &owner_, answered);
    }
}

} // namespace orvanta
