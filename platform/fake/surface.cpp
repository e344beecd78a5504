// The drawing room of the recording layer: drawing operations are kept as structured records.

#include "platform/fake/state.h"

using namespace fakelayer;

namespace {

FakeSurface* findSurface(SurfaceHandle s) {
    const auto it = state().surfaces.find(s.id);
    return it == state().surfaces.end() ? nullptr : &it->second;
}

void forget(std::uint32_t picture) {
    state().pictures.erase(picture);
    state().dibPixels.erase(picture);
}

void deselect(std::uint32_t picture) {
    const auto it = state().pictures.find(picture);
    if (it != state().pictures.end()) {
        it->second.selectedInto = 0;
        if (it->second.deleteWhenDeselected) {
            forget(picture);
        }
    }
}

void draw(fake::Drawn operation) {
    const std::string detail =
        std::to_string(operation.surface) + (operation.text.empty() ? "" : " " + operation.text);
    if (record(operation.call, detail) &&
        findSurface(SurfaceHandle{operation.surface}) != nullptr) {
        state().drawn.push_back(std::move(operation));
    }
}

} // namespace

namespace fake {

const std::vector<Drawn>& drawn() {
    return state().drawn;
}
std::uint32_t selectedPicture(SurfaceHandle surface) {
    return state().surfaces.at(surface.id).picture;
}
bool pictureExists(PictureHandle picture) {
    return state().pictures.count(picture.id) != 0;
}
void setTextMetrics(TextMetrics metrics) {
    state().textMetrics = metrics;
}

} // namespace fake

SurfaceHandle windowSurface(WindowHandle w) {
    const WindowState* window = live(w);
    if (!record("windowSurface", describe(w)) || window == nullptr || !window->ownSurface) {
        return {};
    }
    for (const auto& [id, surface] : state().surfaces) {
        if (surface.window == w) {
            return SurfaceHandle{id};
        }
    }
    const SurfaceHandle surface{state().nextId++};
    state().surfaces[surface.id] = FakeSurface{w};
    return surface;
}

void releaseWindowSurface(WindowHandle w, SurfaceHandle s) {
    record("releaseWindowSurface", text(describe(w), s.id));
    const FakeSurface* surface = findSurface(s);
    if (surface != nullptr && surface->window == w) {
        state().surfaces.erase(s.id);
    }
}

SurfaceHandle createMemorySurface(SurfaceHandle compatibleWith) {
    if (!record("createMemorySurface", std::to_string(compatibleWith.id)) ||
        findSurface(compatibleWith) == nullptr) {
        return {};
    }
    const SurfaceHandle surface{state().nextId++};
    const std::uint32_t first = state().nextId++; // the 1 x 1 picture it starts with
    state().pictures[first] = Picture{Size{1, 1}, surface.id};
    state().surfaces[surface.id] = FakeSurface{{}, first, first};
    return surface;
}

void deleteMemorySurface(SurfaceHandle s) {
    record("deleteMemorySurface", std::to_string(s.id));
    const FakeSurface* surface = findSurface(s);
    if (surface == nullptr || surface->window) {
        return;
    }
    deselect(surface->picture);
    forget(surface->firstPicture);
    state().surfaces.erase(s.id);
}

void fake::addResource(int resourceId, Size size, std::vector<std::uint8_t> bytes) {
    state().resources[resourceId] = Resource{size, std::move(bytes)};
}

PictureHandle loadPicture(InstanceHandle, int resourceId) {
    if (!record("loadPicture", std::to_string(resourceId))) {
        return {};
    }
    const auto resource = state().resources.find(resourceId);
    const PictureHandle picture{state().nextId++};
    state().pictures[picture.id] =
        Picture{resource == state().resources.end() ? Size{1, 1} : resource->second.size};
    return picture;
}

Size pictureSize(PictureHandle p) {
    record("pictureSize", std::to_string(p.id));
    const auto it = state().pictures.find(p.id);
    return it == state().pictures.end() ? Size{0, 0} : it->second.size;
}

std::span<const std::uint8_t> resourceBytes(InstanceHandle, int resourceId) {
    const auto resource = state().resources.find(resourceId);
    if (!record("resourceBytes", std::to_string(resourceId)) ||
        resource == state().resources.end()) {
        return {};
    }
    return resource->second.bytes;
}

void deletePicture(PictureHandle p) {
    record("deletePicture", std::to_string(p.id));
    const auto it = state().pictures.find(p.id);
    if (it == state().pictures.end()) {
        return;
    }
    if (it->second.selectedInto != 0) {
        it->second.deleteWhenDeselected = true; // as the Qt layer: freed once selected out
    } else {
        forget(p.id);
    }
}

PictureHandle selectPicture(SurfaceHandle s, PictureHandle p) {
    FakeSurface* surface = findSurface(s);
    const auto picture = state().pictures.find(p.id);
    if (!record("selectPicture", text(s.id, p.id)) || surface == nullptr || surface->window ||
        picture == state().pictures.end() ||
        (picture->second.selectedInto != 0 && picture->second.selectedInto != s.id)) {
        return {};
    }
    const PictureHandle previous{surface->picture};
    if (previous.id != p.id) {
        deselect(previous.id);
    }
    picture->second.selectedInto = s.id;
    surface->picture = p.id;
    return previous;
}

TextMetrics textMetrics(SurfaceHandle s) {
    record("textMetrics", std::to_string(s.id));
    return state().textMetrics;
}

void setTextColour(SurfaceHandle s, Colour colour) {
    record("setTextColour", text(s.id, int{colour.red}, int{colour.green}, int{colour.blue}));
}

void drawCenteredText(SurfaceHandle s, Rect rect, std::string_view text) {
    draw({"drawCenteredText", s.id, rect, {}, std::string(text)});
}

void drawText(SurfaceHandle s, Point at, std::string_view text) {
    draw({"drawText", s.id, {}, at, std::string(text)});
}

void drawRoundedOutline(SurfaceHandle s, Rect rect, Pen pen) {
    draw({"drawRoundedOutline", s.id, rect, {}, {}, pen});
}

void stretchSurface(SurfaceHandle destination, Rect to, SurfaceHandle source, Rect from) {
    draw({"stretchSurface", destination.id, to, {}, {}, Pen::Black, source.id, from});
}

void copySurface(SurfaceHandle destination, SurfaceHandle source, int width, int height) {
    draw({"copySurface",
          destination.id,
          {},
          {},
          {},
          Pen::Black,
          source.id,
          Rect{0, 0, width, height}});
}

void validateWindow(WindowHandle w) {
    record("validateWindow", describe(w));
    if (WindowState* window = live(w)) {
        window->paintPending = false;
    }
}

bool saveWindowPicture(WindowHandle w, const char* path) {
    return record("saveWindowPicture", text(describe(w), path)) && live(w) != nullptr;
}
