#pragma once

// Reminders of the closest approach counted down to (or, once that has passed, of the next one),
// for those who ask for them: a desktop notification 30 days, 7 days and 1 day before it and at
// its moment, each once, through the notification service on the session bus; without that
// service, through the tray icon's own message where the tray shows one (an XEmbed tray; a
// StatusNotifierItem's messages need that service too); else in a box when the window next opens,
// and through the service again a few minutes on. A reminder counts as shown only once it was:
// then it is kept in the settings file, so a restart or a clock set back never shows it again.

#include "ephemeris/closest_approach.h"
#include "ephemeris/next_approach.h"

#include <QString>
#include <optional>

class QObject;
class QSystemTrayIcon;
class QWidget;

namespace orvanta {

constexpr const char* REMINDERS_SETTING = "reminders/beforeApproach";
constexpr const char* REMINDERS_SHOWN_SETTING = "reminders/shown";

class Reminders {
  public:
    // `owner` keeps the calls to the notification service that are under way.
    explicit Reminders(QObject& owner);

    bool enabled() const { return enabled_; }
    // Kept in the settings file.
    void setEnabled(bool on);
    // At every refresh, with the clock's instant (UT) and the tray icon if there is one: sends the
    // reminder that is due, if any.
    void check(double now, QSystemTrayIcon* tray);
    // A reminder that reached nobody (no notification service, no tray that shows messages of
    // its own), shown in a box over `window` when it opens.
    void showUndelivered(QWidget* window);
    bool undelivered() const { return undelivered_.has_value(); }

  private:
    void send(const ClosestApproach& approach, int point, double now, QSystemTrayIcon* tray);
    // Counts the point as shown, and keeps it so.
    void record(double approachJd, int point);
    QObject& owner_;
    bool enabled_;
    // The approach reminded of and the latest point shown for it; the next approach, kept while
    // its moment's reminder may still come.
    std::optional<ClosestApproach> approach_;
    int latestShown_ = -1;
    NextApproach next_;
    // A reminder on its way to the notification service, or one that reached nobody: not again
    // before `retryAt_`.
    bool sending_ = false;
    double retryAt_ = 0.0;
    struct Undelivered {
        double approachJd;
        int point;
        QString summary, body;
    };
    std::optional<Undelivered> undelivered_;
};

} // namespace orvanta
