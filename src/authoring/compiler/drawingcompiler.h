#pragma once

#include "authoring/compiler/kbsource.h"

#include <QColor>
#include <QHash>
#include <QString>

namespace authoring {

// Writes the drawing layers, the contradiction pictures and the palette strip as Windows
// metafiles. Every figure is filled with the exact palette colour of its part and drawn
// without antialiasing by the program, so the colour under the pointer names the part.
class DrawingCompiler {
public:
    // The drawings are in the units of the click-zone grid.
    static constexpr int kWidth = 2400;
    static constexpr int kHeight = 1800;

    explicit DrawingCompiler(const KbSource& kb);

    bool writeFigures(const QString& drawingFolder);
    // "couleur.wmf": one cell of equal width per palette entry, left to right.
    static bool writePalette(const QList<QColor>& colours, const QString& path, QString* error);
    QString errorString() const { return m_error; }

private:
    bool writeFigure(const Figure& figure, const QString& path);

    QHash<QString, QColor> m_colours;
    const KbSource& m_kb;
    QString m_error;
};

}  // namespace authoring
