#include "display/diagram_pane.h"

#include "display/diagram_scene.h"
#include "display/program.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"

#include <vector>

using namespace orvanta;

OffscreenGlTarget diagramTarget;

namespace {

constexpr std::size_t DIB_HEADER_BYTES = 40;

SurfaceHandle paneDc;
// [0] the photograph, [1] the Earth sprite, [2] the Mars sprite.
std::uint32_t diagramTextures[3];

void setTextureParameters(const GlFunctions* g) {
    g->texParameterf(glv::TEXTURE_2D, glv::TEXTURE_MIN_FILTER, glv::LINEAR);
    g->texParameterf(glv::TEXTURE_2D, glv::TEXTURE_MAG_FILTER, glv::LINEAR);
    g->texParameterf(glv::TEXTURE_2D, glv::TEXTURE_WRAP_S, glv::REPEAT);
    g->texParameterf(glv::TEXTURE_2D, glv::TEXTURE_WRAP_T, glv::REPEAT);
}

void uploadSprite(const GlFunctions* g, std::uint32_t texture, int bitmapId) {
    g->bindTexture(glv::TEXTURE_2D, texture);
    int width = 0, height = 0;
    if (const std::uint8_t* bgr = loadBitmapPixels(bitmapId, width, height)) {
        // Rows are read without gaps: a sprite row (32 x 3 bytes) needs no padding.
        std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
        keySprite(bgr, static_cast<std::size_t>(width) * height, rgba.data());
        g->texImage2D(glv::TEXTURE_2D, 0, glv::RGBA, width, height, 0, glv::RGBA,
                      glv::UNSIGNED_BYTE, rgba.data());
        setTextureParameters(g);
    }
}

// A quad of half side `h` centred on the origin, its texture upright: t = 0 is the bottom row.
void texturedQuad(const GlFunctions* g, float h) {
    g->begin(glv::QUADS);
    g->texCoord2f(0, 0);
    g->vertex2f(-h, -h);
    g->texCoord2f(1, 0);
    g->vertex2f(h, -h);
    g->texCoord2f(1, 1);
    g->vertex2f(h, h);
    g->texCoord2f(0, 1);
    g->vertex2f(-h, h);
    g->end();
}

void drawTrail(const GlFunctions* g, const TrailPoint* points, int count) {
    g->begin(glv::LINE_STRIP);
    for (int i = 0; i < count; ++i) {
        // The colour before each vertex: alpha changes smoothly along every segment.
        g->color4f(0, 0, 0, points[i].alpha);
        g->vertex2d(points[i].x, points[i].y);
    }
    g->end();
}

void sprite(const GlFunctions* g, std::uint32_t texture, const Vec3& at, float halfSize) {
    g->bindTexture(glv::TEXTURE_2D, texture);
    g->pushMatrix();
    g->translated(at.x, at.y, 0);
    texturedQuad(g, halfSize);
    g->popMatrix();
}

void setView(std::int32_t width, std::int32_t height) {
    const GlFunctions* g = gl();
    if (g == nullptr) {
        return;
    }
    g->viewport(0, 0, width, height);
    g->matrixMode(glv::PROJECTION);
    g->loadIdentity();
    g->ortho(-VIEW_HALF_EXTENT, VIEW_HALF_EXTENT, -VIEW_HALF_EXTENT, VIEW_HALF_EXTENT, -1, 1);
    g->matrixMode(glv::MODELVIEW);
    g->loadIdentity();
}

} // namespace

WindowHandle createOrbitDiagramPane(WindowHandle parent) {
    // Rendered at the screen's own resolution: the scene is in AU, so more pixels only sharpen it.
    if (!registerWindowClass(WindowClass{DIAGRAM_PANE_CLASS, &orbitDiagramWndProc, appInstance, 0,
                                         true, ClassBackground::None, true})) {
        return {};
    }
    return createWindow(DIAGRAM_PANE_CLASS, "", WindowStyle::Child, parent, Rect{0, 0, 10, 10});
}

MessageResult orbitDiagramWndProc(WindowHandle pane, std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
    switch (message) {
    case MSG_CREATE: {
        paneDc = windowSurface(pane);
        const Rect client = clientRect(pane);
        diagramTarget.create(paneDc, client.width(), client.height(), 24, 0, 0, 0);
        diagramTarget.makeCurrent();
        initDiagramGl();
        setTimer(pane, TIMER_DIAGRAM, TIMER_DIAGRAM_PERIOD_MS);
        return 0; // the first picture comes with the first size
    }
    case MSG_DESTROY:
        killTimer(pane, TIMER_DIAGRAM);
        deleteDiagramTextures(); // while the context is still bound
        diagramTarget.destroy();
        releaseWindowSurface(pane, paneDc);
        return 0;
    case MSG_SIZE: {
        const int width = lowWord(lParam);
        const int height = highWord(lParam);
        diagramTarget.resize(width, height);
        diagramTarget.makeCurrent();
        setView(width, height);
        // No invalidation: a new size repaints the whole pane anyway, and the paint copies.
        renderDiagram();
        return 0;
    }
    case MSG_PAINT:
        diagramTarget.present(paneDc);
        validateWindow(pane);
        return 0;
    case MSG_TIMER: // whatever the identifier: the pane has only the one timer
        renderDiagram();
        invalidateWindow(pane);
        return 0;
    default:
        return defaultWindowProc(pane, message, wParam, lParam);
    }
}

const std::uint8_t* loadBitmapPixels(int bitmapId, int& width, int& height) {
    const PictureHandle picture = loadPicture(appInstance, bitmapId);
    if (!picture) {
        return nullptr;
    }
    const Size size = pictureSize(picture);
    width = size.width;
    height = size.height;
    deletePicture(picture);
    const std::span<const std::uint8_t> stored = resourceBytes(appInstance, bitmapId);
    return stored.size() > DIB_HEADER_BYTES ? stored.data() + DIB_HEADER_BYTES : nullptr;
}

void initDiagramGl() {
    diagramTarget.makeCurrent();
    const GlFunctions* g = gl();
    if (g == nullptr) {
        return; // without a context there is nothing to prepare
    }
    g->depthMask(glv::OFF);
    g->genTextures(3, diagramTextures);

    g->bindTexture(glv::TEXTURE_2D, diagramTextures[0]);
    int width = 0, height = 0;
    if (const std::uint8_t* bgr = loadBitmapPixels(IDB_MARS_PHOTO, width, height)) {
        g->texImage2D(glv::TEXTURE_2D, 0, glv::RGB, width, height, 0, glv::BGR_EXT,
                      glv::UNSIGNED_BYTE, bgr);
        setTextureParameters(g);
    }
    uploadSprite(g, diagramTextures[1], IDB_EARTH_SPRITE);
    uploadSprite(g, diagramTextures[2], IDB_MARS_SPRITE);

    g->enable(glv::BLEND);
    g->blendFunc(glv::SRC_ALPHA, glv::ONE_MINUS_SRC_ALPHA);
    g->enable(glv::LINE_SMOOTH);
    g->lineWidth(1.5f);
    g->texEnvi(glv::TEXTURE_ENV, glv::TEXTURE_ENV_MODE, glv::REPLACE);
    g->disable(glv::DEPTH_TEST);
    g->disable(glv::CULL_FACE);
}

void deleteDiagramTextures() {
    if (const GlFunctions* g = gl()) {
        g->deleteTextures(3, diagramTextures);
    }
}

void renderDiagram() {
    diagramTarget.makeCurrent();
    const GlFunctions* g = gl();
    if (g == nullptr) {
        return; // no context: draw nothing rather than call OpenGL unbound
    }
    // The photograph covers the whole view; nothing else clears the picture.
    g->disable(glv::BLEND);
    g->enable(glv::TEXTURE_2D);
    g->bindTexture(glv::TEXTURE_2D, diagramTextures[0]);
    texturedQuad(g, VIEW_HALF_EXTENT);
    g->enable(glv::BLEND);
    g->disable(glv::TEXTURE_2D);

    const double now = julianDateValue(currentJulianDate());
    TrailPoint earth[EARTH_TRAIL_POINTS];
    TrailPoint mars[MARS_TRAIL_POINTS];
    drawTrail(g, earth, traceTrail(EARTH_TRAIL, now, earth, EARTH_TRAIL_POINTS));
    drawTrail(g, mars, traceTrail(MARS_TRAIL, now, mars, MARS_TRAIL_POINTS));

    const EncounterState& s = encounterState;
    g->color4f(0.5f, 0, 0, 0.1f);
    g->begin(glv::TRIANGLES);
    g->vertex2d(0, 0);
    g->vertex2d(s.earth.x, s.earth.y);
    g->vertex2d(s.mars.x, s.mars.y);
    g->end();

    g->enable(glv::TEXTURE_2D);
    sprite(g, diagramTextures[1], s.earth, EARTH_SPRITE_HALF_SIZE);
    sprite(g, diagramTextures[2], s.mars, MARS_SPRITE_HALF_SIZE);
    // Blending and texturing stay on, and nothing waits for the drawing: presenting does.
}
