#include "questions/drawingview.h"
#include "questions/layerstack.h"

#include <gtest/gtest.h>
#include <QImage>

// The test programs also run with QT_SCALE_FACTOR=2 (see tests/CMakeLists.txt); the drawing
// is then kept at twice the window's units, as the screen shows it.
TEST(HighDensity, TheDrawingIsKeptInTheScreensPixels) {
    questions::LayerStack layers;
    questions::DrawingView view(layers);
    view.resize(240, 180);
    view.show();
    const qreal ratio = view.devicePixelRatioF();
    const QString factor = qEnvironmentVariable("QT_SCALE_FACTOR");
    if (!factor.isEmpty()) {
        EXPECT_DOUBLE_EQ(ratio, factor.toDouble());
    }
    const QImage image = view.image();
    EXPECT_EQ(image.size(), QSize(qRound(240 * ratio), qRound(180 * ratio)));
    EXPECT_DOUBLE_EQ(image.devicePixelRatio(), ratio);
    // A repaint at the same size and ratio reuses the stacked image.
    const int renders = view.renderCount();
    view.image();
    EXPECT_EQ(view.renderCount(), renders);
}
