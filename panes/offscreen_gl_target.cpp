#include "panes/offscreen_gl_target.h"

#define GL_GLEXT_PROTOTYPES
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPainter>
#include <system_error>
#include <thread>

// Last: X11 defines names (None, Bool, Status) that Qt headers use.
#include <GL/glx.h>

namespace orvanta {

namespace {

EGLDisplay surfacelessDisplay() {
    static const EGLDisplay display = [] {
        const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
            eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (getPlatformDisplay == nullptr) {
            return EGL_NO_DISPLAY;
        }
        EGLDisplay found =
            getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        EGLint major = 0, minor = 0;
        return found != EGL_NO_DISPLAY && eglInitialize(found, &major, &minor) ? found
                                                                               : EGL_NO_DISPLAY;
    }();
    return display;
}

EGLContext createEglContext() {
    const EGLDisplay display = surfacelessDisplay();
    if (display == EGL_NO_DISPLAY || eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        return EGL_NO_CONTEXT;
    }
    // Surfaceless configurations offer only pixel buffers, and the default asks for windows.
    static constexpr EGLint CONFIG[] = {EGL_RENDERABLE_TYPE,
                                        EGL_OPENGL_BIT,
                                        EGL_SURFACE_TYPE,
                                        EGL_PBUFFER_BIT,
                                        EGL_RED_SIZE,
                                        8,
                                        EGL_GREEN_SIZE,
                                        8,
                                        EGL_BLUE_SIZE,
                                        8,
                                        EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (eglChooseConfig(display, CONFIG, &config, 1, &count) != EGL_TRUE || count < 1) {
        return EGL_NO_CONTEXT;
    }
    // Version 2.1 asks for no particular profile: the compatibility one, where 1.1 calls work.
    static constexpr EGLint VERSION[] = {EGL_CONTEXT_MAJOR_VERSION, 2, EGL_CONTEXT_MINOR_VERSION, 1,
                                         EGL_NONE};
    return eglCreateContext(display, config, EGL_NO_CONTEXT, VERSION);
}

// Qt's X11 binding ends the whole process, rather than failing the context, when the server's GLX
// has no configuration to offer at all: that is asked here first.
bool qtPlatformOffersOpenGL() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return true;
    }
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr) {
        return false;
    }
    int count = 0;
    static constexpr int RGBA_CONFIG[] = {GLX_RENDER_TYPE, GLX_RGBA_BIT, None};
    if (GLXFBConfig* configs =
            glXChooseFBConfig(display, DefaultScreen(display), RGBA_CONFIG, &count)) {
        XFree(configs);
    }
    if (count > 0) {
        return true;
    }
    int rgbaVisual[] = {GLX_RGBA, None};
    XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), rgbaVisual);
    if (visual != nullptr) {
        XFree(visual);
    }
    return visual != nullptr;
}

// Joined as the process ends, should it end before anything waited for the display.
class Loading {
  public:
    ~Loading() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    void start() {
        if (!thread_.joinable()) {
            thread_ = std::thread([] { surfacelessDisplay(); });
        }
    }

  private:
    std::thread thread_;
};

} // namespace

void OffscreenGlTarget::loadInBackground() {
    static Loading loading;
    try {
        loading.start();
    } catch (const std::system_error&) {
        // No thread: the first context loads it.
    }
}

struct OffscreenGlTarget::Context {
    EGLContext egl = EGL_NO_CONTEXT;
    std::unique_ptr<QOpenGLContext> qt; // where there is no EGL context
    std::unique_ptr<QOffscreenSurface> qtSurface;
    GLuint framebuffer = 0;
    GLuint renderbuffer = 0;

    // Mesa's EGL first, then (unless `surfacelessOnly`) Qt's own binding; null when neither gives
    // a context to bind.
    static std::unique_ptr<Context> make(bool surfacelessOnly) {
        auto context = std::make_unique<Context>();
        context->egl = createEglContext();
        if (context->egl == EGL_NO_CONTEXT || !context->bind()) {
            context = std::make_unique<Context>();
            if (surfacelessOnly || !qtPlatformOffersOpenGL()) {
                return nullptr;
            }
            QSurfaceFormat format;
            format.setRenderableType(QSurfaceFormat::OpenGL);
            format.setProfile(QSurfaceFormat::CompatibilityProfile);
            format.setVersion(2, 1);
            context->qt = std::make_unique<QOpenGLContext>();
            context->qt->setFormat(format);
            if (!context->qt->create()) {
                return nullptr;
            }
            context->qtSurface = std::make_unique<QOffscreenSurface>();
            context->qtSurface->setFormat(context->qt->format());
            context->qtSurface->create();
            if (!context->bind()) {
                return nullptr;
            }
        }
        glGenFramebuffers(1, &context->framebuffer);
        glGenRenderbuffers(1, &context->renderbuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, context->framebuffer);
        return context;
    }

    bool bind() {
        if (qt) {
            return qt->makeCurrent(qtSurface.get());
        }
        return eglMakeCurrent(surfacelessDisplay(), EGL_NO_SURFACE, EGL_NO_SURFACE, egl) ==
               EGL_TRUE;
    }

    void unbind() {
        if (qt) {
            qt->doneCurrent();
        } else {
            eglMakeCurrent(surfacelessDisplay(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        }
    }

    ~Context() {
        if (framebuffer != 0 && bind()) {
            glDeleteFramebuffers(1, &framebuffer);
            glDeleteRenderbuffers(1, &renderbuffer);
        }
        unbind();
        if (egl != EGL_NO_CONTEXT) {
            eglDestroyContext(surfacelessDisplay(), egl);
        }
    }
};

OffscreenGlTarget::OffscreenGlTarget() = default;

OffscreenGlTarget::~OffscreenGlTarget() {
    destroy();
}

OffscreenGlTarget::State OffscreenGlTarget::state() const {
    if (!context_) {
        return State::Empty;
    }
    return bitmap_.isNull() ? State::ReadyWithoutBitmap : State::Ready;
}

bool OffscreenGlTarget::createBitmap(int requestedWidth, int requestedHeight) {
    const int w = requestedWidth == 0 ? 1 : requestedWidth;
    const int h = requestedHeight == 0 ? 1 : requestedHeight;
    // Scan lines padded to 4 bytes, as OpenGL packs its rows by default.
    QImage bitmap(w, h, QImage::Format_BGR888);
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    if (bitmap.isNull() || w > largest || h > largest) {
        return false;
    }
    glBindRenderbuffer(GL_RENDERBUFFER, context_->renderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              context_->renderbuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        return false;
    }
    bitmap_ = std::move(bitmap);
    drawnSinceRead_ = true;
    width = w;
    height = h;
    return true;
}

void OffscreenGlTarget::releaseBitmap() {
    bitmap_ = QImage();
    upright_ = QImage();
}

bool OffscreenGlTarget::create(int requestedWidth, int requestedHeight) {
    return create(requestedWidth, requestedHeight, false);
}

bool OffscreenGlTarget::createSurfaceless(int requestedWidth, int requestedHeight) {
    return create(requestedWidth, requestedHeight, true);
}

void OffscreenGlTarget::doneCurrent() {
    if (context_) {
        context_->unbind();
    }
}

bool OffscreenGlTarget::create(int requestedWidth, int requestedHeight, bool surfacelessOnly) {
    if (context_) {
        return true;
    }
    context_ = Context::make(surfacelessOnly);
    if (!context_) {
        return false;
    }
    // Its result does not decide: without a bitmap the target is ready for the next size.
    createBitmap(requestedWidth, requestedHeight);
    return true;
}

bool OffscreenGlTarget::resize(int requestedWidth, int requestedHeight) {
    if (!context_ || (requestedWidth == width && requestedHeight == height && !bitmap_.isNull())) {
        width = requestedWidth;
        height = requestedHeight;
        return true;
    }
    releaseBitmap();
    if (!makeCurrent() || !createBitmap(requestedWidth, requestedHeight)) {
        return false;
    }
    width = requestedWidth;
    height = requestedHeight;
    return true;
}

bool OffscreenGlTarget::makeCurrent() {
    if (!context_ || !context_->bind()) {
        return false;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, context_->framebuffer);
    drawnSinceRead_ = true; // whoever binds it may draw
    return true;
}

void OffscreenGlTarget::present(QPainter& painter) {
    if (bitmap_.isNull() || width <= 0 || height <= 0) {
        return;
    }
    if (drawnSinceRead_) {
        if (!makeCurrent()) {
            return;
        }
        glFinish();
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(0, 0, bitmap_.width(), bitmap_.height(), GL_BGR, GL_UNSIGNED_BYTE,
                     bitmap_.bits());
        upright_ = bitmap_.mirrored();
        drawnSinceRead_ = false;
    }
    // The bitmap's size is the stored one here; shown upright, one device pixel for each of its
    // own.
    upright_.setDevicePixelRatio(painter.device()->devicePixelRatioF());
    painter.drawImage(QPointF(0, 0), upright_);
}

void OffscreenGlTarget::destroy() {
    releaseBitmap();
    context_.reset();
}

} // namespace orvanta
