#include "panes/diagram_pane.h"

#include "display/diagram_scene.h"
#include "display/diagram_words.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "panes/accessible.h"
#include "rules/warning.h"

#include <GL/gl.h>
#include <QFocusEvent>
#include <QPainter>
#include <system_error>
#include <vector>

namespace orvanta {

namespace {

// A picture's rows bottom first, as OpenGL takes texture rows: t = 0 is the bottom row.
QImage textureRows(const QString& name, QImage::Format format) {
    return QImage(name).convertToFormat(format).mirrored();
}

void setTextureParameters() {
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

void uploadSprite(GLuint texture, const QString& name) {
    glBindTexture(GL_TEXTURE_2D, texture);
    const QImage bgr = textureRows(name, QImage::Format_BGR888);
    if (bgr.isNull()) {
        return;
    }
    const auto width = static_cast<std::size_t>(bgr.width());
    std::vector<std::uint8_t> rgba(width * static_cast<std::size_t>(bgr.height()) * 4);
    for (int y = 0; y < bgr.height(); ++y) {
        keySprite(bgr.constScanLine(y), width, rgba.data() + y * width * 4);
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, bgr.width(), bgr.height(), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba.data());
    setTextureParameters();
}

// A quad of half side `h` centred on the origin, its texture upright.
void texturedQuad(float h) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-h, -h);
    glTexCoord2f(1, 0);
    glVertex2f(h, -h);
    glTexCoord2f(1, 1);
    glVertex2f(h, h);
    glTexCoord2f(0, 1);
    glVertex2f(-h, h);
    glEnd();
}

void drawTrail(const TrailPoint* points, int count) {
    glBegin(GL_LINE_STRIP);
    for (int i = 0; i < count; ++i) {
        // The colour before each vertex: alpha changes smoothly along every segment.
        glColor4f(0, 0, 0, points[i].alpha);
        glVertex2d(points[i].x, points[i].y);
    }
    glEnd();
}

void sprite(GLuint texture, const Vec3& at, float halfSize) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glPushMatrix();
    glTranslated(at.x, at.y, 0);
    texturedQuad(halfSize);
    glPopMatrix();
}

} // namespace

struct OrbitDiagramPane::Scene {
    Scene(double now, const EncounterState& s)
        : state(s), earthCount(traceTrail(EARTH_TRAIL, now, earth, EARTH_TRAIL_POINTS)),
          marsCount(traceTrail(MARS_TRAIL, now, mars, MARS_TRAIL_POINTS)) {}
    EncounterState state;
    TrailPoint earth[EARTH_TRAIL_POINTS];
    TrailPoint mars[MARS_TRAIL_POINTS];
    int earthCount;
    int marsCount;
};

OrbitDiagramPane::OrbitDiagramPane(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    installAccessibleInterfaces();
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Orbit diagram"));
    try {
        preparing_ = std::thread(&OrbitDiagramPane::prepareOffGuiThread, this, size(),
                                 julianDateValue(currentJulianDate()), encounterState,
                                 firstPicture_.get_future());
    } catch (const std::system_error&) {
        // No thread to be had: everything on this one, as it is when the thread has ended.
        firstPictureAsked_ = true;
        finishPreparing(true);
    }
    timerDiagram_.callOnTimeout(this, [this] {
        renderDiagram();
        update();
    });
    timerDiagram_.start(TIMER_DIAGRAM_PERIOD);
    // The first picture comes with the first size.
}

OrbitDiagramPane::~OrbitDiagramPane() {
    finishPreparing();
    deleteDiagramTextures(); // while the context is still there
    diagramTarget_.destroy();
}

void OrbitDiagramPane::prepareOffGuiThread(QSize initial, double now, EncounterState state,
                                           std::future<std::optional<QSize>> firstPixels) {
    const Scene scene(now, state); // while the GL stack loads, which the context waits for
    if (!diagramTarget_.createSurfaceless(initial.width(), initial.height())) {
        return; // the GUI thread tries Qt's binding once this has ended
    }
    initDiagramGl();
    if (const std::optional<QSize> pixels = firstPixels.get()) {
        if (fitTarget(*pixels)) {
            drawDiagram(scene);
            glFinish(); // the software renderer's threads draw now, not at the first paint
            firstPictureDrawn_ = true;
        }
    }
    diagramTarget_.doneCurrent();
}

bool OrbitDiagramPane::finishPreparing(bool withoutThread) {
    if (!preparing_.joinable() && !withoutThread) {
        return false;
    }
    if (!firstPictureAsked_) {
        firstPicture_.set_value(std::nullopt);
    }
    if (preparing_.joinable()) {
        preparing_.join();
    }
    if (diagramTarget_.state() == OffscreenGlTarget::State::Empty) {
        if (!diagramTarget_.create(width(), height())) {
            warnOnce("no OpenGL to be had: the orbit diagram stays empty");
        }
        initDiagramGl();
    }
    if (firstPictureAsked_ && !firstPictureDrawn_ && !withoutThread) {
        fitTarget();
        return true;
    }
    return false;
}

const OffscreenGlTarget& OrbitDiagramPane::diagramTarget() {
    finishPreparing();
    return diagramTarget_;
}

void OrbitDiagramPane::initDiagramGl() {
    if (!diagramTarget_.makeCurrent()) {
        return; // without a context there is nothing to prepare
    }
    glDepthMask(GL_FALSE);
    glGenTextures(3, diagramTextures_);

    glBindTexture(GL_TEXTURE_2D, diagramTextures_[0]);
    const QImage photo =
        textureRows(QStringLiteral(":/pictures/mars_photo.png"), QImage::Format_RGB888);
    if (!photo.isNull()) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, photo.width(), photo.height(), 0, GL_RGB,
                     GL_UNSIGNED_BYTE, photo.constBits());
        setTextureParameters();
    }
    uploadSprite(diagramTextures_[1], QStringLiteral(":/pictures/earth_sprite.png"));
    uploadSprite(diagramTextures_[2], QStringLiteral(":/pictures/mars_sprite.png"));

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LINE_SMOOTH);
    glLineWidth(1.5f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
}

void OrbitDiagramPane::deleteDiagramTextures() {
    if (diagramTarget_.makeCurrent()) {
        glDeleteTextures(3, diagramTextures_);
    }
}

void OrbitDiagramPane::renderDiagram() {
    finishPreparing();
    drawDiagram(Scene(julianDateValue(currentJulianDate()), encounterState));
}

void OrbitDiagramPane::drawDiagram(const Scene& scene) {
    if (!diagramTarget_.makeCurrent()) {
        return; // no context: draw nothing rather than call OpenGL unbound
    }
    // The photograph covers the whole view; nothing else clears the picture.
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, diagramTextures_[0]);
    texturedQuad(VIEW_HALF_EXTENT);
    glEnable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);

    drawTrail(scene.earth, scene.earthCount);
    drawTrail(scene.mars, scene.marsCount);

    const EncounterState& s = scene.state;
    glColor4f(0.5f, 0, 0, 0.1f);
    glBegin(GL_TRIANGLES);
    glVertex2d(0, 0);
    glVertex2d(s.earth.x, s.earth.y);
    glVertex2d(s.mars.x, s.mars.y);
    glEnd();

    glEnable(GL_TEXTURE_2D);
    sprite(diagramTextures_[1], s.earth, EARTH_SPRITE_HALF_SIZE);
    sprite(diagramTextures_[2], s.mars, MARS_SPRITE_HALF_SIZE);
    // Blending and texturing stay on, and nothing waits for the drawing: presenting does.
}

void OrbitDiagramPane::fitTarget() {
    const QSize pixels = size() * devicePixelRatioF();
    if (preparing_.joinable() && !firstPictureAsked_) {
        // The first size: the thread draws it.
        firstPictureAsked_ = true;
        firstPicture_.set_value(pixels);
        return;
    }
    if (finishPreparing()) {
        return; // fitted and drawn as the first size asked
    }
    if (!fitTarget(pixels)) {
        warnOnce(
            QStringLiteral("the orbit diagram cannot be drawn at %1 x %2 pixels: it stays black")
                .arg(pixels.width())
                .arg(pixels.height())
                .toStdString());
    }
    // No update: a new size repaints the whole pane anyway, and the paint copies.
    drawDiagram(Scene(julianDateValue(currentJulianDate()), encounterState));
}

bool OrbitDiagramPane::fitTarget(QSize pixels) {
    const bool sized = diagramTarget_.resize(pixels.width(), pixels.height());
    if (diagramTarget_.makeCurrent()) {
        glViewport(0, 0, pixels.width(), pixels.height());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-VIEW_HALF_EXTENT, VIEW_HALF_EXTENT, -VIEW_HALF_EXTENT, VIEW_HALF_EXTENT, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    return sized;
}

void OrbitDiagramPane::resizeEvent(QResizeEvent*) {
    fitTarget();
}

void OrbitDiagramPane::paintEvent(QPaintEvent*) {
    finishPreparing();
    // On a screen of another pixel ratio the pane has other device pixels, although Qt reports no
    // change of size.
    if (size() * devicePixelRatioF() != QSize(diagramTarget_.width, diagramTarget_.height)) {
        fitTarget();
    }
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black); // where nothing is copied
    diagramTarget_.present(painter);
    if (focusFrame_->shown()) {
        drawFocusFrame(painter, *this, 0);
    }
}

void OrbitDiagramPane::describe(std::int64_t nowSeconds) {
    const std::int64_t minute = nowSeconds / 60;
    if (minute == describedMinute_) {
        return;
    }
    describedMinute_ = minute;
    const double now = julianDateValue(currentJulianDate());
    setAccessibleDescription(QString::fromStdString(
        describeOrbits(encounterState, encounterAt(now + 1.0 / 24)))); // an hour on
}

} // namespace orvanta
