#include "display/info_layout.h"

namespace orvanta {

namespace {
constexpr int BOX_LEFT = 10;
constexpr int BOX_RIGHT_MARGIN = 10;
constexpr int FIRST_TOP = 20;
// Each box's bottom lies this many text heights below the previous box's bottom (the first's
// below FIRST_TOP): a title line, its text lines and half a line of room above and below them.
constexpr int BOX_HEIGHTS[INFO_BOX_COUNT] = {4, 7, 5, 6};
} // namespace

InfoPlaces placeInfoBoxes(int h, int w, int clientWidth) {
    InfoPlaces places{};
    places.lineLeft = BOX_LEFT + w;
    InfoRect rect{BOX_LEFT, FIRST_TOP, clientWidth - BOX_RIGHT_MARGIN, FIRST_TOP};
    for (int b = 0; b < INFO_BOX_COUNT; ++b) {
        if (b > 0) {
            rect.top = rect.bottom + h;
        }
        rect.bottom += BOX_HEIGHTS[b] * h;
        InfoBoxPlace& place = places.boxes[b];
        place.rect = rect;
        // Lines hang from half a line above the frame's top; the halving rounds down.
        const int base = rect.top + h - (h >> 1);
        for (int n = 0; n < INFO_BOXES[b].lineCount; ++n) {
            place.lineTops[n] = base + (n + 1) * h;
        }
    }
    return places;
}

} // namespace orvanta
