#include "app/countdown_setting.h"

#include "app/settings.h"
#include "ephemeris/closest_approach.h"
#include "rules/settings_text.h"

namespace orvanta {

void loadCountdownChoice() {
    const QString kept = readSetting(COUNTDOWN_SETTING).value_or(QString());
    CountdownChoice choice;
    if (kept.isEmpty()) {
        choice.target = readFlagSetting(NEXT_APPROACH_SETTING, false) ? CountdownTarget::Next
                                                                      : CountdownTarget::Of2003;
    } else if (kept == QLatin1String("next")) {
        choice.target = CountdownTarget::Next;
    } else if (kept != QLatin1String("2003")) {
        // An approach's instant, as the search gives it today: a file edited by hand, or kept by
        // another version, must name one to within a day.
        const std::optional<double> jd =
            settingNumber(kept.toStdString(), FIRST_SEARCHED_JD + 1.0, LAST_SEARCHED_JD - 1.0);
        const std::vector<ClosestApproach> near =
            jd ? findClosestApproaches(*jd - 1.0, *jd + 1.0) : std::vector<ClosestApproach>();
        if (near.size() == 1) {
            choice = {CountdownTarget::Chosen, near.front().julianDate};
        } else {
            refuseSetting(COUNTDOWN_SETTING, kept,
                          QStringLiteral("2003, next or the Julian date of a closest approach "
                                         "(counting down to the one of 2003)"));
        }
    }
    setCountdownChoice(choice);
}

void saveCountdownChoice(const CountdownChoice& choice) {
    saveSetting(COUNTDOWN_SETTING, choice.target == CountdownTarget::Of2003 ? QStringLiteral("2003")
                                   : choice.target == CountdownTarget::Next
                                       ? QStringLiteral("next")
                                       : QString::number(choice.chosenJd, 'f', 6));
}

} // namespace orvanta
