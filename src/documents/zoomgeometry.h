#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <cstdint>
#include <optional>

namespace documents {

// A drawing sheet shows its page picture at a quarter of its size; the zoom window shows it
// at full size, one picture pixel per logical screen pixel (on a high-density screen a
// picture pixel covers as many device pixels as the sheet's own pixels do, so the zoom stays
// four times the sheet).
inline constexpr int ZoomRatio = 4;

// Screen twips per logical pixel.
struct TwipsPerPixel {
    float x = 15;
    float y = 15;
};

// One axis of the zoom view, all lengths in twips unless named otherwise.
struct ZoomAxis {
    float twipsPerPixel = 15;
    float scale = 0;      // the zoom window's inner length
    int pictureSize = 0;  // the page picture's length in pixels
};

// Keeps the top-left corner of the view inside the picture: it never starts before the
// picture's edge nor ends past its far edge; a window longer than the picture shows its
// near edge.
std::int32_t clampZoom(std::int32_t zoom, const ZoomAxis& axis);

// The corner that centres the zoom window on the picture point under a pointer at document
// position img on a sheet whose page picture starts at origin. Nothing when the arithmetic
// leaves 32 bits.
std::optional<std::int32_t> zoomPosition(std::int32_t img, std::int32_t origin,
                                         const ZoomAxis& axis);

// The corner after a drag from the last pointer position to pointer (twips, window
// coordinates): the picture follows the pointer.
std::optional<std::int32_t> dragZoom(std::int32_t last, std::int32_t zoom, float pointer,
                                     const ZoomAxis& axis);

// The page picture's rectangle on the sheet, in document pixels.
QRectF pagePictureRect(QPoint origin, QSize pictureSize);

// Where the legend window goes: beside the splitter, two thirds of its own width to the
// left of it and a third of the way down, kept on the available area. Everything in
// screen twips; the result is the window's top-left corner.
struct LegendPlacement {
    double splitterLeft = 0;
    double splitterTop = 0;
    double splitterHeight = 0;
    double windowWidth = 0;
    double windowHeight = 0;
    QRectF available;
};
QPointF legendPosition(const LegendPlacement& p);

// Where the zoom window goes when it first opens, as its outer rectangle (frame included):
// beside the page picture it steers (picture, on the screen), to its right when the
// preferred inner size fits there, else to its left, else narrowed to the wider of the two
// strips so that the sheet stays usable. Only when both strips are narrower than minimum
// does it stand at the right of the area, over the sheet.
struct ZoomPlacement {
    QRect picture;
    QRect available;
    QSize preferred;  // inner size
    QMargins frame;
    int gap = 6;
    int minimum = 160;  // inner width
};
QRect zoomWindowRect(const ZoomPlacement& p);

}  // namespace documents
