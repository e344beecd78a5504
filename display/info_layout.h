#pragma once

// Where the info pane's boxes and lines go in its picture, from the two layout units of the text
// (height h, average character width w) and the pane's client width. Pure arithmetic.

#include "display/info_text.h"

namespace orvanta {

// The picture the boxes are drawn on, before it is stretched onto the pane.
constexpr int INFO_PICTURE_WIDTH = 195;
constexpr int INFO_PICTURE_HEIGHT = 450;

constexpr int INFO_MAX_LINES_PER_BOX = 4;

struct InfoRect {
    int left, top, right, bottom; // right and bottom exclusive
    friend bool operator==(const InfoRect&, const InfoRect&) = default;
};

struct InfoBoxPlace {
    InfoRect rect; // the title's clipping rectangle: the title's top down to the frame's bottom
    int lineTops[INFO_MAX_LINES_PER_BOX];
};

struct InfoPlaces {
    int lineLeft;
    InfoBoxPlace boxes[INFO_BOX_COUNT];
};

InfoPlaces placeInfoBoxes(int textHeight, int averageWidth, int clientWidth);

} // namespace orvanta
