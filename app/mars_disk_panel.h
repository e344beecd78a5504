#pragma once

// The telescope's disk of Mars twice, now and at tonight's upper transit, each with its figures
// above it, and the mirror choice, kept in the settings.

#include <QWidget>
#include <optional>

class QCheckBox;
class QLabel;

namespace orvanta {

class MarsDiskView;

class MarsDiskPanel : public QWidget {
  public:
    explicit MarsDiskPanel(QWidget* parent);
    void setInstants(double now, std::optional<double> transit);
    MarsDiskView* view(int which) const { return views_[which]; }
    QCheckBox* mirror() const { return mirror_; }

  private:
    MarsDiskView* views_[2];
    QLabel* captions_[2];
    QCheckBox* mirror_;
    std::optional<double> transit_;
};

} // namespace orvanta
