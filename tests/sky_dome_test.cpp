// The sky dome's labels where they crowd: what the words refer to keeps its label first.

#include "app/sky_window.h"
#include "panes/sky_dome.h"
#include "tests/pinned_at.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace orvanta {
namespace {

// The hours around Mars's highest keep theirs over the names of the stars about them: Tokyo on
// the night of the 2033 approach (highest at 23:06 JST, in Sagittarius, among many names) and
// Buenos Aires on the 2031 one's (00:09 ART, in Libra).
TEST(SkyDome, TheHoursAroundTheHighestKeepTheirLabels) {
    const struct {
        UtcClockReading at;
        Place place;
        QStringList hours;
    } cases[] = {
        {{2033, 7, 5, 14, 0, 0}, {35.6895, 139.6917, 40}, {"22", "23", "00"}},
        {{2031, 5, 12, 3, 0, 0}, {-34.6131, -58.3772, 25}, {"23", "00", "01"}},
    };
    for (const auto& c : cases) {
        const PinnedAt pinned(c.at);
        SkyWindow window(c.place);
        window.show();
        auto* dome = dynamic_cast<SkyDome*>(window.childAt(20, 20));
        ASSERT_NE(dome, nullptr);
        dome->grab();
        const QStringList& shown = dome->labelsShown();
        SCOPED_TRACE(shown.join(' ').toStdString());
        for (const QString& hour : c.hours) {
            EXPECT_TRUE(shown.contains(hour)) << hour.toStdString();
        }
        // Names are still given where there is room: the dome is not left bare.
        EXPECT_GT(shown.size(), c.hours.size() + 2);
    }
}

} // namespace
} // namespace orvanta
