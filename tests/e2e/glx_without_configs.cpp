// Loaded with LD_PRELOAD into the real program: an X server whose GLX offers no configuration at
// all, as some servers do, to see that the window still comes up.

#include <GL/glx.h>

extern "C" {

GLXFBConfig* glXChooseFBConfig(Display*, int, const int*, int* count) {
    *count = 0;
    return nullptr;
}

XVisualInfo* glXChooseVisual(Display*, int, int*) {
    return nullptr;
}
}
