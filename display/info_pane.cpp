#include "display/info_pane.h"

#include "display/info_layout.h"
#include "display/program.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/utc_clock.h"

using namespace orvanta;

namespace {

// Both live from the pane's creation to its destruction; there is one info pane per process.
SurfaceHandle infoPaneDc;
SurfaceHandle infoMemoryDc;

constexpr Colour WHITE{255, 255, 255};

Rect toRect(const InfoRect& r) {
    return Rect{r.left, r.top, r.right, r.bottom};
}

void paint(WindowHandle pane) {
    const PictureHandle background = loadPicture(appInstance, IDB_INFO_BACKGROUND);
    const PictureHandle previous = selectPicture(infoMemoryDc, background);
    const TextMetrics metrics = textMetrics(infoMemoryDc);
    const InfoPlaces places =
        placeInfoBoxes(metrics.height, metrics.averageWidth, clientRect(pane).width());
    // One reading for both time lines, so the date and the clock agree.
    const InfoText text = buildInfoText(encounterState, calendarTimeOf(readUtcClock()));

    const InfoLine* line = text.lines;
    for (int b = 0; b < INFO_BOX_COUNT; ++b) {
        Rect rect = toRect(places.boxes[b].rect);
        drawCaptionedBox(infoMemoryDc, rect, INFO_BOXES[b].title, metrics.height);
        for (int n = 0; n < INFO_BOXES[b].lineCount; ++n, ++line) {
            drawText(infoMemoryDc, Point{places.lineLeft, places.boxes[b].lineTops[n]},
                     line->view());
        }
    }
    // The picture's fixed size, not the loaded picture's: whatever was loaded is stretched alike.
    stretchSurface(infoPaneDc, clientRect(pane), infoMemoryDc,
                   Rect{0, 0, INFO_PICTURE_WIDTH, INFO_PICTURE_HEIGHT});
    selectPicture(infoMemoryDc, previous);
    deletePicture(background);
    validateWindow(pane);
}

} // namespace

WindowHandle createInfoPane(WindowHandle parent) {
    if (!registerWindowClass(WindowClass{INFO_PANE_CLASS, &infoPaneWndProc, appInstance, 0, true,
                                         ClassBackground::Gray})) {
        return {};
    }
    return createWindow(INFO_PANE_CLASS, "", WindowStyle::Child, parent, Rect{0, 0, 10, 10});
}

MessageResult infoPaneWndProc(WindowHandle pane, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) {
    switch (message) {
    case MSG_CREATE:
        infoPaneDc = windowSurface(pane);
        infoMemoryDc = createMemorySurface(infoPaneDc);
        setTextColour(infoMemoryDc, WHITE);
        return 0;
    case MSG_DESTROY:
        releaseWindowSurface(pane, infoPaneDc);
        deleteMemorySurface(infoMemoryDc);
        return 0;
    case MSG_PAINT:
        paint(pane);
        return 0;
    case MSG_ERASE_BACKGROUND:
        return 1; // the whole pane is painted over: the class's gray is never shown
    default:
        return defaultWindowProc(pane, message, wParam, lParam);
    }
}

void drawCaptionedBox(SurfaceHandle surface, Rect& rect, const char* title, int textHeight) {
    drawCenteredText(surface, rect, title);
    rect.top += textHeight;
    drawRoundedOutline(surface, rect, Pen::Black);
    drawRoundedOutline(surface, Rect{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1},
                       Pen::White);
}
