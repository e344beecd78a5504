#pragma once

// The OpenGL room of the layer: what an off-screen OpenGL target needs around its memory surface
// (a 24-bit bottom-up pixel buffer, a pixel format, a rendering context), and the table of OpenGL
// 1.1 entry points that drawing goes through, which is empty while no context is current, so that
// drawing without a context draws nothing.

#include "platform/surface.h"

#include <cstdint>

// The header of a device-independent bitmap, in its published layout.
struct BitmapInfoHeader {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight; // positive: the first row in memory is the picture's bottom row
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

struct BitmapInfo {
    BitmapInfoHeader bmiHeader;
    std::uint32_t bmiColors[1]; // plays no part at 24 bits per pixel
};

constexpr std::uint32_t BI_RGB = 0;

// A picture over a pixel buffer of the size and depth the header gives (24 bits, rows padded to 4
// bytes, in the header's row order), which the layer owns and hands out in `pixels` until the
// picture is deleted. Null, and `pixels` null, when it cannot be made.
PictureHandle createDibSection(SurfaceHandle surface, const BitmapInfo& info,
                               std::uint8_t** pixels);

// The part of a pixel-format request that matters here.
struct PixelFormatDescriptor {
    std::uint16_t nSize;
    std::uint16_t nVersion;
    std::uint32_t dwFlags;
    std::uint8_t iPixelType;
    std::uint8_t cColorBits;
    std::uint8_t cAccumBits;
    std::uint8_t cDepthBits;
    std::uint8_t cStencilBits;
    std::uint8_t iLayerType;
};

constexpr std::uint32_t PFD_DOUBLEBUFFER = 0x01;
constexpr std::uint32_t PFD_DRAW_TO_WINDOW = 0x04;
constexpr std::uint32_t PFD_DRAW_TO_BITMAP = 0x08;
constexpr std::uint32_t PFD_SUPPORT_OPENGL = 0x20;
constexpr std::uint8_t PFD_TYPE_RGBA = 0;
constexpr std::uint8_t PFD_MAIN_PLANE = 0;

// An index for the closest format the memory surface offers (single-buffered, drawing to its
// bitmap, up to 24 colour bits, no depth, stencil or accumulation buffer); 0 when none fits.
int choosePixelFormat(SurfaceHandle surface, const PixelFormatDescriptor& descriptor);
bool setPixelFormat(SurfaceHandle surface, int format, const PixelFormatDescriptor& descriptor);

struct GlContextHandle {
    std::uint32_t id = 0;
    explicit operator bool() const { return id != 0; }
    friend bool operator==(GlContextHandle, GlContextHandle) = default;
};

// A compatibility-profile context (OpenGL 1.1 calls work) for a memory surface with a pixel
// format. Null when none can be had.
GlContextHandle createGlContext(SurfaceHandle surface);
// Binds the context to the surface, drawing into the picture selected into it; null and null
// unbind. False when the two cannot be bound.
bool makeGlCurrent(SurfaceHandle surface, GlContextHandle context);
void deleteGlContext(GlContextHandle context);

// Drawing queued on surfaces is done.
void flushSurfaces();
// For a surface that was never given a pixel format: shows nothing new.
void swapSurfaceBuffers(SurfaceHandle surface);

// The OpenGL 1.1 entry points the orbit diagram uses. `finish` returns when everything drawn has
// reached the picture selected into the current surface.
struct GlFunctions {
    void (*genTextures)(std::int32_t count, std::uint32_t* names);
    void (*deleteTextures)(std::int32_t count, const std::uint32_t* names);
    void (*bindTexture)(std::uint32_t target, std::uint32_t name);
    void (*texImage2D)(std::uint32_t target, std::int32_t level, std::int32_t internalFormat,
                       std::int32_t width, std::int32_t height, std::int32_t border,
                       std::uint32_t format, std::uint32_t type, const void* pixels);
    void (*texParameterf)(std::uint32_t target, std::uint32_t name, float value);
    void (*texEnvi)(std::uint32_t target, std::uint32_t name, std::int32_t value);
    void (*depthMask)(std::uint8_t flag);
    void (*enable)(std::uint32_t capability);
    void (*disable)(std::uint32_t capability);
    void (*blendFunc)(std::uint32_t source, std::uint32_t destination);
    void (*lineWidth)(float width);
    void (*viewport)(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
    void (*matrixMode)(std::uint32_t mode);
    void (*loadIdentity)();
    void (*ortho)(double left, double right, double bottom, double top, double zNear, double zFar);
    void (*pushMatrix)();
    void (*popMatrix)();
    void (*translated)(double x, double y, double z);
    void (*begin)(std::uint32_t mode);
    void (*end)();
    void (*texCoord2f)(float s, float t);
    void (*vertex2f)(float x, float y);
    void (*vertex2d)(double x, double y);
    void (*color4f)(float red, float green, float blue, float alpha);
    void (*finish)();
};

// The table of the current context; null while none is current.
const GlFunctions* gl();

// OpenGL 1.1 values, under names of our own so as not to meet the system's GL macros.
namespace glv {
constexpr std::uint8_t OFF = 0; // GL_FALSE
constexpr std::uint32_t LINE_STRIP = 0x0003;
constexpr std::uint32_t TRIANGLES = 0x0004;
constexpr std::uint32_t QUADS = 0x0007;
constexpr std::uint32_t SRC_ALPHA = 0x0302;
constexpr std::uint32_t ONE_MINUS_SRC_ALPHA = 0x0303;
constexpr std::uint32_t CULL_FACE = 0x0B44;
constexpr std::uint32_t DEPTH_TEST = 0x0B71;
constexpr std::uint32_t LINE_SMOOTH = 0x0B20;
constexpr std::uint32_t BLEND = 0x0BE2;
constexpr std::uint32_t TEXTURE_2D = 0x0DE1;
constexpr std::uint32_t UNSIGNED_BYTE = 0x1401;
constexpr std::uint32_t MODELVIEW = 0x1700;
constexpr std::uint32_t PROJECTION = 0x1701;
constexpr std::int32_t RGB = 0x1907;
constexpr std::int32_t RGBA = 0x1908;
constexpr std::int32_t REPLACE = 0x1E01;
constexpr std::uint32_t TEXTURE_ENV_MODE = 0x2200;
constexpr std::uint32_t TEXTURE_ENV = 0x2300;
constexpr float LINEAR = 0x2601;
constexpr std::uint32_t TEXTURE_MAG_FILTER = 0x2800;
constexpr std::uint32_t TEXTURE_MIN_FILTER = 0x2801;
constexpr std::uint32_t TEXTURE_WRAP_S = 0x2802;
constexpr std::uint32_t TEXTURE_WRAP_T = 0x2803;
constexpr float REPEAT = 0x2901;
constexpr std::uint32_t BGR_EXT = 0x80E0;
} // namespace glv
