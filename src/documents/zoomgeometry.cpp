#include "documents/zoomgeometry.h"

#include "platform/numbers.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace documents {

namespace {

std::optional<std::int32_t> nearest32(double v) {
    const double r = platform::roundHalfEven(v);
    if (!std::isfinite(r) || r < std::numeric_limits<std::int32_t>::min() ||
        r > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(r);
}

std::optional<std::int32_t> checked32(std::int64_t v) {
    if (v < std::numeric_limits<std::int32_t>::min() ||
        v > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

}  // namespace

std::int32_t clampZoom(std::int32_t zoom, const ZoomAxis& axis) {
    // Single precision, as the picture's far edge has always been compared.
    const float farEdge = float(axis.pictureSize) * axis.twipsPerPixel;
    std::int32_t z = zoom;
    if (farEdge > axis.scale + float(zoom)) {
        z = std::max(zoom, 0);
    } else {
        z = nearest32(double(farEdge - axis.scale)).value_or(0);
    }
    // A window longer than the picture would otherwise start before it.
    return std::max(z, 0);
}

std::optional<std::int32_t> zoomPosition(std::int32_t img, std::int32_t origin,
                                         const ZoomAxis& axis) {
    const auto offset = checked32(std::int64_t(img) - origin);
    if (!offset) return std::nullopt;
    const auto full = checked32(std::int64_t(*offset) * ZoomRatio);
    if (!full) return std::nullopt;
    const float centred = axis.twipsPerPixel * float(*full) - axis.scale / 2.0f;
    const auto zoom = nearest32(double(centred));
    if (!zoom) return std::nullopt;
    return clampZoom(*zoom, axis);
}

std::optional<std::int32_t> dragZoom(std::int32_t last, std::int32_t zoom, float pointer,
                                     const ZoomAxis& axis) {
    if (axis.scale / axis.twipsPerPixel > float(axis.pictureSize)) return 0;
    const auto sum = checked32(std::int64_t(last) + zoom);
    if (!sum) return std::nullopt;
    const auto moved = nearest32(double(float(*sum) - pointer));
    if (!moved) return std::nullopt;
    return clampZoom(*moved, axis);
}

QRectF pagePictureRect(QPoint origin, QSize pictureSize) {
    return QRectF(origin, QSizeF(pictureSize) / ZoomRatio);
}

QPointF legendPosition(const LegendPlacement& p) {
    // Halves to even, then the whole division of old.
    const auto third = [](double v) {
        return double(static_cast<long long>(platform::roundHalfEven(2 * v)) / 3);
    };
    double left = p.splitterLeft - third(p.windowWidth);
    double top = p.splitterTop + third(p.splitterHeight);
    if (!p.available.isEmpty()) {
        left = std::max(p.available.left(),
                        std::min(left, p.available.left() + p.available.width() - p.windowWidth));
        top = std::max(p.available.top(),
                       std::min(top, p.available.top() + p.available.height() - p.windowHeight));
    }
    return {left, top};
}

QRect zoomWindowRect(const ZoomPlacement& p) {
    const int frameWidth = p.frame.left() + p.frame.right();
    const int frameHeight = p.frame.top() + p.frame.bottom();
    const int rightStrip = p.available.right() - (p.picture.right() + p.gap);
    const int leftStrip = (p.picture.left() - p.gap) - p.available.left();
    const int wanted = p.preferred.width() + frameWidth;
    const int height = std::min(p.preferred.height() + frameHeight,
                                std::max(frameHeight + 1, p.available.height()));
    const int top = p.available.top() + std::min(96, p.available.height() / 8);
    const int y = std::max(p.available.top(), std::min(top, p.available.bottom() + 1 - height));
    if (rightStrip >= wanted) return QRect(p.picture.right() + p.gap + 1, y, wanted, height);
    if (leftStrip >= wanted) return QRect(p.picture.left() - p.gap - wanted, y, wanted, height);
    const int widest = std::max(leftStrip, rightStrip);
    if (widest - frameWidth >= p.minimum) {
        if (rightStrip >= leftStrip)
            return QRect(p.picture.right() + p.gap + 1, y, rightStrip, height);
        return QRect(p.available.left(), y, leftStrip, height);
    }
    return QRect(std::max(p.available.left(), p.available.right() + 1 - wanted), y, wanted, height);
}

}  // namespace documents
