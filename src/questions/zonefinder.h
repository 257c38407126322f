#pragma once

#include "engine/identificationstate.h"
#include "kb/model.h"

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace engine {
class KeyTables;
}

namespace questions {

// A "Clic_Zone" row as the table holds it.
struct ZoneRow {
    QString object;  // "Nom"
    int frame = 0;   // "Cadre"
    bool testFrame = false;
    int x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    QStringList constraints;  // "C_0" .. "C_<ConstraintCount-1>", an empty field as ""
};

// The question found at a point of the drawing.
struct ObjectHit {
    bool found = false;
    int object = -1;  // row of KeyTables::objects
    // The key looked up: the zone's "Nom", or the palette code once the colour stage ran
    // (also when no question has that code).
    QString key;
    bool colourStage = false;  // the zones did not decide
};

// Turns a point of the drawing into a question: the click zones first, then the palette
// colour of the displayed pixel. Built once from the tables, so a pointer move costs one
// pass over plain arrays, with no table access.
class ZoneFinder {
public:
    static constexpr int GridWidth = 2400;
    static constexpr int GridHeight = 1800;

    struct Palette {
        std::vector<std::uint32_t> colours;  // 0x00BBGGRR
        std::vector<kb::Bgr> bgr;
        std::vector<QString> codes;
    };

    ZoneFinder() = default;
    ZoneFinder(const std::vector<ZoneRow>& rows, const engine::KeyTables& tables, Palette palette);
    // Reads "Clic_Zone" in key order through its own cursor (the kept one is left alone).
    static ZoneFinder fromModel(const kb::Model& model, const engine::KeyTables& tables);
    static std::vector<ZoneRow> readZones(const kb::Model& model);

    // The question at zone-grid point (zoneX, zoneY); the colour stage reads the pixel
    // (pixelX, pixelY) of the drawing as displayed (all layers, overlays included).
    ObjectHit Cherche_Objet(int zoneX, int zoneY, int pixelX, int pixelY,
                            const engine::IdentificationState& state,
                            const QImage& displayed) const;
    // The palette code nearest to a colour 0x00BBGGRR; empty with an empty palette.
    QString Couleur_Proche(std::uint32_t colour) const;

    // A pointer position over a drawing area of the given size, in the zone grid.
    static QPoint zonePosition(QPointF position, QSizeF area);
    // The same position in whole pixels, halves to even.
    static QPoint pixelPosition(QPointF position);
    // A displayed pixel as 0x00BBGGRR.
    static std::uint32_t colourValue(QRgb pixel);

    int zoneCount() const { return int(zones_.size()); }

private:
    // Zones whose constraints can never hold (no "Fin", an unknown state) are left out:
    // they cannot be hit and do not move the current frame.
    struct Zone {
        int x1, x2, y1, y2;
        int frame;
        bool testFrame;
        int object;  // -1: "Nom" is no question, the colour stage decides
        int firstCondition, conditionCount;
    };
    bool conditionsHold(const Zone& zone, const std::vector<platform::i16>& choice) const;
    ObjectHit colourStage(int pixelX, int pixelY, const QImage& displayed) const;

    std::vector<Zone> zones_;
    std::vector<int> conditionStates_;
    std::vector<QString> zoneKeys_;
    Palette palette_;
    std::vector<int> paletteObjects_;  // question of each palette code, -1 none
};

}  // namespace questions
