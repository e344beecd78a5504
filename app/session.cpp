#include "app/session.h"

#include <QFileInfo>
#include <QLibraryInfo>
#include <QStringList>
#include <cstdlib>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace orvanta {

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// The first platform Qt would try: QT_QPA_PLATFORM may list several, and carry options after ':'.
std::string chosenPlatform() {
    const std::string list = variable("QT_QPA_PLATFORM");
    return list.substr(0, list.find_first_of(";:"));
}

bool waylandAnswers(const std::string& display) {
    std::string path = display;
    if (path.empty() || path.front() != '/') {
        path = variable("XDG_RUNTIME_DIR") + "/" + (path.empty() ? "wayland-0" : path);
    }
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool answered =
        fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return answered;
}

// Whether Qt has a plugin for the platform, where it looks for them.
bool platformInstalled(const std::string& platform) {
    QStringList folders = {QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms"};
    for (const QString& folder : QString::fromLocal8Bit(variable("QT_PLUGIN_PATH")).split(':')) {
        folders << folder + "/platforms";
    }
    folders << QString::fromLocal8Bit(variable("QT_QPA_PLATFORM_PLUGIN_PATH"));
    const QString name = QString::fromLocal8Bit(platform);
    for (const QString& folder : folders) {
        if (QFileInfo::exists(folder + "/libq" + name + ".so") ||
            QFileInfo::exists(folder + "/libq" + name + "-generic.so")) {
            return true;
        }
    }
    return false;
}

} // namespace

void choosePlatform(int argc, char** argv) {
    // Qt's own options for the platform and the display, as the checks below must see them.
    for (int i = 1; i + 1 < argc; ++i) {
        std::string_view option = argv[i];
        if (option.starts_with("--")) {
            option.remove_prefix(1);
        }
        if (option == "-platform") {
            ::setenv("QT_QPA_PLATFORM", argv[i + 1], 1);
        } else if (option == "-display") {
            ::setenv("DISPLAY", argv[i + 1], 1);
        }
    }
    if (variable("QT_QPA_PLATFORM").empty() && !variable("DISPLAY").empty()) {
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
}

std::string displayProblem() {
    const std::string platform = chosenPlatform();
    const std::string x11 = variable("DISPLAY");
    const std::string wayland = variable("WAYLAND_DISPLAY");
    if (platform == "offscreen" || platform == "minimal" || platform == "minimalegl") {
        return "the Qt platform '" + platform + "' cannot show a window";
    }
    if (!platform.empty() && !platformInstalled(platform)) {
        return "there is no Qt platform '" + platform + "' here";
    }
    if (platform.empty() && x11.empty() && wayland.empty()) {
        return "no display to show the widget on (none of DISPLAY, WAYLAND_DISPLAY and "
               "QT_QPA_PLATFORM is set)";
    }
    if (platform == "xcb" || (platform.empty() && !x11.empty())) {
        if (x11.empty()) {
            return "no X11 display to show the widget on (DISPLAY is not set)";
        }
        // Kept open until the process ends: a server with no other client (a bare Xvfb) resets
        // when its last one leaves, and would refuse Qt while it does.
        static xcb_connection_t* const connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection) != 0) {
            return "cannot open the X11 display '" + x11 + "'";
        }
    } else if (platform == "wayland" || platform.empty()) {
        if (!waylandAnswers(wayland)) {
            return "cannot reach the Wayland display '" +
                   (wayland.empty() ? "wayland-0" : wayland) + "'";
        }
    }
    return {};
}

} // namespace orvanta
