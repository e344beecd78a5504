// The shell room of the recording layer.

#include "platform/fake/state.h"

using namespace fakelayer;

namespace fake {

std::optional<Tray> trayIcon() {
    return state().tray;
}
void setCursor(Point at) {
    state().cursor = at;
}
void setTrayAvailable(bool available) {
    state().trayAvailable = available;
}
void queueMenuCommand(std::uint32_t command) {
    state().menuCommands.push_back(command);
}
void onDialog(std::function<void(DialogHandle)> hook, int limit) {
    state().dialogHook = std::move(hook);
    state().dialogLimit = limit;
}

} // namespace fake

bool addTrayIcon(const TrayIcon& icon) {
    if (!record("addTrayIcon",
                text(describe(icon.owner), icon.id, icon.callbackMessage, icon.iconId, icon.tip)) ||
        !state().trayAvailable || live(icon.owner) == nullptr) {
        return false;
    }
    state().tray = fake::Tray{icon, icon.tip};
    return true;
}

bool modifyTrayIcon(const TrayIcon& icon) {
    if (!record("modifyTrayIcon", text(describe(icon.owner), icon.id, icon.tip)) || !state().tray ||
        !(state().tray->icon.owner == icon.owner) || state().tray->icon.id != icon.id) {
        return false;
    }
    state().tray->tip = icon.tip;
    return true;
}

void removeTrayIcon(WindowHandle owner, std::uint32_t id) {
    record("removeTrayIcon", text(describe(owner), id));
    if (state().tray && state().tray->icon.owner == owner && state().tray->icon.id == id) {
        state().tray.reset();
    }
}

Point cursorPosition() {
    record("cursorPosition");
    return state().cursor;
}

MenuHandle createPopupMenu(std::span<const MenuItem> items) {
    std::string entries;
    for (const MenuItem& item : items) {
        static constexpr const char* CHECKS[] = {"", "[ ]", "[x]"};
        entries += item.command == 0 ? std::string("|-")
                                     : "|" + std::string(CHECKS[static_cast<int>(item.check)]) +
                                           item.text + "=" + std::to_string(item.command);
    }
    if (!record("createPopupMenu", entries)) {
        return {};
    }
    return MenuHandle{state().nextId++};
}

std::uint32_t trackPopupMenu(MenuHandle menu, Point at) {
    record("trackPopupMenu", text(menu.id, at.x, at.y));
    if (!menu || state().menuCommands.empty()) {
        return 0;
    }
    const std::uint32_t command = state().menuCommands.front();
    state().menuCommands.pop_front();
    return command;
}

void destroyMenu(MenuHandle menu) {
    record("destroyMenu", std::to_string(menu.id));
}

int runModalDialog(const DialogTemplate& dialog, WindowHandle owner, DialogProc procedure) {
    if (!record("runModalDialog", text(dialog.caption, describe(owner)))) {
        return -1;
    }
    State& s = state();
    const DialogHandle d{s.nextId++};
    s.dialogs[d.id] = Dialog{owner};
    procedure(d, MSG_INIT_DIALOG, 0, 0);
    int hookRuns = 0;
    // The dialog's own loop: like the program's, but it ends with the dialog, and it leaves a quit
    // to the outer loop.
    while (!s.dialogs[d.id].ended && !s.quit) {
        if (deliverPosted() || deliverPaint()) {
            continue;
        }
        if (s.dialogHook && hookRuns < s.dialogLimit) {
            ++hookRuns;
            s.dialogHook(d);
        } else if (!fireTimer()) {
            break;
        }
    }
    const Dialog result = s.dialogs[d.id];
    s.dialogs.erase(d.id);
    record("dialogClosed", text(dialog.caption, result.ended ? "ended" : "open", result.result));
    return result.result;
}

void endDialog(DialogHandle dialog, int result) {
    record("endDialog", text(describe(dialog), result));
    const auto it = state().dialogs.find(dialog.id);
    if (it != state().dialogs.end() && !it->second.ended) {
        it->second.ended = true;
        it->second.result = result;
    }
}
