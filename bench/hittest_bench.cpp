// The drawing under the pointer: the hit test of every pointer move over a key of a few
// thousand click zones, and the repaint of the cached drawing. A move must stay far below
// one frame (16 ms) for hovering to feel smooth. Each figure is against one streaming pass over
// the matrix of the 10,000-species synthetic key, timed in the same run.
#include "passbaseline.h"
#include "synthetickey.h"

#include "engine/identificationstate.h"
#include "engine/keytables.h"
#include "platform/wmfwriter.h"
#include "questions/drawingview.h"
#include "questions/layerstack.h"
#include "questions/zonefinder.h"

#include <benchmark/benchmark.h>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

using questions::ZoneFinder;
using questions::ZoneRow;

// 4,000 zones as the compiler lays them out: 100 frames of 20 zones (zones, then the frame
// row), then 1,900 zones outside every frame, each its own negative frame. Each zone needs
// one or two of 2,000 states; half of the states are chosen, half of the frames open.
struct ZoneKey {
    engine::KeyTables tables;
    std::vector<ZoneRow> rows;
    ZoneFinder::Palette palette;
    engine::IdentificationState state;

    ZoneKey() {
        QRandomGenerator random(7);
        const int states = 2000, questions = 500;
        for (int s = 0; s < states; ++s) tables.addCharacter(QStringLiteral("S%1").arg(s), s);
        for (int q = 0; q < questions; ++q) {
            engine::ObjectRow o;
            o.key = QStringLiteral("Q%1").arg(q);
            o.firstState = 4 * q;
            o.stateCount = 4;
            tables.objects.push_back(o);
        }
        tables.index();
        const auto zone = [&](int frame, bool testFrame, int size) {
            ZoneRow z;
            z.object = QStringLiteral("Q%1").arg(random.bounded(questions));
            z.frame = frame;
            z.testFrame = testFrame;
            z.x1 = random.bounded(2400 - size);
            z.y1 = random.bounded(1800 - size);
            z.x2 = z.x1 + size;
            z.y2 = z.y1 + size;
            const int conditions = 1 + random.bounded(2);
            for (int c = 0; c < conditions; ++c)
                z.constraints << QStringLiteral("S%1").arg(random.bounded(states));
            z.constraints << QStringLiteral("Fin");
            return z;
        };
        for (int f = 0; f < 100; ++f) {
            for (int i = 0; i < 20; ++i) rows.push_back(zone(f, true, 40));
            rows.push_back(zone(f, false, 200));
        }
        for (int i = 0; i < 1900; ++i) rows.push_back(zone(-2 - i, false, 60));
        state.StateChoice.assign(size_t(states), 0);
        for (int s = 0; s < states; s += 2) state.StateChoice[size_t(s)] = 1;
        state.FrameState.assign(100, 0);
        for (int f = 0; f < 100; f += 2) state.FrameState[size_t(f)] = -1;
        for (int c = 0; c < 200; ++c) {
            const auto v = std::uint32_t(random.generate() & 0xFFFFFF);
            palette.colours.push_back(v);
            palette.bgr.push_back({std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)});
            palette.codes.push_back(QStringLiteral("Q%1").arg(c));
        }
    }
};

const ZoneKey& zoneKey() {
    static const ZoneKey key;
    return key;
}

const SyntheticKey& matrixKey() {
    return SyntheticKey::shared(10000);
}

template <typename Work>
void againstPass(benchmark::State& s, int repeats, Work&& work) {
    PassBaseline::measure(
        s, repeats, [] { return matrixKey().streamingPass(); }, work);
}

void HoverHitTest(benchmark::State& s) {
    const ZoneKey& key = zoneKey();
    const ZoneFinder finder(key.rows, key.tables, key.palette);
    QImage displayed(1000, 750, QImage::Format_RGB32);
    displayed.fill(Qt::white);
    QRandomGenerator random(11);
    int found = 0;
    againstPass(s, 2000, [&] {
        const int x = random.bounded(2400), y = random.bounded(1800);
        const auto hit =
            finder.Cherche_Objet(x, y, x * 1000 / 2400, y * 750 / 1800, key.state, displayed);
        found += hit.found;
    });
    s.counters["zones"] = finder.zoneCount();
    benchmark::DoNotOptimize(found);
}
BENCHMARK(HoverHitTest)->Iterations(7)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A point in no zone: every row is walked, then the nearest of 200 palette colours.
void HoverWholeWalkAndColour(benchmark::State& s) {
    const ZoneKey& key = zoneKey();
    const ZoneFinder finder(key.rows, key.tables, key.palette);
    QImage displayed(1000, 750, QImage::Format_RGB32);
    displayed.fill(QColor(12, 200, 99));
    againstPass(s, 2000, [&] {
        benchmark::DoNotOptimize(finder.Cherche_Objet(-1, -1, 5, 5, key.state, displayed));
    });
}
BENCHMARK(HoverWholeWalkAndColour)->Iterations(7)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BuildZoneFinder(benchmark::State& s) {
    const ZoneKey& key = zoneKey();
    againstPass(s, 5,
                [&] { benchmark::DoNotOptimize(ZoneFinder(key.rows, key.tables, key.palette)); });
}
BENCHMARK(BuildZoneFinder)->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);

// Four metafile layers of 400 polygons each, as a detailed drawing has.
struct Drawing {
    QTemporaryDir dir;
    questions::LayerStack layers;
    Drawing() {
        QRandomGenerator random(5);
        for (int layer = 0; layer < 4; ++layer) {
            platform::WmfWriter wmf(QSize(2400, 1800));
            wmf.selectObject(wmf.createNullPen());
            for (int i = 0; i < 400; ++i) {
                wmf.selectObject(wmf.createSolidBrush(QColor::fromRgb(random.generate())));
                QPolygon polygon;
                for (int p = 0; p < 8; ++p)
                    polygon << QPoint(random.bounded(2400), random.bounded(1800));
                wmf.polygon(polygon);
            }
            const QString path = dir.filePath(QStringLiteral("layer%1.wmf").arg(layer));
            wmf.save(path);
            layers.load(layer, path);
        }
    }
};

void RepaintCachedDrawing(benchmark::State& s) {
    Drawing drawing;
    questions::DrawingView view(drawing.layers);
    view.resize(1000, 750);
    QImage target(view.size(), QImage::Format_RGB32);
    againstPass(s, 50, [&] { view.render(&target); });
    s.counters["renders"] = view.renderCount();
}
BENCHMARK(RepaintCachedDrawing)->Iterations(7)->UseManualTime()->Unit(benchmark::kMicrosecond);

// What a resize costs: all layers played again.
void RenderDrawingAfterResize(benchmark::State& s) {
    Drawing drawing;
    questions::DrawingView view(drawing.layers);
    QImage target(QSize(1001, 751), QImage::Format_RGB32);
    int width = 1000;
    againstPass(s, 2, [&] {
        width = width == 1000 ? 1001 : 1000;
        view.resize(width, 750);
        view.render(&target);
    });
    s.counters["renders"] = view.renderCount();
}
BENCHMARK(RenderDrawingAfterResize)->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
