#include "questions/zonefinder.h"

#include "engine/keytables.h"
#include "platform/numbers.h"

#include <cmath>

namespace questions {

namespace {

const QString End = QStringLiteral("Fin");

int objectOf(const engine::KeyTables& tables, const QString& key) {
    const auto index = tables.objectIndex(key);
    return index ? *index : -1;
}

}  // namespace

ZoneFinder::ZoneFinder(const std::vector<ZoneRow>& rows, const engine::KeyTables& tables,
                       Palette palette)
    : palette_(std::move(palette)) {
    for (const ZoneRow& row : rows) {
        Zone zone{row.x1,
                  row.x2,
                  row.y1,
                  row.y2,
                  row.frame,
                  row.testFrame,
                  objectOf(tables, row.object),
                  int(conditionStates_.size()),
                  0};
        bool ended = false, possible = true;
        for (const QString& code : row.constraints) {
            if (code == End) {
                ended = true;
                break;
            }
            // A code that "Caracteres" does not hold counts as a constraint never met.
            const auto state = tables.stateOfCode(code);
            if (!state) {
                possible = false;
                break;
            }
            conditionStates_.push_back(*state);
        }
        if (!ended || !possible) {
            conditionStates_.resize(size_t(zone.firstCondition));
            continue;
        }
        zone.conditionCount = int(conditionStates_.size()) - zone.firstCondition;
        zones_.push_back(zone);
        zoneKeys_.push_back(row.object);
    }
    for (const QString& code : palette_.codes) paletteObjects_.push_back(objectOf(tables, code));
}

std::vector<ZoneRow> ZoneFinder::readZones(const kb::Model& model) {
    std::vector<ZoneRow> rows;
    kb::Table t = model.ClickZoneTable;
    if (!t.isValid() || !t.setIndex(QStringLiteral("PrimaryKey"))) return rows;
    QStringList names;
    for (int k = 0; k < model.ConstraintCount; ++k) names << QStringLiteral("C_%1").arg(k);
    const auto number = [&t](const char* name) { return t.field(QLatin1String(name)).toInt(); };
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        ZoneRow row;
        row.object = t.field(QStringLiteral("Nom")).toString();
        row.frame = number("Cadre");
        row.testFrame = t.field(QStringLiteral("Test_Cadre")).toBool();
        row.x1 = number("X1");
        row.x2 = number("X2");
        row.y1 = number("Y1");
        row.y2 = number("Y2");
        for (const QString& name : names) row.constraints << t.field(name).toString();
        rows.push_back(row);
    }
    return rows;
}

ZoneFinder ZoneFinder::fromModel(const kb::Model& model, const engine::KeyTables& tables) {
    return ZoneFinder(readZones(model), tables,
                      Palette{model.PaletteColour, model.PaletteBGR, model.PaletteCode});
}

bool ZoneFinder::conditionsHold(const Zone& zone, const std::vector<platform::i16>& choice) const {
    for (int i = 0; i < zone.conditionCount; ++i) {
        const int state = conditionStates_[size_t(zone.firstCondition + i)];
        if (state < 0 || size_t(state) >= choice.size() || choice[size_t(state)] != 1) return false;
    }
    return true;
}

ObjectHit ZoneFinder::Cherche_Objet(int zoneX, int zoneY, int pixelX, int pixelY,
                                    const engine::IdentificationState& state,
                                    const QImage& displayed) const {
    int currentFrame = -1;
    for (size_t i = 0; i < zones_.size(); ++i) {
        const Zone& z = zones_[i];
        if (!conditionsHold(z, state.StateChoice)) continue;
        if (z.frame == currentFrame) continue;
        // A frame row that is not hit hides the rows of its frame that follow it.
        if (!z.testFrame) currentFrame = z.frame;
        if (!(z.x1 < zoneX && zoneX < z.x2 && z.y1 < zoneY && zoneY < z.y2)) continue;
        if (z.testFrame) {
            const bool open = z.frame >= 0 && size_t(z.frame) < state.FrameState.size() &&
                              state.FrameState[size_t(z.frame)] != 0;
            if (!open) continue;
        }
        if (z.object < 0) break;
        return ObjectHit{true, z.object, zoneKeys_[i], false};
    }
    return colourStage(pixelX, pixelY, displayed);
}

ObjectHit ZoneFinder::colourStage(int pixelX, int pixelY, const QImage& displayed) const {
    ObjectHit hit;
    hit.colourStage = true;
    if (!displayed.valid(pixelX, pixelY)) return hit;
    const std::uint32_t colour = colourValue(displayed.pixel(pixelX, pixelY));
    hit.key = Couleur_Proche(colour);
    if (hit.key.isEmpty()) return hit;
    // The first palette entry with this code holds its question.
    for (size_t i = 0; i < palette_.codes.size(); ++i) {
        if (palette_.codes[i] == hit.key) {
            hit.object = paletteObjects_[i];
            break;
        }
    }
    hit.found = hit.object >= 0;
    return hit;
}

QString ZoneFinder::Couleur_Proche(std::uint32_t colour) const {
    const size_t n =
        std::min({palette_.colours.size(), palette_.bgr.size(), palette_.codes.size()});
    for (size_t i = 0; i < n; ++i) {
        if (palette_.colours[i] == colour) return palette_.codes[i];
    }
    const int red = int(colour & 255), green = int((colour >> 8) & 255),
              blue = int((colour >> 16) & 255);
    double best = 65535;
    QString code;
    for (size_t i = 0; i < n; ++i) {
        const kb::Bgr& c = palette_.bgr[i];
        const double db = c.blue - blue, dg = c.green - green, dr = c.red - red;
        const double distance = std::sqrt(db * db + dg * dg + dr * dr);
        if (best > distance) {
            best = distance;
            code = palette_.codes[i];
        }
    }
    return code;
}

QPoint ZoneFinder::zonePosition(QPointF position, QSizeF area) {
    const double w = std::max(1.0, area.width()), h = std::max(1.0, area.height());
    return QPoint(int(std::floor(GridWidth / w * position.x())),
                  int(std::floor(GridHeight / h * position.y())));
}

QPoint ZoneFinder::pixelPosition(QPointF position) {
    return QPoint(int(platform::roundHalfEven(position.x())),
                  int(platform::roundHalfEven(position.y())));
}

std::uint32_t ZoneFinder::colourValue(QRgb pixel) {
    return std::uint32_t(qRed(pixel)) | std::uint32_t(qGreen(pixel)) << 8 |
           std::uint32_t(qBlue(pixel)) << 16;
}

}  // namespace questions
