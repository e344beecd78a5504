#pragma once

// The red night mode of the windows an observer keeps open at the eyepiece: every colour becomes a
// dark red of its brightness on black, so that the eye keeps its adaptation to the dark. One
// mapping for everything: the painted pictures are mapped pixel by pixel once they are painted
// (photographs, sprites and text alike), and so are the Qt widgets, drawn in a palette of greys
// that the mapping makes dark reds; the popups they open take those reds themselves.

#include <QPalette>
#include <QRgb>

class QImage;
class QWidget;

namespace orvanta {

// The brightest red the mode shows: white becomes it.
constexpr int NIGHT_RED_CAP = 170;

// A colour's night form: red only, as bright as the colour (capped at NIGHT_RED_CAP), with its
// alpha. Also right on premultiplied pixels: the red never exceeds the alpha.
QRgb nightRed(QRgb colour);
void toNightRed(QImage& image);
// The colours of the widgets in the mode, and of the popups they open, each role's own red.
QPalette nightRedPalette();

// `window` and all it shows in the mode, or back as it was. Its children are mapped as they
// paint; those it makes later take the mode when they are first shown.
void showInNightRed(QWidget* window, bool on);

} // namespace orvanta
