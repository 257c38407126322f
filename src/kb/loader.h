#pragma once

#include "kb/model.h"

#include <QImage>
#include <QString>
#include <functional>
#include <optional>

namespace kb {

// Where loading stopped. Every loading step runs even when an earlier one failed; the last
// failure is looked at only at these checkpoints, which end the program.
enum class Checkpoint { None, Database, WeightsOpen, WeightsRead, MatrixOpen, MatrixRead };

struct LoadOptions {
    QString dataDir;       // folder of the database, the data files and the palette picture
    QString databaseName;  // file name of the database inside dataDir
    QString databasePath;  // the whole path of the database; when empty, dataDir + databaseName
    // The palette picture as the splash shows it; when null it is rendered here from
    // "couleur.wmf" on a white box of 40 pixels per colour and 30 pixels high.
    QImage paletteBox;
    // Interface texts by English number (the tree roots); nothing for a missing entry.
    std::function<std::optional<QString>(int)> text;
    // Lets pending interface events run while the tables are opened; may be empty.
    std::function<void()> pendingEvents;
};

struct LoadResult {
    Checkpoint failedAt = Checkpoint::None;
    // The checkpoint's message: a path or "<database path>, Erreur N° <n>" as it is shown,
    // or empty when the message is the interface string stringId (1069 or 1070).
    QString message;
    int stringId = 0;
    // What really failed (which table, row, field or file), for the log and the details.
    QString detail;
    // True when the base's own tables are at fault (a row, a field), not a file or the disk:
    // the detail is then the message a knowledge-base author needs to see.
    bool inTables = false;

    bool ok() const { return failedAt == Checkpoint::None; }
};

// Builds the model from the knowledge base, in the order start-up needs it.
LoadResult loadKnowledgeBase(Model& model, const LoadOptions& options);

// Samples the palette from the picture box as displayed: ColourCount cells side by side,
// each read at the middle of its cell.
void samplePalette(const QImage& box, Model& model);

// The sampling point of cell i of n in a box of the given size.
QPoint paletteSamplePoint(int i, int n, QSize box);

// A family name with the first letter of each word in upper case and the rest in lower case.
QString properCase(const QString& text);

}  // namespace kb
