// The orbit diagram rendered for real (Mesa's software OpenGL through the Qt layer), read back from
// the pane's pixels at a fixed instant: where the sprites are, what the photograph, the trails and
// the triangle do to the picture.

#include "display/diagram_pane.h"
#include "display/diagram_scene.h"
#include "display/program.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/utc_clock.h"
#include "tests/support.h"

#include <QImage>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace orvanta;

namespace {

constexpr int WIDTH = 440;
constexpr int HEIGHT = 480;

WindowHandle pane() {
    static const WindowHandle created = [] {
        appInstance = currentInstance();
        const WindowHandle parent =
            plainWindow(WindowStyle::FixedTopLevel, {}, Rect{0, 0, WIDTH, HEIGHT});
        const WindowHandle pane = createOrbitDiagramPane(parent);
        moveWindow(pane, 0, 0, WIDTH, HEIGHT, true);
        showWindow(parent);
        showWindow(pane);
        return pane;
    }();
    return created;
}

struct Scene {
    QImage picture;
    Vec3 earth, mars;
    std::array<TrailPoint, EARTH_TRAIL_POINTS> earthTrail;
    std::array<TrailPoint, MARS_TRAIL_POINTS> marsTrail;
};

// The pane rendered at a clock reading, and what the picture is checked against.
Scene render(const UtcClockReading& reading) {
    const FixedUtcClock clock(reading);
    computeEncounterState();
    sendMessage(pane(), MSG_TIMER, TIMER_DIAGRAM, 0);
    Scene s{windowPicture(pane()), encounterState.earth, encounterState.mars, {}, {}};
    const double now = julianDateValue(currentJulianDate());
    traceTrail(EARTH_TRAIL, now, s.earthTrail.data(), EARTH_TRAIL_POINTS);
    traceTrail(MARS_TRAIL, now, s.marsTrail.data(), MARS_TRAIL_POINTS);
    return s;
}

const UtcClockReading CLOSEST{2003, 8, 27, 9, 52, 19};

const Scene& closest() {
    static const Scene rendered = render(CLOSEST);
    return rendered;
}

// Pane pixels of a point in AU: one AU is 110 pixels across and HEIGHT / 4 high.
QPointF toPixels(double x, double y) {
    return QPointF(WIDTH / 2.0 + x * WIDTH / 4.0, HEIGHT / 2.0 - y * HEIGHT / 4.0);
}

// The photograph alone at a pane pixel: linear filtering of the 256 x 256 texture stretched over
// the pane, bottom row of the picture at the bottom.
QColor photographAt(int px, int py) {
    static const std::uint8_t* bgr = resourceBytes({}, IDB_MARS_PHOTO).data() + 40;
    const double u = (px + 0.5) / WIDTH * 256 - 0.5;
    const double v = (HEIGHT - py - 0.5) / HEIGHT * 256 - 0.5; // rows counted from the bottom
    const int u0 = static_cast<int>(std::floor(u)), v0 = static_cast<int>(std::floor(v));
    const double fu = u - u0, fv = v - v0;
    double channel[3] = {};
    for (int dv = 0; dv < 2; ++dv) {
        for (int du = 0; du < 2; ++du) {
            const int x = (u0 + du + 256) % 256, y = (v0 + dv + 256) % 256; // repeat
            const double weight = (du ? fu : 1 - fu) * (dv ? fv : 1 - fv);
            for (int c = 0; c < 3; ++c) {
                channel[c] += weight * bgr[(y * 256 + x) * 3 + c];
            }
        }
    }
    return QColor(qRound(channel[2]), qRound(channel[1]), qRound(channel[0]));
}

double distanceToTrail(QPointF p, const TrailPoint* trail, int count) {
    double nearest = 1e9;
    for (int i = 0; i + 1 < count; ++i) {
        const QPointF a = toPixels(trail[i].x, trail[i].y);
        const QPointF ab = toPixels(trail[i + 1].x, trail[i + 1].y) - a;
        const double t =
            std::clamp(QPointF::dotProduct(p - a, ab) / QPointF::dotProduct(ab, ab), 0.0, 1.0);
        const QPointF d = p - (a + t * ab);
        nearest = std::min(nearest, std::hypot(d.x(), d.y()));
    }
    return nearest;
}

bool nearTrails(const Scene& s, QPointF p, double within) {
    return distanceToTrail(p, s.earthTrail.data(), EARTH_TRAIL_POINTS) < within ||
           distanceToTrail(p, s.marsTrail.data(), MARS_TRAIL_POINTS) < within;
}

// How far inside the Sun-Earth-Mars triangle a point is, in pixels; negative outside.
double insideTriangle(const Scene& s, QPointF p) {
    const QPointF corners[] = {toPixels(0, 0), toPixels(s.earth.x, s.earth.y),
                               toPixels(s.mars.x, s.mars.y)};
    double inner = 1e9, outer = -1e9;
    for (int i = 0; i < 3; ++i) {
        const QPointF a = corners[i], ab = corners[(i + 1) % 3] - a;
        const double side =
            (ab.x() * (p.y() - a.y()) - ab.y() * (p.x() - a.x())) / std::hypot(ab.x(), ab.y());
        inner = std::min(inner, side);
        outer = std::max(outer, side);
    }
    return std::max(inner, -outer); // whichever way round the corners go
}

int difference(QColor a, QColor b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue())});
}

// Away from the trails, the triangle and the sprites, the picture is the photograph, upright.
TEST(DiagramPicture, ThePhotographFillsThePaneUpright) {
    const Scene& s = closest();
    ASSERT_EQ(s.picture.size(), QSize(WIDTH, HEIGHT));
    int compared = 0, differing = 0;
    for (int py = 2; py < HEIGHT; py += 7) {
        for (int px = 2; px < WIDTH; px += 7) {
            const QPointF p(px + 0.5, py + 0.5);
            bool covered = nearTrails(s, p, 3) || insideTriangle(s, p) >= -2;
            for (const Vec3& planet : {s.earth, s.mars}) {
                const QPointF sprite = toPixels(planet.x, planet.y);
                covered |= std::abs(p.x() - sprite.x()) < 14 && std::abs(p.y() - sprite.y()) < 15;
            }
            if (!covered) {
                ++compared;
                differing += difference(s.picture.pixelColor(px, py), photographAt(px, py)) > 3;
            }
        }
    }
    EXPECT_GT(compared, 3000);
    EXPECT_LT(differing, compared / 200) << "of " << compared;
}

// Each sprite's picture matches the pane best where the state puts the planet, to the pixel; its
// keyed corners let the photograph through.
TEST(DiagramPicture, SpritesSitAtTheirPlanets) {
    const Scene& s = closest();
    struct SpriteCase {
        Vec3 planet;
        int bitmapId;
        double halfSize;
    };
    const SpriteCase sprites[] = {{s.earth, IDB_EARTH_SPRITE, EARTH_SPRITE_HALF_SIZE},
                                  {s.mars, IDB_MARS_SPRITE, MARS_SPRITE_HALF_SIZE}};
    for (const SpriteCase& c : sprites) {
        const std::uint8_t* bgr = resourceBytes({}, c.bitmapId).data() + 40;
        const QPointF centre = toPixels(c.planet.x, c.planet.y);
        const double halfWidth = c.halfSize * WIDTH / 4, halfHeight = c.halfSize * HEIGHT / 4;
        const int left = int(centre.x() - halfWidth), top = int(centre.y() - halfHeight);
        // The sprite's texels under the pane's pixels, away from the edge of its disc, where
        // filtering mixes it with the photograph.
        std::vector<std::pair<QPoint, QColor>> texels;
        for (int py = top; py <= int(centre.y() + halfHeight); ++py) {
            for (int px = left; px <= int(centre.x() + halfWidth); ++px) {
                const int x = int((px + 0.5 - centre.x() + halfWidth) / (2 * halfWidth) * 32);
                const int y = int((centre.y() + halfHeight - py - 0.5) / (2 * halfHeight) * 32);
                bool inside = x >= 1 && x <= 30 && y >= 1 && y <= 30;
                for (int dy = -1; inside && dy <= 1; ++dy) {
                    for (int dx = -1; inside && dx <= 1; ++dx) {
                        const std::uint8_t* n = bgr + ((y + dy) * 32 + x + dx) * 3;
                        inside = n[0] + n[1] + n[2] >= 64;
                    }
                }
                if (inside) {
                    const std::uint8_t* t = bgr + (y * 32 + x) * 3;
                    texels.emplace_back(QPoint(px, py), QColor(t[2], t[1], t[0]));
                }
            }
        }
        QPoint best;
        double bestScore = 1e18;
        for (int oy = -3; oy <= 3; ++oy) {
            for (int ox = -3; ox <= 3; ++ox) {
                double score = 0;
                for (const auto& [at, texel] : texels) {
                    score += difference(s.picture.pixelColor(at + QPoint(ox, oy)), texel);
                }
                if (score < bestScore) {
                    bestScore = score;
                    best = QPoint(ox, oy);
                }
            }
        }
        EXPECT_LE(std::abs(best.x()), 1) << "sprite " << c.bitmapId;
        EXPECT_LE(std::abs(best.y()), 1) << "sprite " << c.bitmapId;
        const QPoint corner(left + 1, top + 1);
        if (!nearTrails(s, QPointF(corner) + QPointF(0.5, 0.5), 3)) {
            EXPECT_LE(
                difference(s.picture.pixelColor(corner), photographAt(corner.x(), corner.y())), 3)
                << "sprite " << c.bitmapId;
        }
    }
}

// The trails darken the photograph along the computed paths, most at their present ends.
TEST(DiagramPicture, TrailsDarkenMostWhereTheyAreNew) {
    const Scene& s = closest();
    struct TrailCase {
        const TrailPoint* points;
        int recent, old;
    };
    const TrailCase trails[] = {{s.earthTrail.data(), 12, 160}, {s.marsTrail.data(), 10, 200}};
    for (const TrailCase& t : trails) {
        // The darkest pixel around the middle of a segment, against the photograph there.
        auto darkening = [&](int i) {
            const QPointF mid = (toPixels(t.points[i].x, t.points[i].y) +
                                 toPixels(t.points[i + 1].x, t.points[i + 1].y)) /
                                2;
            double darkest = 1.0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int x = int(mid.x()) + dx, y = int(mid.y()) + dy;
                    const double photo = qGray(photographAt(x, y).rgb());
                    darkest =
                        std::min(darkest, qGray(s.picture.pixel(x, y)) / std::max(photo, 1.0));
                }
            }
            return darkest;
        };
        EXPECT_LT(darkening(t.recent), 0.6);
        EXPECT_GT(darkening(t.old), 0.9);
    }
}

// Inside the triangle the photograph goes a tenth of the way to dark red.
TEST(DiagramPicture, TheTriangleTintsItsInside) {
    // At opposition the triangle is a sliver: half a year earlier it is wide.
    const Scene s = render({2003, 1, 1, 0, 0, 0});
    double shown[3] = {}, photo[3] = {};
    int pixels = 0;
    for (int py = 0; py < HEIGHT; ++py) {
        for (int px = 0; px < WIDTH; ++px) {
            const QPointF p(px + 0.5, py + 0.5);
            if (insideTriangle(s, p) > 1.5 && !nearTrails(s, p, 3) &&
                std::hypot(p.x() - WIDTH / 2.0, p.y() - HEIGHT / 2.0) < 90) {
                const QColor a = s.picture.pixelColor(px, py), b = photographAt(px, py);
                shown[0] += a.red(), shown[1] += a.green(), shown[2] += a.blue();
                photo[0] += b.red(), photo[1] += b.green(), photo[2] += b.blue();
                ++pixels;
            }
        }
    }
    ASSERT_GT(pixels, 50);
    EXPECT_NEAR(shown[0] / pixels, 0.9 * photo[0] / pixels + 0.1 * 127.5, 2);
    EXPECT_NEAR(shown[1] / pixels, 0.9 * photo[1] / pixels, 2);
    EXPECT_NEAR(shown[2] / pixels, 0.9 * photo[2] / pixels, 2);
}

// A height of 0 leaves nothing to copy; the next size renders the whole picture again.
TEST(DiagramPicture, AZeroHeightAndBack) {
    const QImage expected = closest().picture;
    const FixedUtcClock clock(CLOSEST);
    computeEncounterState();
    moveWindow(pane(), 0, 0, WIDTH, 0, true);
    EXPECT_EQ(diagramTarget.width, WIDTH);
    EXPECT_EQ(diagramTarget.height, 0);
    moveWindow(pane(), 0, 0, WIDTH, HEIGHT, true);
    EXPECT_EQ(windowPicture(pane()), expected);
}

} // namespace
