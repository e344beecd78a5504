#pragma once

// The info pane: four captioned boxes of text over a background picture, composed at the picture's
// own size and stretched onto the whole pane. The background, titles and frames are composed once
// for a size; a refresh draws again only the boxes whose text has changed, and repaints only the
// rows of the pane they reach.

#include "display/info_layout.h"
#include "panes/accessible.h"

#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

class QPainter;

namespace orvanta {

// The layout units of the shipped font: text height and average character width.
struct TextUnits {
    int height;
    int averageWidth;
};
TextUnits infoTextUnits();

// The 195 x 450 picture with the boxes laid out for a pane `paneWidth` wide, composed at `ratio`
// device pixels per picture pixel so that text and frames stay sharp.
class InfoPicture {
  public:
    InfoPicture(int paneWidth, qreal ratio);
    // Draws again the boxes whose lines differ from those drawn before; returns the picture's
    // pixels changed.
    QRect update(const InfoText& text);
    const QImage& image() const { return picture_; }
    const InfoText& text() const { return shown_; }
    const InfoPlaces& places() const { return places_; }
    int paneWidth() const { return paneWidth_; }
    qreal ratio() const { return ratio_; }

  private:
    int paneWidth_;
    qreal ratio_;
    TextUnits units_;
    InfoPlaces places_;
    std::array<std::string, INFO_BOX_COUNT> titles_; // as drawn into the frame
    QImage frame_;                                   // the background with the titles and frames
    QImage picture_;                                 // and the lines
    InfoText shown_{};
    bool shownOnce_ = false;
};

// The picture as of now, composed whole.
QImage composeInfoPicture(int paneWidth, qreal ratio);
// The lines as of the encounter state and the clock now.
InfoText currentInfoText();

class InfoPane;

// One box of the pane as the keyboard and a screen reader meet it: it lies over its box, draws
// nothing but a focus frame while the keyboard has brought the focus to it, and reads as the box's
// title and lines.
class InfoBoxWidget : public QWidget {
  public:
    InfoBoxWidget(InfoPane* pane, int index);
    QString title() const;
    // The box's lines as drawn, joined as a sentence is read: "25.11 arcseconds, Magnitude: -2.88".
    QString text() const;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    InfoPane* pane_;
    int index_;
    KeyboardFocusFrame* focusFrame_ = new KeyboardFocusFrame(this);
};

class InfoPane : public QWidget {
  public:
    explicit InfoPane(QWidget* parent);
    // Brings the picture up to the encounter state and the clock, and repaints what changed; tells
    // screen readers of changed boxes, at most once a minute each unless the box has the focus.
    void refresh();
    // The picture as composed for the pane now.
    const InfoPicture& picture();
    InfoBoxWidget* box(int index) const { return boxes_[index]; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent*) override;

  private:
    void announceChanges();
    std::optional<InfoPicture> picture_;
    InfoBoxWidget* boxes_[INFO_BOX_COUNT];
    struct Announced {
        QString text;
        std::int64_t at = 0; // the clock's second when it was announced
    };
    Announced announced_[INFO_BOX_COUNT];
};

// Draws the title centred at the rectangle's top, then the black outer and white inner frame below
// it; leaves the rectangle's top on the frame's top, one text height further down.
void drawCaptionedBox(QPainter& painter, InfoRect& rect, const char* title, int textHeight);

} // namespace orvanta
