#pragma once

#include <QCloseEvent>
#include <QDialog>

namespace orvanta {

// A modal box that only its OK button closes: Escape and the close box leave it open.
class AboutBox : public QDialog {
  public:
    explicit AboutBox(QWidget* owner);

    void reject() override {} // Escape

  protected:
    void closeEvent(QCloseEvent* e) override { e->ignore(); }
};

} // namespace orvanta
