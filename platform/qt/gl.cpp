// The OpenGL room on EGL and Qt 6. A context is a desktop OpenGL context from Mesa's surfaceless
// EGL platform, which needs no display and works alike with or without one (on X11, Wayland, or
// none at all, software or hardware); where Mesa's EGL is not there (another vendor's driver) it is
// a compatibility-profile QOpenGLContext on the Qt platform's own binding. Qt's offscreen platform
// offers none without a display, and a broken one with. Either way the context draws into a
// framebuffer object the size of the bitmap selected into its surface, and `finish` reads the frame
// back into that bitmap as blue-green-red rows, bottom row first.

#include "platform/qt/registry.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <cstring>

namespace qtlayer {

namespace {

// OpenGL values beyond the diagram's, for the framebuffer object and the read-back.
constexpr std::uint32_t FRAMEBUFFER = 0x8D40;
constexpr std::uint32_t RENDERBUFFER = 0x8D41;
constexpr std::uint32_t COLOR_ATTACHMENT0 = 0x8CE0;
constexpr std::uint32_t RGBA8 = 0x8058;
constexpr std::uint32_t FRAMEBUFFER_COMPLETE = 0x8CD5;
constexpr std::uint32_t PACK_ALIGNMENT = 0x0D05;

struct FramebufferFunctions {
    void (*genFramebuffers)(std::int32_t, std::uint32_t*);
    void (*deleteFramebuffers)(std::int32_t, const std::uint32_t*);
    void (*bindFramebuffer)(std::uint32_t, std::uint32_t);
    void (*genRenderbuffers)(std::int32_t, std::uint32_t*);
    void (*deleteRenderbuffers)(std::int32_t, const std::uint32_t*);
    void (*bindRenderbuffer)(std::uint32_t, std::uint32_t);
    void (*renderbufferStorage)(std::uint32_t, std::uint32_t, std::int32_t, std::int32_t);
    void (*framebufferRenderbuffer)(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t);
    std::uint32_t (*checkFramebufferStatus)(std::uint32_t);
    void (*pixelStorei)(std::uint32_t, std::int32_t);
    void (*readPixels)(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::uint32_t,
                       std::uint32_t, void*);
    void (*finish)();
};

using Resolver = void (*(*)(const char*))();

template <typename Function>
bool resolve(Function& function, Resolver resolver, const char* name) {
    function = reinterpret_cast<Function>(resolver(name));
    return function != nullptr;
}

} // namespace

struct GlContext {
    ~GlContext();
    std::unique_ptr<QOffscreenSurface> qtSurface; // with qtContext
    std::unique_ptr<QOpenGLContext> qtContext;
    EGLContext eglContext = EGL_NO_CONTEXT; // otherwise
    GlFunctions table{};
    FramebufferFunctions framebuffer{};
    std::uint32_t framebufferName = 0;
    std::uint32_t renderbufferName = 0;
    QSize framebufferSize;
};

namespace {

// Plain values, so that unbinding at process exit touches nothing already destroyed.
std::uint32_t currentContext = 0;
std::uint32_t currentSurface = 0;
Resolver currentResolver = nullptr;

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

void (*qtResolve(const char* name))() {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context == nullptr ? nullptr : context->getProcAddress(name);
}

void (*eglResolve(const char* name))() {
    return eglGetProcAddress(name);
}

GlContext* findContext(std::uint32_t id) {
    const auto it = registry().glContexts.find(id);
    return it == registry().glContexts.end() ? nullptr : it->second.get();
}

bool bind(GlContext& context) {
    if (context.qtContext) {
        currentResolver = &qtResolve;
        return context.qtContext->makeCurrent(context.qtSurface.get());
    }
    currentResolver = &eglResolve;
    return eglMakeCurrent(surfacelessDisplay(), EGL_NO_SURFACE, EGL_NO_SURFACE,
                          context.eglContext) == EGL_TRUE;
}

void unbind(GlContext& context) {
    if (context.qtContext) {
        context.qtContext->doneCurrent();
    } else {
        eglMakeCurrent(surfacelessDisplay(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    currentResolver = nullptr;
}

void finishAndReadBack();

// Every entry point, resolved while the context is current; false when one is missing.
bool resolveAll(GlContext& c) {
    const Resolver r = currentResolver;
    GlFunctions& t = c.table;
    FramebufferFunctions& f = c.framebuffer;
    const bool all =
        resolve(t.genTextures, r, "glGenTextures") &&
        resolve(t.deleteTextures, r, "glDeleteTextures") &&
        resolve(t.bindTexture, r, "glBindTexture") && resolve(t.texImage2D, r, "glTexImage2D") &&
        resolve(t.texParameterf, r, "glTexParameterf") && resolve(t.texEnvi, r, "glTexEnvi") &&
        resolve(t.depthMask, r, "glDepthMask") && resolve(t.enable, r, "glEnable") &&
        resolve(t.disable, r, "glDisable") && resolve(t.blendFunc, r, "glBlendFunc") &&
        resolve(t.lineWidth, r, "glLineWidth") && resolve(t.viewport, r, "glViewport") &&
        resolve(t.matrixMode, r, "glMatrixMode") && resolve(t.loadIdentity, r, "glLoadIdentity") &&
        resolve(t.ortho, r, "glOrtho") && resolve(t.pushMatrix, r, "glPushMatrix") &&
        resolve(t.popMatrix, r, "glPopMatrix") && resolve(t.translated, r, "glTranslated") &&
        resolve(t.begin, r, "glBegin") && resolve(t.end, r, "glEnd") &&
        resolve(t.texCoord2f, r, "glTexCoord2f") && resolve(t.vertex2f, r, "glVertex2f") &&
        resolve(t.vertex2d, r, "glVertex2d") && resolve(t.color4f, r, "glColor4f") &&
        resolve(f.genFramebuffers, r, "glGenFramebuffers") &&
        resolve(f.deleteFramebuffers, r, "glDeleteFramebuffers") &&
        resolve(f.bindFramebuffer, r, "glBindFramebuffer") &&
        resolve(f.genRenderbuffers, r, "glGenRenderbuffers") &&
        resolve(f.deleteRenderbuffers, r, "glDeleteRenderbuffers") &&
        resolve(f.bindRenderbuffer, r, "glBindRenderbuffer") &&
        resolve(f.renderbufferStorage, r, "glRenderbufferStorage") &&
        resolve(f.framebufferRenderbuffer, r, "glFramebufferRenderbuffer") &&
        resolve(f.checkFramebufferStatus, r, "glCheckFramebufferStatus") &&
        resolve(f.pixelStorei, r, "glPixelStorei") && resolve(f.readPixels, r, "glReadPixels") &&
        resolve(f.finish, r, "glFinish");
    t.finish = &finishAndReadBack;
    return all;
}

std::unique_ptr<GlContext> qtContext() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(0);
    format.setStencilBufferSize(0);
    auto context = std::make_unique<GlContext>();
    context->qtContext = std::make_unique<QOpenGLContext>();
    context->qtContext->setFormat(format);
    if (!context->qtContext->create()) {
        return nullptr;
    }
    context->qtSurface = std::make_unique<QOffscreenSurface>();
    context->qtSurface->setFormat(context->qtContext->format());
    context->qtSurface->create();
    return context->qtSurface->isValid() ? std::move(context) : nullptr;
}

std::unique_ptr<GlContext> eglContext() {
    const EGLDisplay display = surfacelessDisplay();
    if (display == EGL_NO_DISPLAY || eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        return nullptr;
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
        return nullptr;
    }
    // Version 2.1 asks for no particular profile: the compatibility one, where 1.1 calls work.
    static constexpr EGLint VERSION[] = {EGL_CONTEXT_MAJOR_VERSION, 2, EGL_CONTEXT_MINOR_VERSION, 1,
                                         EGL_NONE};
    auto context = std::make_unique<GlContext>();
    context->eglContext = eglCreateContext(display, config, EGL_NO_CONTEXT, VERSION);
    return context->eglContext == EGL_NO_CONTEXT ? nullptr : std::move(context);
}

// The framebuffer object matches the picture the surface draws into.
bool attachFramebuffer(GlContext& c, QSize size) {
    FramebufferFunctions& f = c.framebuffer;
    if (c.framebufferName == 0) {
        f.genFramebuffers(1, &c.framebufferName);
        f.genRenderbuffers(1, &c.renderbufferName);
    }
    f.bindFramebuffer(FRAMEBUFFER, c.framebufferName);
    if (c.framebufferSize != size) {
        f.bindRenderbuffer(RENDERBUFFER, c.renderbufferName);
        f.renderbufferStorage(RENDERBUFFER, RGBA8, size.width(), size.height());
        f.framebufferRenderbuffer(FRAMEBUFFER, COLOR_ATTACHMENT0, RENDERBUFFER, c.renderbufferName);
        c.framebufferSize = size;
    }
    return f.checkFramebufferStatus(FRAMEBUFFER) == FRAMEBUFFER_COMPLETE;
}

// One context of either kind, bound long enough to learn its entry points; null when it cannot
// be made or lacks one.
std::unique_ptr<GlContext> usable(std::unique_ptr<GlContext> context) {
    if (!context) {
        return nullptr;
    }
    const std::uint32_t previousContext = currentContext;
    const std::uint32_t previousSurface = currentSurface;
    const bool complete = bind(*context) && resolveAll(*context);
    unbind(*context);
    currentContext = 0;
    if (previousContext != 0) {
        makeGlCurrent(SurfaceHandle{previousSurface}, GlContextHandle{previousContext});
    }
    return complete ? std::move(context) : nullptr;
}

void finishAndReadBack() {
    GlContext* context = findContext(currentContext);
    if (context == nullptr) {
        return;
    }
    context->framebuffer.finish();
    Picture* picture = selectedPicture(currentSurface);
    if (picture != nullptr && picture->bottomUp &&
        QSize(picture->dibWidth, picture->dibHeight) == context->framebufferSize) {
        // Rows padded to 4 bytes and the bottom row first: exactly the bitmap's layout.
        context->framebuffer.pixelStorei(PACK_ALIGNMENT, 4);
        context->framebuffer.readPixels(0, 0, picture->dibWidth, picture->dibHeight, glv::BGR_EXT,
                                        glv::UNSIGNED_BYTE, picture->dibPixels.data());
    }
}

} // namespace

GlContext::~GlContext() {
    if (eglContext != EGL_NO_CONTEXT) {
        eglDestroyContext(surfacelessDisplay(), eglContext);
    }
}

} // namespace qtlayer

using namespace qtlayer;

PictureHandle createDibSection(SurfaceHandle, const BitmapInfo& info, std::uint8_t** pixels) {
    *pixels = nullptr;
    const BitmapInfoHeader& h = info.bmiHeader;
    constexpr std::int32_t LIMIT = 16384;
    // Bottom-up only: the rows as OpenGL reads them back.
    if (h.biSize != sizeof(BitmapInfoHeader) || h.biBitCount != 24 || h.biPlanes != 1 ||
        h.biCompression != BI_RGB || h.biWidth <= 0 || h.biWidth > LIMIT || h.biHeight <= 0 ||
        h.biHeight > LIMIT) {
        return {};
    }
    const std::uint32_t id = newId();
    Picture& picture = registry().pictures[id];
    picture.dibWidth = h.biWidth;
    picture.dibHeight = h.biHeight;
    picture.bottomUp = true;
    const qsizetype stride = (static_cast<qsizetype>(h.biWidth) * 3 + 3) / 4 * 4;
    picture.dibPixels.assign(static_cast<std::size_t>(stride * picture.dibHeight), 0);
    picture.image = QImage(picture.dibPixels.data(), picture.dibWidth, picture.dibHeight, stride,
                           QImage::Format_BGR888);
    *pixels = picture.dibPixels.data();
    return PictureHandle{id};
}

int choosePixelFormat(SurfaceHandle surface, const PixelFormatDescriptor& d) {
    const bool drawsToBitmap = (d.dwFlags & PFD_DRAW_TO_BITMAP) != 0 &&
                               (d.dwFlags & PFD_SUPPORT_OPENGL) != 0 &&
                               (d.dwFlags & (PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW)) == 0;
    const bool fits = d.iPixelType == PFD_TYPE_RGBA && d.cColorBits <= 24 && d.cDepthBits == 0 &&
                      d.cStencilBits == 0 && d.cAccumBits == 0;
    const auto it = registry().surfaces.find(surface.id);
    return it != registry().surfaces.end() && !it->second.window && drawsToBitmap && fits ? 1 : 0;
}

bool setPixelFormat(SurfaceHandle surface, int format, const PixelFormatDescriptor&) {
    const auto it = registry().surfaces.find(surface.id);
    if (it == registry().surfaces.end() || it->second.window || format != 1) {
        return false;
    }
    it->second.pixelFormat = format;
    return true;
}

GlContextHandle createGlContext(SurfaceHandle surface) {
    const auto it = registry().surfaces.find(surface.id);
    if (it == registry().surfaces.end() || it->second.pixelFormat == 0) {
        return {};
    }
    std::unique_ptr<GlContext> context = usable(eglContext());
    if (!context) {
        context = usable(qtContext());
    }
    if (!context) {
        static bool warned = false;
        if (!warned) {
            warned = true;
            warn(QStringLiteral("no OpenGL to be had: the orbit diagram stays empty"));
        }
        return {};
    }
    const std::uint32_t id = newId();
    registry().glContexts[id] = std::shared_ptr<GlContext>(std::move(context));
    return GlContextHandle{id};
}

bool makeGlCurrent(SurfaceHandle s, GlContextHandle c) {
    if (!s && !c) {
        if (GlContext* bound = currentContext != 0 ? findContext(currentContext) : nullptr) {
            unbind(*bound);
        }
        currentContext = currentSurface = 0;
        return true;
    }
    GlContext* context = findContext(c.id);
    const auto surface = registry().surfaces.find(s.id);
    if (context == nullptr || surface == registry().surfaces.end() ||
        surface->second.pixelFormat == 0 || !bind(*context)) {
        return false;
    }
    const Picture* picture = selectedPicture(s.id);
    const QSize size = picture == nullptr      ? QSize(1, 1)
                       : picture->dibWidth > 0 ? QSize(picture->dibWidth, picture->dibHeight)
                                               : picture->image.size();
    if (!attachFramebuffer(*context, size)) {
        unbind(*context);
        currentContext = currentSurface = 0;
        return false;
    }
    currentContext = c.id;
    currentSurface = s.id;
    return true;
}

void deleteGlContext(GlContextHandle c) {
    GlContext* context = findContext(c.id);
    if (context == nullptr) {
        return;
    }
    if (bind(*context) && context->framebufferName != 0) {
        context->framebuffer.deleteFramebuffers(1, &context->framebufferName);
        context->framebuffer.deleteRenderbuffers(1, &context->renderbufferName);
    }
    unbind(*context);
    if (currentContext != c.id && currentContext != 0) {
        makeGlCurrent(SurfaceHandle{currentSurface}, GlContextHandle{currentContext});
    } else {
        currentContext = currentSurface = 0;
    }
    registry().glContexts.erase(c.id);
}

void flushSurfaces() {
    // QPainter has finished every drawing call by the time it returns.
}

void swapSurfaceBuffers(SurfaceHandle) {
    // A window surface has no pixel format and no buffers of its own to show.
}

const GlFunctions* gl() {
    GlContext* context = currentContext != 0 ? findContext(currentContext) : nullptr;
    return context == nullptr ? nullptr : &context->table;
}
