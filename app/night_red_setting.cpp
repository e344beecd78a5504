#include "app/night_red_setting.h"

#include "app/settings.h"
#include "panes/night_red.h"

#include <QCheckBox>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace orvanta {

namespace {

std::vector<QPointer<QCheckBox>>& ticks() {
    static std::vector<QPointer<QCheckBox>> open;
    return open;
}

// The window in the mode again as it is shown, and as a child is added: what it makes after its
// tick (a completer's list, a hint below the tick) takes the mode too.
class Follower : public QObject {
  public:
    explicit Follower(QCheckBox* tick) : QObject(tick), tick_(tick) {}

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if ((event->type() == QEvent::Show || event->type() == QEvent::ChildPolished) &&
            tick_->isChecked()) {
            showInNightRed(tick_->window(), true);
        }
        return false;
    }

  private:
    QCheckBox* tick_;
};

} // namespace

QCheckBox* nightRedTick(QWidget* window) {
    auto* tick = new QCheckBox(QStringLiteral("Red night mode"), window);
    tick->setObjectName(QStringLiteral("nightRed"));
    tick->setToolTip(QStringLiteral("Dark reds on black, to keep the eyes used to the dark"));
    window->installEventFilter(new Follower(tick));
    QObject::connect(tick, &QCheckBox::toggled, window,
                     [window](bool on) { showInNightRed(window, on); });
    tick->setChecked(readFlagSetting(NIGHT_RED_SETTING, false));
    // Only the user's click is saved; the other windows' ticks follow it.
    QObject::connect(tick, &QCheckBox::clicked, tick, [](bool on) { chooseNightRed(on); });
    std::erase_if(ticks(), [](const QPointer<QCheckBox>& t) { return t.isNull(); });
    ticks().emplace_back(tick);
    return tick;
}

void chooseNightRed(bool on) {
    saveSetting(NIGHT_RED_SETTING, on);
    for (const QPointer<QCheckBox>& tick : ticks()) {
        if (!tick.isNull()) {
            tick->setChecked(on);
        }
    }
}

} // namespace orvanta
