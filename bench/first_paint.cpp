// Starts a program and reports how long it takes until its window "Orvanta 2003" shows both panes
// drawn: the diagram's 440 pixels not black, and white text in the info pane; or, with --minimal,
// until bench/minimal_widget's window shows its text, the start it is set beside. The program is
// left running; its process id is printed for whoever measures it next.
//
// usage: first_paint [--minimal] PROGRAM [ARGUMENT]...   (with DISPLAY set)

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <unistd.h>

namespace {

Window findNamed(Display* display, Window under, const char* name) {
    char* title = nullptr;
    if (XFetchName(display, under, &title) != 0 && title != nullptr) {
        const bool match = std::strcmp(title, name) == 0;
        XFree(title);
        if (match) {
            return under;
        }
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, under, &root, &parent, &children, &count) != 0) {
        for (unsigned i = 0; i < count && found == 0; ++i) {
            found = findNamed(display, children[i], name);
        }
        XFree(children);
    }
    return found;
}

// Both panes drawn: some light pixels in the diagram, white text in the info pane; or the minimal
// widget's text (all of its 200 pixels count as the info pane's).
bool drawn(Display* display, Window window, bool minimal) {
    const int width = minimal ? 200 : 640, diagram = minimal ? 0 : 440;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0 ||
        attributes.map_state != IsViewable || attributes.width < width) {
        return false;
    }
    XImage* image =
        XGetImage(display, window, 0, 0, static_cast<unsigned>(width), 480, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    int lightInDiagram = 0, whiteInInfo = 0;
    for (int y = 0; y < 480; y += 4) {
        for (int x = 0; x < width; x += 2) {
            const unsigned long p = XGetPixel(image, x, y);
            const auto r = static_cast<int>((p >> 16) & 0xFF),
                       g = static_cast<int>((p >> 8) & 0xFF), b = static_cast<int>(p & 0xFF);
            lightInDiagram += x < diagram && r + g + b > 150;
            whiteInInfo += x >= diagram && r > 230 && g > 230 && b > 230;
        }
    }
    XDestroyImage(image);
    return (minimal || lightInDiagram > 1000) && whiteInInfo > 50;
}

} // namespace

int main(int argc, char** argv) {
    const bool minimal = argc > 1 && std::strcmp(argv[1], "--minimal") == 0;
    const int program = minimal ? 2 : 1;
    if (argc <= program) {
        std::fputs("usage: first_paint [--minimal] PROGRAM [ARGUMENT]...\n", stderr);
        return 2;
    }
    const char* const title = minimal ? "Minimal widget" : "Orvanta 2003";
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("first_paint: cannot open the display\n", stderr);
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        // Not our output: whoever reads it would otherwise wait for the program to end.
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        execvp(argv[program], argv + program);
        _exit(127);
    }
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
        const Window window = findNamed(display, DefaultRootWindow(display), title);
        if (window != 0 && drawn(display, window, minimal)) {
            const auto ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);
            std::printf("first-paint-ms %.0f\npid %d\n", ms.count(), static_cast<int>(child));
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::fputs("first_paint: no painted window within 20 s\n", stderr);
    return 1;
}
