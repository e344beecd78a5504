#pragma once

// The info pane: four captioned boxes of text over a background picture, composed anew on every
// paint at the picture's own size and stretched onto the whole pane.

#include "display/info_layout.h"

#include <QImage>
#include <QWidget>

class QPainter;

namespace orvanta {

class InfoPane : public QWidget {
  public:
    explicit InfoPane(QWidget* parent);

  protected:
    void paintEvent(QPaintEvent*) override;
};

// The 195 x 450 picture with the boxes laid out for a pane `paneWidth` wide, the texts as of now,
// composed at `ratio` device pixels per picture pixel so that text and frames stay sharp.
QImage composeInfoPicture(int paneWidth, qreal ratio);

// The layout units of the shipped font: text height and average character width.
struct TextUnits {
    int height;
    int averageWidth;
};
TextUnits infoTextUnits();

// Draws the title centred at the rectangle's top, then the black outer and white inner frame below
// it; leaves the rectangle's top on the frame's top, one text height further down.
void drawCaptionedBox(QPainter& painter, InfoRect& rect, const char* title, int textHeight);

} // namespace orvanta
