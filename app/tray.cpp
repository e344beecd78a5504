#include "app/tray.h"

#include "app/main_window.h"
#include "display/number_text.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "panes/texts.h"

#include <QActionGroup>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>

namespace orvanta {

namespace {

// Qt settles once, when the first tray icon is made, whether icons go over D-Bus (as
// StatusNotifierItems) or into an X11 tray. On Wayland only D-Bus can carry one, so the icon is not
// made there before a panel hosts such items: made earlier, at login before the panel, it would
// never show.
bool trayIconMayBeMade() {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        return true;
    }
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcher, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << watcher << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 1000);
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1 &&
           qvariant_cast<QDBusVariant>(reply.arguments().at(0)).variant().toBool();
}

} // namespace

Tray::Tray(QObject* parent, bool reminding, Handlers handlers)
    : QObject(parent), handlers_(std::move(handlers)), menu_(std::make_unique<QMenu>()) {
    menu_->addAction(QStringLiteral("&About"), this, [this] { handlers_.about(); });
    // The choice of what to count down to: 2003's approach, the next one, or the one last chosen
    // in the Approaches window, one of them ticked. The next one's date is told anew as the menu
    // opens, since approaches pass while it stays closed.
    QMenu* countdown = menu_->addMenu(QStringLiteral("&Count down to"));
    connect(countdown, &QMenu::aboutToShow, this, [this] { nameNextApproach(); });
    auto* choices = new QActionGroup(countdown);
    const char* const texts[] = {"&2003", "The &next one", ""};
    for (std::size_t i = 0; i < countdownItems_.size(); ++i) {
        QAction* item = countdown->addAction(QString::fromLatin1(texts[i]));
        item->setCheckable(true);
        item->setActionGroup(choices);
        const auto target = static_cast<CountdownTarget>(i);
        connect(item, &QAction::triggered, this, [this, item, target] {
            handlers_.choose({target, item->data().toDouble()});
        });
        countdownItems_[i] = item;
    }
    markCountdownChoice();
    QAction* remind = menu_->addAction(QStringLiteral("&Remind me before approaches"));
    remind->setCheckable(true);
    remind->setChecked(reminding);
    connect(remind, &QAction::toggled, this, [this](bool on) { handlers_.remind(on); });
    menu_->addAction(QStringLiteral("&Mars tonight…"), this, [this] { handlers_.sky(); });
    menu_->addAction(QStringLiteral("A&pproaches…"), this, [this] { handlers_.approaches(); });
    // Ticked from what is there each time the menu opens, whoever made or removed it since; and
    // after a click, which may have changed nothing.
    QAction* login = menu_->addAction(QStringLiteral("Start at &login"));
    login->setCheckable(true);
    const auto showLogin = [this, login] { login->setChecked(handlers_.startsAtLogin()); };
    showLogin();
    connect(menu_.get(), &QMenu::aboutToShow, login, showLogin);
    connect(login, &QAction::triggered, this, [this, showLogin](bool on) {
        handlers_.startAtLogin(on);
        showLogin();
    });
    menu_->addSeparator();
    // Queued: Exit may come from inside the About box's loop, which has to unwind first.
    menu_->addAction(
        QStringLiteral("E&xit"), this, [this] { handlers_.exit(); }, Qt::QueuedConnection);
    retry_.callOnTimeout(this, [this] { retry(); });
}

Tray::~Tray() = default;

void Tray::start() {
    retry();
    if (state_ == State::Waiting) {
        retry_.start(TRAY_RETRY_PERIOD);
    }
}

void Tray::makeIcon() {
    icon_ = std::make_unique<QSystemTrayIcon>(programIcon());
    icon_->setContextMenu(menu_.get());
    icon_->setToolTip(tip_);
    connect(icon_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
                    handlers_.show();
                }
            });
}

void Tray::retry() {
    if (!icon_ && trayIconMayBeMade()) {
        makeIcon();
    }
    if (icon_ && QSystemTrayIcon::isSystemTrayAvailable()) {
        icon_->show();
        state_ = State::Shown;
    } else if (++attempts_ >= TRAY_ATTEMPTS) {
        state_ = State::Absent;
        if (retry_.isActive()) {
            handlers_.gaveUp();
        }
    } else {
        return;
    }
    retry_.stop();
}

void Tray::setTip(const QString& text) {
    if (text == tip_) {
        return;
    }
    tip_ = text;
    if (icon_) {
        icon_->setToolTip(text);
    }
}

void Tray::markCountdownChoice() {
    const CountdownChoice choice = countdownChoice();
    QAction* chosen = countdownItems_[2];
    if (choice.target == CountdownTarget::Chosen) {
        chosen->setText(QStringLiteral("The &chosen one, ") + dayText(choice.chosenJd));
        chosen->setData(choice.chosenJd);
    }
    chosen->setVisible(chosen->data().isValid());
    nameNextApproach();
    countdownItems_[static_cast<int>(effectiveCountdownTarget())]->setChecked(true);
}

// "The next one, 2027-02-20": the approach the countdown's next one is at now, in UT.
void Tray::nameNextApproach() {
    const std::optional<ClosestApproach>& next =
        nextApproachAt(julianDateValue(currentJulianDate()));
    countdownItems_[1]->setText(
        QStringLiteral("The &next one") +
        (next ? QStringLiteral(", ") + dayText(next->julianDate) : QString()));
}

void Tray::hideIcon() {
    if (icon_) {
        icon_->hide();
    }
}

} // namespace orvanta
