// The shell room on Qt 6 Widgets: QSystemTrayIcon, QMenu and a QDialog laid out in dialog units.

#include "platform/qt/registry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>

using namespace qtlayer;

namespace {

class Dialog : public QDialog {
  public:
    Dialog(std::uint32_t id, DialogProc procedure, QWidget* owner)
        : QDialog(owner), id(id), procedure(procedure) {}

    void command(std::uintptr_t which) { procedure(DialogHandle{id}, MSG_COMMAND, which, 0); }

    const std::uint32_t id;
    const DialogProc procedure;

    void reject() override { command(COMMAND_CANCEL); } // Escape

  protected:
    void closeEvent(QCloseEvent* e) override {
        e->ignore();
        command(COMMAND_CANCEL);
    }
};

std::intptr_t mouseMessageFor(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return MOUSE_LEFT_DOWN;
    case QSystemTrayIcon::DoubleClick:
        return MOUSE_LEFT_DOUBLE_CLICK;
    case QSystemTrayIcon::Context:
        return MOUSE_RIGHT_DOWN;
    default:
        return 0;
    }
}

} // namespace

bool addTrayIcon(const TrayIcon& icon) {
    if (!QSystemTrayIcon::isSystemTrayAvailable() || liveWindow(icon.owner) == nullptr) {
        return false;
    }
    auto* tray = new QSystemTrayIcon(iconResource(icon.iconId));
    tray->setToolTip(QString::fromUtf8(icon.tip));
    // Delivered as posted messages, as a shell would: the procedure may open a menu or a modal box
    // and even remove this icon, which it must not do from inside the icon's own signal.
    QObject::connect(tray, &QSystemTrayIcon::activated, tray,
                     [owner = icon.owner, message = icon.callbackMessage,
                      id = icon.id](QSystemTrayIcon::ActivationReason reason) {
                         if (const std::intptr_t mouse = mouseMessageFor(reason)) {
                             postMessage(owner, message, id, mouse);
                         }
                     });
    tray->show();
    registry().trayIcons[{icon.owner.id, icon.id}] = tray;
    return true;
}

bool modifyTrayIcon(const TrayIcon& icon) {
    const auto it = registry().trayIcons.find({icon.owner.id, icon.id});
    if (it == registry().trayIcons.end()) {
        return false;
    }
    it->second->setToolTip(QString::fromUtf8(icon.tip));
    return true;
}

void removeTrayIcon(WindowHandle owner, std::uint32_t id) {
    const auto it = registry().trayIcons.find({owner.id, id});
    if (it != registry().trayIcons.end()) {
        it->second->hide();
        it->second->deleteLater();
        registry().trayIcons.erase(it);
    }
}

Point cursorPosition() {
    const QPoint p = QCursor::pos();
    return Point{p.x(), p.y()};
}

MenuHandle createPopupMenu(std::span<const MenuItem> items) {
    auto menu = std::make_unique<QMenu>();
    for (const MenuItem& item : items) {
        if (item.command == 0) {
            menu->addSeparator();
        } else {
            QAction* action = menu->addAction(QString::fromUtf8(item.text));
            action->setData(item.command);
            action->setCheckable(item.check != MenuCheck::None);
            action->setChecked(item.check == MenuCheck::Checked);
        }
    }
    const std::uint32_t id = newId();
    registry().menus[id] = std::move(menu);
    return MenuHandle{id};
}

std::uint32_t trackPopupMenu(MenuHandle handle, Point at) {
    const auto it = registry().menus.find(handle.id);
    if (it == registry().menus.end()) {
        return 0;
    }
    QPointer<QMenu> menu = it->second.get();
    const QAction* chosen = menu->exec(QPoint(at.x, at.y));
    return chosen != nullptr && !menu.isNull() ? chosen->data().toUInt() : 0;
}

void destroyMenu(MenuHandle handle) {
    const auto it = registry().menus.find(handle.id);
    if (it != registry().menus.end()) {
        it->second.release()->deleteLater();
        registry().menus.erase(it);
    }
}

int runModalDialog(const DialogTemplate& dialogTemplate, WindowHandle owner, DialogProc procedure) {
    const std::uint32_t id = newId();
    QPointer<Dialog> dialog = new Dialog(id, procedure, liveWindow(owner));
    dialog->setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog->setWindowModality(dialog->parentWidget() != nullptr ? Qt::WindowModal
                                                                : Qt::ApplicationModal);
    QFont font = dialog->font();
    font.setPointSize(dialogTemplate.fontPoints);
    dialog->setFont(font);

    // Dialog units: a quarter of the average character width, an eighth of the line height.
    const QFontMetrics metrics(font);
    const double unitX = metrics.averageCharWidth() / 4.0;
    const double unitY = metrics.height() / 8.0;
    auto scaled = [&](int x, int y, int w, int h) {
        return QRect(qRound(x * unitX), qRound(y * unitY), qRound(w * unitX), qRound(h * unitY));
    };
    for (const DialogControl& control : dialogTemplate.controls) {
        const QRect place = scaled(control.x, control.y, control.width, control.height);
        switch (control.kind) {
        case ControlKind::DefaultButton: {
            auto* button = new QPushButton(QString::fromUtf8(control.text), dialog);
            button->setDefault(true);
            button->setAutoDefault(true);
            button->setGeometry(place);
            const auto which = static_cast<std::uintptr_t>(control.id);
            QObject::connect(button, &QPushButton::clicked, dialog,
                             [d = dialog.data(), which] { d->command(which); });
            break;
        }
        case ControlKind::Text: {
            auto* label = new QLabel(QString::fromUtf8(control.text), dialog);
            label->setGeometry(place.adjusted(0, 0, place.width(), 0)); // room for wider fonts
            break;
        }
        case ControlKind::Icon: {
            auto* label = new QLabel(dialog);
            const int side = qMax(place.width(), place.height());
            label->setPixmap(iconResource(control.iconId).pixmap(side, side));
            label->setGeometry(QRect(place.topLeft(), QSize(side, side)));
            break;
        }
        }
    }
    const QRect size = scaled(0, 0, dialogTemplate.width, dialogTemplate.height);
    dialog->setFixedSize(size.size());
    const Rect area = workArea();
    dialog->move((area.left + area.right - size.width()) / 2,
                 (area.top + area.bottom - size.height()) / 2);

    registry().windows[id] = dialog.data();
    procedure(DialogHandle{id}, MSG_INIT_DIALOG, 0, 0);
    const int result = dialog->exec();
    registry().windows.erase(id);
    if (!dialog.isNull()) {
        dialog->deleteLater();
    }
    return result;
}

void endDialog(DialogHandle handle, int result) {
    const auto it = registry().windows.find(handle.id);
    if (it == registry().windows.end()) {
        return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(it->second.data())) {
        dialog->done(result);
    }
}
