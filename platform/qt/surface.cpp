// The drawing room on Qt 6: surfaces draw into QImages (a window's backing, or the picture selected
// into a memory surface) with QPainter, in the one font the program ships.

#include "platform/qt/registry.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QResource>
#include <QSaveFile>
#include <cstdlib>
#include <cstring>
#include <map>

namespace qtlayer {

namespace {

// The shipped font at the pixel size whose layout units come closest to a 16-pixel text height and
// a 7-pixel average character width, the units the info pane was laid out for; the height first,
// as it places every box and line, while the width only indents the lines.
const QFont& shippedFont() {
    static const QFont font = [] {
        QFile file(QStringLiteral(":/fonts/text.ttf"));
        const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const int id = QFontDatabase::addApplicationFontFromData(data);
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        QFont best(families.isEmpty() ? QString() : families.first());
        // The family may have other faces installed on the system: ask for the shipped one's.
        const QRawFont face(data, 16);
        best.setWeight(static_cast<QFont::Weight>(face.weight()));
        best.setStyle(face.style());
        std::pair<int, int> bestDistance{INT32_MAX, INT32_MAX};
        for (int pixels = 8; pixels <= 24; ++pixels) {
            QFont candidate = best;
            candidate.setPixelSize(pixels);
            const QFontMetrics metrics(candidate);
            const std::pair<int, int> distance{std::abs(metrics.height() - 16),
                                               std::abs(metrics.averageCharWidth() - 7)};
            if (distance < bestDistance) {
                bestDistance = distance;
                best = candidate;
            }
        }
        return best;
    }();
    return font;
}

Surface* findSurface(SurfaceHandle s) {
    const auto it = registry().surfaces.find(s.id);
    return it == registry().surfaces.end() ? nullptr : &it->second;
}

std::uint32_t readLittleEndian(const uchar* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value << 8 | p[i];
    }
    return value;
}

// A packed device-independent bitmap (the BMP layout without its file header) as a top-down image:
// 8 bits with its palette, or 24 bits. Null for anything else or anything short.
QImage imageFromPackedDib(const QByteArray& dib) {
    const auto* data = reinterpret_cast<const uchar*>(dib.constData());
    if (dib.size() < 40 || readLittleEndian(data, 4) != 40) {
        return {};
    }
    const auto width = static_cast<std::int32_t>(readLittleEndian(data + 4, 4));
    const auto height = static_cast<std::int32_t>(readLittleEndian(data + 8, 4));
    const std::uint32_t bits = readLittleEndian(data + 14, 2);
    const std::uint32_t compression = readLittleEndian(data + 16, 4);
    std::uint32_t colours = readLittleEndian(data + 32, 4);
    if (width <= 0 || width > 65536 || height == 0 || std::abs(height) > 65536 ||
        compression != 0 || (bits != 8 && bits != 24)) {
        return {};
    }
    if (bits == 8 && (colours == 0 || colours > 256)) {
        colours = 256;
    } else if (bits == 24) {
        colours = 0;
    }
    const int rows = std::abs(height);
    const qsizetype stride = (static_cast<qsizetype>(width) * bits + 31) / 32 * 4;
    const qsizetype pixelsAt = 40 + static_cast<qsizetype>(colours) * 4;
    if (dib.size() < pixelsAt + stride * rows) {
        return {};
    }
    QImage image(width, rows, bits == 8 ? QImage::Format_Indexed8 : QImage::Format_BGR888);
    if (bits == 8) {
        QList<QRgb> table;
        for (std::uint32_t i = 0; i < colours; ++i) {
            const uchar* entry = data + 40 + i * 4;
            table.append(qRgb(entry[2], entry[1], entry[0]));
        }
        image.setColorTable(table);
    }
    const qsizetype rowBytes = static_cast<qsizetype>(width) * bits / 8;
    for (int y = 0; y < rows; ++y) {
        const int stored = height > 0 ? rows - 1 - y : y; // positive heights are stored bottom-up
        std::memcpy(image.scanLine(y), data + pixelsAt + stride * stored,
                    static_cast<std::size_t>(rowBytes));
    }
    return image;
}

// Draws on what a surface draws into, in device pixels scaled by `scale` (the surface's ratio
// for drawing in its own pixels, 1 for device pixels), whatever ratio the image carries.
class DevicePainter {
  public:
    DevicePainter(QImage& image, qreal scale)
        : image_(image), imageRatio_(image.devicePixelRatio()) {
        image_.setDevicePixelRatio(1.0);
        painter_.begin(&image_);
        painter_.scale(scale, scale);
    }
    ~DevicePainter() {
        painter_.end();
        image_.setDevicePixelRatio(imageRatio_);
    }
    QPainter* operator->() { return &painter_; }

  private:
    QImage& image_;
    qreal imageRatio_;
    QPainter painter_;
};

QRect devicePixels(const Rect& r, qreal ratio) {
    return QRect(qRound(r.left * ratio), qRound(r.top * ratio), qRound(r.width() * ratio),
                 qRound(r.height() * ratio));
}

PictureHandle newPicture(QImage image) {
    const std::uint32_t id = newId();
    registry().pictures[id].image = std::move(image);
    return PictureHandle{id};
}

void freePicture(std::uint32_t id) {
    registry().pictures.erase(id);
}

} // namespace

qreal surfaceRatio(std::uint32_t surfaceId) {
    Surface* surface = findSurface(SurfaceHandle{surfaceId});
    if (surface == nullptr) {
        return 1.0;
    }
    if (surface->window) {
        if (const Window* window = liveWindow(surface->window)) {
            surface->lastRatio =
                window->windowClass.devicePixels ? 1.0 : window->devicePixelRatioF();
        }
    } else if (findSurface(SurfaceHandle{surface->compatibleWith}) != nullptr) {
        surface->lastRatio = surfaceRatio(surface->compatibleWith);
    }
    return surface->lastRatio;
}

Picture* selectedPicture(std::uint32_t surfaceId) {
    const Surface* surface = findSurface(SurfaceHandle{surfaceId});
    if (surface == nullptr || surface->window) {
        return nullptr;
    }
    const auto picture = registry().pictures.find(surface->picture);
    return picture == registry().pictures.end() ? nullptr : &picture->second;
}

QImage* surfaceImage(std::uint32_t surfaceId) {
    Surface* surface = findSurface(SurfaceHandle{surfaceId});
    if (surface == nullptr) {
        return nullptr;
    }
    if (surface->window) {
        Window* window = liveWindow(surface->window);
        return window == nullptr ? nullptr : &window->backing();
    }
    Picture* picture = selectedPicture(surfaceId);
    if (picture == nullptr) {
        return nullptr;
    }
    QImage& image = picture->image;
    if (picture->dibWidth > 0) {
        return &image; // a view of the bitmap's own pixels, at their own resolution
    }
    const bool drawable = image.format() == QImage::Format_RGB32 ||
                          image.format() == QImage::Format_ARGB32_Premultiplied ||
                          image.format() == QImage::Format_BGR888;
    const qreal ratio = surfaceRatio(surfaceId);
    if (!drawable || image.devicePixelRatio() != ratio) {
        // As a display-compatible bitmap: full colour, at the resolution of the screen it is for.
        QImage converted(image.size() / image.devicePixelRatio() * ratio, QImage::Format_RGB32);
        if (converted.size() == image.size()) {
            converted = image.convertToFormat(QImage::Format_RGB32);
        } else {
            QPainter painter(&converted);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(converted.rect(), image);
        }
        converted.setDevicePixelRatio(ratio);
        image = converted;
    }
    return &image;
}

} // namespace qtlayer

using namespace qtlayer;

SurfaceHandle windowSurface(WindowHandle w) {
    Window* window = liveWindow(w);
    if (window == nullptr || !window->windowClass.ownSurface) {
        return {};
    }
    for (const auto& [id, surface] : registry().surfaces) {
        if (surface.window == w) {
            return SurfaceHandle{id};
        }
    }
    const std::uint32_t id = newId();
    registry().surfaces[id] = Surface{w};
    return SurfaceHandle{id};
}

void releaseWindowSurface(WindowHandle w, SurfaceHandle s) {
    const Surface* surface = findSurface(s);
    if (surface != nullptr && surface->window == w) {
        registry().surfaces.erase(s.id);
    }
}

SurfaceHandle createMemorySurface(SurfaceHandle compatibleWith) {
    const Surface* other = findSurface(compatibleWith);
    if (other == nullptr) {
        return {};
    }
    QImage first(1, 1, QImage::Format_RGB32);
    first.fill(Qt::black);
    const PictureHandle picture = newPicture(first);
    const std::uint32_t id = newId();
    Surface memory{WindowHandle{}, compatibleWith.id, other->lastRatio, picture.id, picture.id};
    registry().pictures[picture.id].selectedInto = id;
    registry().surfaces[id] = memory;
    return SurfaceHandle{id};
}

void deleteMemorySurface(SurfaceHandle s) {
    const Surface* surface = findSurface(s);
    if (surface == nullptr || surface->window) {
        return;
    }
    const auto selected = registry().pictures.find(surface->picture);
    if (selected != registry().pictures.end()) {
        selected->second.selectedInto = 0;
        if (selected->second.deleteWhenDeselected) {
            freePicture(surface->picture);
        }
    }
    freePicture(surface->firstPicture);
    registry().surfaces.erase(s.id);
}

PictureHandle loadPicture(InstanceHandle, int resourceId) {
    // Decoded once, in full colour through its palette, as a display bitmap would be; every load
    // then shares it until drawn on.
    static std::map<int, QImage> decoded;
    auto it = decoded.find(resourceId);
    if (it == decoded.end()) {
        const QResource resource(QStringLiteral(":/%1/picture.dib").arg(resourceId));
        const QImage image = imageFromPackedDib(resource.uncompressedData());
        it = decoded
                 .emplace(resourceId,
                          image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32))
                 .first;
    }
    return it->second.isNull() ? PictureHandle{} : newPicture(it->second);
}

Size pictureSize(PictureHandle p) {
    const auto it = registry().pictures.find(p.id);
    if (it == registry().pictures.end()) {
        return Size{0, 0};
    }
    if (it->second.dibWidth > 0) {
        return Size{it->second.dibWidth, it->second.dibHeight};
    }
    const QSize size = it->second.image.deviceIndependentSize().toSize();
    return Size{size.width(), size.height()};
}

std::span<const std::uint8_t> resourceBytes(InstanceHandle, int resourceId) {
    const QResource resource(QStringLiteral(":/%1/picture.dib").arg(resourceId));
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression) {
        return {};
    }
    return {resource.data(), static_cast<std::size_t>(resource.size())};
}

void deletePicture(PictureHandle p) {
    const auto it = registry().pictures.find(p.id);
    if (it == registry().pictures.end()) {
        return;
    }
    if (it->second.selectedInto != 0) {
        it->second.deleteWhenDeselected = true;
    } else {
        freePicture(p.id);
    }
}

PictureHandle selectPicture(SurfaceHandle s, PictureHandle p) {
    Surface* surface = findSurface(s);
    const auto picture = registry().pictures.find(p.id);
    if (surface == nullptr || surface->window || picture == registry().pictures.end() ||
        (picture->second.selectedInto != 0 && picture->second.selectedInto != s.id)) {
        return {};
    }
    const std::uint32_t previous = surface->picture;
    const auto old = registry().pictures.find(previous);
    if (old != registry().pictures.end() && previous != p.id) {
        old->second.selectedInto = 0;
        if (old->second.deleteWhenDeselected) {
            freePicture(previous);
        }
    }
    picture->second.selectedInto = s.id;
    surface->picture = p.id;
    return PictureHandle{previous};
}

TextMetrics textMetrics(SurfaceHandle) {
    const QFontMetrics metrics(shippedFont());
    return TextMetrics{metrics.height(), metrics.averageCharWidth()};
}

void setTextColour(SurfaceHandle s, Colour colour) {
    if (Surface* surface = findSurface(s)) {
        surface->textColour = QColor(colour.red, colour.green, colour.blue);
    }
}

void drawCenteredText(SurfaceHandle s, Rect rect, std::string_view text) {
    QImage* image = surfaceImage(s.id);
    if (image == nullptr) {
        return;
    }
    DevicePainter painter(*image, surfaceRatio(s.id));
    painter->setFont(shippedFont());
    painter->setPen(findSurface(s)->textColour);
    const QRect box(rect.left, rect.top, rect.width(), rect.height());
    painter->setClipRect(box);
    painter->drawText(box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic,
                      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void drawText(SurfaceHandle s, Point at, std::string_view text) {
    QImage* image = surfaceImage(s.id);
    if (image == nullptr || text.empty()) {
        return;
    }
    DevicePainter painter(*image, surfaceRatio(s.id));
    painter->setFont(shippedFont());
    painter->setPen(findSurface(s)->textColour);
    painter->drawText(QPointF(at.x, at.y + QFontMetrics(shippedFont()).ascent()),
                      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void drawRoundedOutline(SurfaceHandle s, Rect rect, Pen pen) {
    QImage* image = surfaceImage(s.id);
    if (image == nullptr) {
        return;
    }
    const QRectF outer = QRectF(rect.left, rect.top, rect.width(), rect.height()).normalized();
    // A ring between two rounded rectangles a pixel apart, filled without smoothing: one pixel wide
    // on every straight edge, symmetric in its corners, and the corner pixel itself left alone.
    QPainterPath ring;
    ring.setFillRule(Qt::OddEvenFill);
    ring.addRoundedRect(outer, 10, 10);
    if (outer.width() > 2 && outer.height() > 2) {
        ring.addRoundedRect(outer.adjusted(1, 1, -1, -1), 9, 9);
    }
    DevicePainter painter(*image, surfaceRatio(s.id));
    painter->fillPath(ring, pen == Pen::Black ? Qt::black : Qt::white);
}

void stretchSurface(SurfaceHandle destination, Rect to, SurfaceHandle source, Rect from) {
    QImage* target = surfaceImage(destination.id);
    QImage* origin = surfaceImage(source.id);
    if (target == nullptr || origin == nullptr) {
        return;
    }
    const QRect toPixels = devicePixels(to, surfaceRatio(destination.id));
    const QRect fromPixels = devicePixels(from, surfaceRatio(source.id));
    if (toPixels.isEmpty() || fromPixels.isEmpty()) {
        return;
    }
    // The halftone stretch: area-averaged where it shrinks, interpolated where it grows (which
    // the painter does several times faster), a plain copy where it does neither.
    DevicePainter painter(*target, 1.0); // the target in device pixels, whatever ratio it carries
    if (toPixels.width() < fromPixels.width() || toPixels.height() < fromPixels.height()) {
        painter->drawImage(toPixels.topLeft(), origin->copy(fromPixels)
                                                   .scaled(toPixels.size(), Qt::IgnoreAspectRatio,
                                                           Qt::SmoothTransformation));
    } else {
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->drawImage(toPixels, *origin, fromPixels);
    }
}

void copySurface(SurfaceHandle destination, SurfaceHandle source, int width, int height) {
    QImage* target = surfaceImage(destination.id);
    QImage* origin = surfaceImage(source.id);
    if (target == nullptr || origin == nullptr || width <= 0 || height <= 0) {
        return;
    }
    const QRect fromPixels = devicePixels(Rect{0, 0, width, height}, surfaceRatio(source.id));
    const Picture* picture = selectedPicture(source.id);
    DevicePainter painter(*target, 1.0);
    const QRect toPixels(QPoint(0, 0), fromPixels.size());
    if (picture != nullptr && picture->bottomUp) {
        // The first row in memory is the picture's bottom row.
        painter->drawImage(toPixels, origin->mirrored(false, true), fromPixels);
    } else {
        painter->drawImage(toPixels, *origin, fromPixels);
    }
}

void validateWindow(WindowHandle) {
    // A Qt paint event ends with its handler; nothing stays to be validated.
}

bool saveWindowPicture(WindowHandle w, const char* path) {
    Window* window = liveWindow(w);
    if (window == nullptr || window->size().isEmpty()) {
        return false;
    }
    QPixmap picture(window->size() * window->devicePixelRatioF());
    picture.setDevicePixelRatio(window->devicePixelRatioF());
    picture.fill(Qt::black);
    window->render(&picture);
    QSaveFile file(QString::fromLocal8Bit(path));
    return file.open(QIODevice::WriteOnly) && picture.toImage().save(&file, "PNG") && file.commit();
}
