#include "display/diagram_scene.h"

namespace orvanta {

namespace {
constexpr int SPRITE_KEY = 64;
constexpr float TRAIL_PRECISION = 0.25f;
} // namespace

int traceTrail(const TrailShape& shape, double now, TrailPoint* points, int capacity) {
    int count = 0;
    for (double t = now; t > now - shape.spanDays && count < capacity; t -= shape.stepDays) {
        Vec3 position{};
        shape.evaluate(t, position, TRAIL_PRECISION);
        const double alpha = 1.0 - (now - t) * static_cast<double>(shape.fadePerDay);
        points[count++] = TrailPoint{position.x, position.y, static_cast<float>(alpha)};
    }
    return count;
}

void keySprite(const std::uint8_t* bgr, std::size_t pixelCount, std::uint8_t* rgba) {
    for (std::size_t i = 0; i < pixelCount; ++i, bgr += 3, rgba += 4) {
        rgba[0] = bgr[2];
        rgba[1] = bgr[1];
        rgba[2] = bgr[0];
        rgba[3] = bgr[0] + bgr[1] + bgr[2] >= SPRITE_KEY ? 255 : 0;
    }
}

} // namespace orvanta
