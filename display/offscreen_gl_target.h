#pragma once

// An OpenGL 1.1 rendering context whose drawing lands in a 24-bit memory bitmap, copied to a
// window on demand: rendering and presenting are separate, so a repaint is only a copy.

#include "platform/platform.h"

#include <cstdint>

class OffscreenGlTarget {
  public:
    OffscreenGlTarget() = default;
    // Copes with whatever `destroy` has not released; after a `destroy` it only unbinds.
    ~OffscreenGlTarget();
    OffscreenGlTarget(const OffscreenGlTarget&) = delete;
    OffscreenGlTarget& operator=(const OffscreenGlTarget&) = delete;

    // The context, or null. A second call returns the first context and changes nothing.
    GlContextHandle create(SurfaceHandle windowDc, std::int32_t width, std::int32_t height,
                           std::uint8_t colourBits, std::uint8_t depthBits,
                           std::uint8_t stencilBits, std::uint8_t accumulationBits);
    // Re-creates the bitmap when the size differs from the stored one; false on a failed step.
    bool resize(std::int32_t width, std::int32_t height);
    bool makeCurrent();
    // Completes the frame and copies the stored size 1:1 to the window's top-left corner.
    void present(SurfaceHandle windowDc);
    void destroy();

    // The size `present` copies; 0 after construction.
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pixelFormat = 0;
    GlContextHandle context;
    SurfaceHandle memoryDc;
    PictureHandle dib;
    PictureHandle previousBitmap;
    BitmapInfo bitmapInfo{};
    std::uint8_t* pixels = nullptr;

  private:
    bool createDib(std::int32_t requestedWidth, std::int32_t requestedHeight);
    void releaseDib();
    // The request made at creation, applied again to every re-created bitmap.
    PixelFormatDescriptor descriptor_{};
};
