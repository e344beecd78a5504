// The info pane's picture as the Qt layer composes it: frame lines on the exact pixels the layout
// gives, titles centred, the stretch to other client sizes.

#include "display/info_layout.h"
#include "display/info_pane.h"
#include "display/program.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/utc_clock.h"
#include "tests/support.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace orvanta;

namespace {

// One pane for the whole program, as in the widget: its class registers once.
WindowHandle pane() {
    static const WindowHandle created = [] {
        appInstance = currentInstance();
        const WindowHandle parent = plainWindow(WindowStyle::FixedTopLevel, {}, {0, 0, 400, 900});
        const WindowHandle pane = createInfoPane(parent);
        showWindow(parent);
        showWindow(pane);
        return pane;
    }();
    return created;
}

// The pane at a client size, painted at the closest approach, as the screen would show it.
QImage paneAt(int width, int height) {
    const FixedUtcClock clock({2003, 8, 27, 9, 52, 19});
    computeEncounterState();
    moveWindow(pane(), 0, 0, width, height, true);
    return windowPicture(pane());
}

bool isBlack(QRgb p) {
    return qRed(p) < 40 && qGreen(p) < 40 && qBlue(p) < 40;
}
bool isWhite(QRgb p) {
    return qRed(p) > 215 && qGreen(p) > 215 && qBlue(p) > 215;
}

// At 195 x 450 the stretch is one to one: the composed picture itself.
TEST(InfoPanePicture, FramesAndTitlesOnTheirPixels) {
    const QImage picture = paneAt(INFO_PICTURE_WIDTH, INFO_PICTURE_HEIGHT);
    ASSERT_EQ(picture.size(), QSize(195, 450));
    const TextMetrics metrics = textMetrics(SurfaceHandle{});
    EXPECT_EQ(metrics.height, 16) << "the shipped font's height";
    const InfoPlaces places = placeInfoBoxes(metrics.height, metrics.averageWidth, 195);

    for (int b = 0; b < INFO_BOX_COUNT; ++b) {
        const InfoRect title = places.boxes[b].rect;
        const int top = title.top + metrics.height; // the frame's top
        const int bottom = title.bottom;
        SCOPED_TRACE(testing::Message() << "box " << b + 1);
        // Straight edges, away from the rounded corners: black outside, white just inside.
        auto edge = [&](int x, int y, int inX, int inY) {
            return isBlack(picture.pixel(x, y)) && isWhite(picture.pixel(x + inX, y + inY));
        };
        for (int x = title.left + 12; x < title.right - 12; ++x) {
            EXPECT_TRUE(edge(x, top, 0, 1) && edge(x, bottom - 1, 0, -1)) << x;
        }
        for (int y = top + 12; y < bottom - 12; ++y) {
            EXPECT_TRUE(edge(title.left, y, 1, 0) && edge(title.right - 1, y, -1, 0)) << y;
        }
        // The corner pixel lies outside the rounding (seen where the sky behind it is light).
        if (b == 0) {
            EXPECT_FALSE(isBlack(picture.pixel(title.left, top)) ||
                         isWhite(picture.pixel(title.left, top)));
        }

        // The title's white pixels are centred on the boxes' middle, 97.5.
        int left = 195, right = -1;
        for (int y = title.top; y < top; ++y) {
            for (int x = title.left; x < title.right; ++x) {
                if (isWhite(picture.pixel(x, y))) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        ASSERT_GE(right, left);
        EXPECT_NEAR((left + right + 1) / 2.0, 97.5, 1.0);
    }
}

// Twice the picture's size doubles it; the boxes, laid out for the wider client, run past the
// picture's right edge and are cut there, together with the right halves of the titles.
TEST(InfoPanePicture, ADoubledClientCutsTheBoxesAtThePicturesEdge) {
    const QImage single = paneAt(195, 450);
    const QImage doubled = paneAt(390, 900);
    ASSERT_EQ(doubled.size(), QSize(390, 900));
    const TextMetrics metrics = textMetrics(SurfaceHandle{});
    const InfoPlaces places = placeInfoBoxes(metrics.height, metrics.averageWidth, 390);
    const int frameTop = places.boxes[0].rect.top + metrics.height;
    // The top frame line reaches the right edge; no right frame line is left to see.
    for (int x = 2 * 20; x < 390; x += 7) {
        EXPECT_LT(qGray(doubled.pixel(x, 2 * frameTop)), 60) << x;
    }
    // The single picture's right frame line, at x = 184, is not drawn into the doubled one.
    EXPECT_TRUE(isBlack(single.pixel(184, frameTop + 20)));
    EXPECT_FALSE(isBlack(doubled.pixel(2 * 184, 2 * (frameTop + 20))));
    // Centred on the picture's x = 195, the titles keep only their left halves.
    int right = -1;
    for (int y = 2 * 20; y < 2 * frameTop; ++y) {
        for (int x = 0; x < 390; ++x) {
            if (isWhite(doubled.pixel(x, y))) {
                right = std::max(right, x);
            }
        }
    }
    EXPECT_GT(right, 2 * 150);
}

TEST(InfoPanePicture, DegenerateClientsAreHarmless) {
    for (const QSize size : {QSize(5, 450), QSize(195, 0), QSize(0, 0), QSize(1, 1)}) {
        const QImage picture = paneAt(size.width(), size.height());
        if (!size.isEmpty()) {
            EXPECT_EQ(picture.size(), size);
        }
    }
    EXPECT_EQ(paneAt(195, 450).size(), QSize(195, 450)); // and it paints again after them
}

} // namespace
