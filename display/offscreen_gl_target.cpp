#include "display/offscreen_gl_target.h"

namespace {
constexpr std::int32_t PIXELS_PER_METRE = 2952;
}

OffscreenGlTarget::~OffscreenGlTarget() {
    makeGlCurrent(SurfaceHandle{}, GlContextHandle{});
    releaseDib();
    if (memoryDc) {
        deleteMemorySurface(memoryDc);
    }
    if (context) {
        deleteGlContext(context);
    }
}

bool OffscreenGlTarget::createDib(std::int32_t requestedWidth, std::int32_t requestedHeight) {
    const std::int32_t w = requestedWidth == 0 ? 1 : requestedWidth;
    const std::int32_t h = requestedHeight == 0 ? 1 : requestedHeight;
    BitmapInfoHeader& header = bitmapInfo.bmiHeader;
    header.biSize = sizeof(BitmapInfoHeader);
    header.biWidth = w;
    header.biHeight = h; // positive: bottom row first, as OpenGL keeps it
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    // Not rounded up per row: the buffer itself has rows padded to 4 bytes.
    header.biSizeImage = static_cast<std::uint32_t>(w) * static_cast<std::uint32_t>(h) * 3;
    header.biXPelsPerMeter = PIXELS_PER_METRE;
    header.biYPelsPerMeter = PIXELS_PER_METRE;
    header.biClrUsed = 0;
    header.biClrImportant = 0;
    dib = createDibSection(memoryDc, bitmapInfo, &pixels);
    if (!dib) {
        return false;
    }
    previousBitmap = selectPicture(memoryDc, dib);
    width = w;
    height = h;
    return true;
}

void OffscreenGlTarget::releaseDib() {
    if (dib) {
        selectPicture(memoryDc, previousBitmap);
        deletePicture(dib);
        dib = {};
        previousBitmap = {};
        pixels = nullptr;
    }
}

GlContextHandle OffscreenGlTarget::create(SurfaceHandle windowDc, std::int32_t requestedWidth,
                                          std::int32_t requestedHeight, std::uint8_t colourBits,
                                          std::uint8_t depthBits, std::uint8_t stencilBits,
                                          std::uint8_t accumulationBits) {
    if (context) {
        return context;
    }
    memoryDc = createMemorySurface(windowDc);
    if (!memoryDc) {
        return {};
    }
    // Its result does not decide: the pixel format and the context do.
    createDib(requestedWidth, requestedHeight);

    descriptor_ = PixelFormatDescriptor{};
    descriptor_.nSize = sizeof(PixelFormatDescriptor);
    descriptor_.nVersion = 1;
    descriptor_.dwFlags = PFD_DRAW_TO_BITMAP | PFD_SUPPORT_OPENGL;
    descriptor_.iPixelType = PFD_TYPE_RGBA;
    descriptor_.cColorBits = colourBits;
    descriptor_.cAccumBits = accumulationBits;
    descriptor_.cDepthBits = depthBits;
    descriptor_.cStencilBits = stencilBits;
    descriptor_.iLayerType = PFD_MAIN_PLANE;
    pixelFormat = choosePixelFormat(memoryDc, descriptor_);
    if (pixelFormat != 0 && setPixelFormat(memoryDc, pixelFormat, descriptor_)) {
        context = createGlContext(memoryDc);
    }
    if (!context) {
        releaseDib();
        deleteMemorySurface(memoryDc);
        memoryDc = {};
        return {};
    }
    makeGlCurrent(memoryDc, context);
    return context;
}

bool OffscreenGlTarget::resize(std::int32_t requestedWidth, std::int32_t requestedHeight) {
    if (!memoryDc || (requestedWidth == width && requestedHeight == height)) {
        width = requestedWidth;
        height = requestedHeight;
        return true;
    }
    releaseDib();
    if (!createDib(requestedWidth, requestedHeight) ||
        !setPixelFormat(memoryDc, pixelFormat, descriptor_) || !makeGlCurrent(memoryDc, context)) {
        return false;
    }
    // A requested 0 is kept as 0, although the bitmap has a pixel that way: nothing is copied.
    width = requestedWidth;
    height = requestedHeight;
    return true;
}

bool OffscreenGlTarget::makeCurrent() {
    return makeGlCurrent(memoryDc, context);
}

void OffscreenGlTarget::present(SurfaceHandle windowDc) {
    if (!memoryDc) {
        swapSurfaceBuffers(windowDc);
        return;
    }
    if (const GlFunctions* g = gl()) {
        g->finish();
    }
    flushSurfaces();
    copySurface(windowDc, memoryDc, width, height);
}

void OffscreenGlTarget::destroy() {
    makeGlCurrent(SurfaceHandle{}, GlContextHandle{});
    releaseDib();
    deleteGlContext(context);
    context = {};
    if (memoryDc) {
        deleteMemorySurface(memoryDc);
        memoryDc = {};
    }
}
