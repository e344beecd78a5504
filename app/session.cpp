#include "app/session.h"

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

} // namespace

void choosePlatform() {
    if (variable("QT_QPA_PLATFORM").empty() && !variable("DISPLAY").empty()) {
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
}

std::string displayProblem() {
    const std::string platform = chosenPlatform();
    const std::string x11 = variable("DISPLAY");
    const std::string wayland = variable("WAYLAND_DISPLAY");
    if (platform.empty() && x11.empty() && wayland.empty()) {
        return "no display to show the widget on (none of DISPLAY, WAYLAND_DISPLAY and "
               "QT_QPA_PLATFORM is set)";
    }
    if (platform == "xcb" || (platform.empty() && !x11.empty())) {
        if (x11.empty()) {
            return "no X11 display to show the widget on (DISPLAY is not set)";
        }
        xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
        const bool failed = xcb_connection_has_error(connection) != 0;
        xcb_disconnect(connection);
        if (failed) {
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
