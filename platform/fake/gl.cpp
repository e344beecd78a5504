// The OpenGL room of the recording layer: contexts are names, and the table records every call.

#include "platform/fake/state.h"

using namespace fakelayer;

namespace {

void call(const char* name, std::vector<double> args = {}) {
    state().glCalls.push_back(fake::GlCall{name, std::move(args)});
}

constexpr GlFunctions RECORDING{
    [](std::int32_t n, std::uint32_t* names) {
        for (std::int32_t i = 0; i < n; ++i) {
            names[i] = static_cast<std::uint32_t>(i + 1);
        }
        call("genTextures", {double(n)});
    },
    [](std::int32_t n, const std::uint32_t* names) {
        call("deleteTextures", {double(n), n > 0 ? double(names[0]) : 0.0});
    },
    [](std::uint32_t target, std::uint32_t name) {
        call("bindTexture", {double(target), double(name)});
    },
    [](std::uint32_t target, std::int32_t level, std::int32_t internalFormat, std::int32_t width,
       std::int32_t height, std::int32_t border, std::uint32_t format, std::uint32_t type,
       const void* pixels) {
        call("texImage2D",
             {double(target), double(level), double(internalFormat), double(width), double(height),
              double(border), double(format), double(type), pixels == nullptr ? 0.0 : 1.0});
    },
    [](std::uint32_t target, std::uint32_t name, float value) {
        call("texParameterf", {double(target), double(name), value});
    },
    [](std::uint32_t target, std::uint32_t name, std::int32_t value) {
        call("texEnvi", {double(target), double(name), double(value)});
    },
    [](std::uint8_t flag) { call("depthMask", {double(flag)}); },
    [](std::uint32_t capability) { call("enable", {double(capability)}); },
    [](std::uint32_t capability) { call("disable", {double(capability)}); },
    [](std::uint32_t source, std::uint32_t destination) {
        call("blendFunc", {double(source), double(destination)});
    },
    [](float width) { call("lineWidth", {width}); },
    [](std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
        call("viewport", {double(x), double(y), double(width), double(height)});
    },
    [](std::uint32_t mode) { call("matrixMode", {double(mode)}); },
    [] { call("loadIdentity"); },
    [](double left, double right, double bottom, double top, double zNear, double zFar) {
        call("ortho", {left, right, bottom, top, zNear, zFar});
    },
    [] { call("pushMatrix"); },
    [] { call("popMatrix"); },
    [](double x, double y, double z) {
        call("translated", {x, y, z});
    },
    [](std::uint32_t mode) { call("begin", {double(mode)}); },
    [] { call("end"); },
    [](float s, float t) {
        call("texCoord2f", {s, t});
    },
    [](float x, float y) {
        call("vertex2f", {x, y});
    },
    [](double x, double y) {
        call("vertex2d", {x, y});
    },
    [](float red, float green, float blue, float alpha) {
        call("color4f", {red, green, blue, alpha});
    },
    [] { call("finish"); },
};

FakeSurface* memorySurface(SurfaceHandle s) {
    const auto it = state().surfaces.find(s.id);
    return it == state().surfaces.end() || it->second.window ? nullptr : &it->second;
}

} // namespace

namespace fake {

const std::vector<GlCall>& glCalls() {
    return state().glCalls;
}

} // namespace fake

PictureHandle createDibSection(SurfaceHandle surface, const BitmapInfo& info,
                               std::uint8_t** pixels) {
    *pixels = nullptr;
    const BitmapInfoHeader& h = info.bmiHeader;
    // What the Qt layer takes: 24 bits, uncompressed, bottom-up.
    if (!record("createDibSection", text(surface.id, h.biWidth, h.biHeight, h.biBitCount,
                                         h.biSizeImage, h.biXPelsPerMeter)) ||
        h.biSize != sizeof(BitmapInfoHeader) || h.biBitCount != 24 || h.biPlanes != 1 ||
        h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight <= 0) {
        return {};
    }
    const PictureHandle picture{state().nextId++};
    const std::size_t stride = (static_cast<std::size_t>(h.biWidth) * 3 + 3) / 4 * 4;
    state().pictures[picture.id] = Picture{Size{h.biWidth, h.biHeight}};
    std::vector<std::uint8_t>& buffer = state().dibPixels[picture.id];
    buffer.assign(stride * static_cast<std::size_t>(h.biHeight), 0);
    *pixels = buffer.data();
    return picture;
}

int choosePixelFormat(SurfaceHandle surface, const PixelFormatDescriptor& d) {
    const bool ok = record("choosePixelFormat",
                           text(surface.id, d.dwFlags, int{d.iPixelType}, int{d.cColorBits},
                                int{d.cDepthBits}, int{d.cStencilBits}, int{d.cAccumBits}));
    return ok && memorySurface(surface) != nullptr ? 1 : 0;
}

bool setPixelFormat(SurfaceHandle surface, int format, const PixelFormatDescriptor&) {
    FakeSurface* memory = memorySurface(surface);
    if (!record("setPixelFormat", text(surface.id, format)) || memory == nullptr || format != 1) {
        return false;
    }
    memory->pixelFormat = format;
    return true;
}

GlContextHandle createGlContext(SurfaceHandle surface) {
    const FakeSurface* memory = memorySurface(surface);
    if (!record("createGlContext", std::to_string(surface.id)) || memory == nullptr ||
        memory->pixelFormat == 0) {
        return {};
    }
    const GlContextHandle context{state().nextId++};
    state().glContexts.insert(context.id);
    return context;
}

bool makeGlCurrent(SurfaceHandle surface, GlContextHandle context) {
    const bool ok = record("makeGlCurrent", text(surface.id, context.id));
    if (!surface && !context) {
        state().currentGlContext = 0;
        return true;
    }
    const FakeSurface* memory = memorySurface(surface);
    if (!ok || memory == nullptr || memory->pixelFormat == 0 ||
        state().glContexts.count(context.id) == 0) {
        return false;
    }
    state().currentGlContext = context.id;
    return true;
}

void deleteGlContext(GlContextHandle context) {
    record("deleteGlContext", std::to_string(context.id));
    state().glContexts.erase(context.id);
    if (state().currentGlContext == context.id) {
        state().currentGlContext = 0;
    }
}

void flushSurfaces() {
    record("flushSurfaces");
}

void swapSurfaceBuffers(SurfaceHandle surface) {
    record("swapSurfaceBuffers", std::to_string(surface.id));
}

const GlFunctions* gl() {
    return state().currentGlContext != 0 ? &RECORDING : nullptr;
}
