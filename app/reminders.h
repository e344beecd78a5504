#pragma once

// Reminders of the closest approach counted down to (or, once that has passed, of the next one),
// for those who ask for them: a desktop notification 30 days, 7 days and 1 day before it and at
// its moment, each once, through the notification service on the session bus; without that
// service, through the tray icon's own message; without a tray, none. What was shown is kept in
// the settings file, so a restart or a clock set back never shows it again.

#include "ephemeris/closest_approach.h"

#include <optional>

class QObject;
class QSystemTrayIcon;

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

  private:
    void send(const ClosestApproach& approach, double now, QSystemTrayIcon* tray);
    QObject& owner_;
    bool enabled_;
    // The approach reminded of and the latest point shown for it; the next approach as last
    // searched from `searchedFrom_`.
    std::optional<ClosestApproach> approach_;
    int latestShown_ = -1;
    std::optional<ClosestApproach> next_;
    double searchedFrom_ = 0.0;
};

} // namespace orvanta
