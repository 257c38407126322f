#pragma once

#include "authoring/compiler/kblayout.h"
#include "authoring/compiler/kbsource.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

namespace authoring {

// Renders the drawing of a species from the compiled metafiles (the layers the program
// would stack for its states) and the page picture of its drawing sheet.
class PlateRenderer {
public:
    static constexpr int kPageWidth = 2200;
    static constexpr int kPageHeight = 3300;

    PlateRenderer(const KbSource& kb, const KbLayout& layout, const QString& drawingFolder)
        : m_kb(kb), m_layout(layout), m_drawingFolder(drawingFolder) {}

    // Layer files, relative to the drawing folder, chosen as the program chooses them for a
    // description made of the given states.
    QStringList layerFiles(const QStringList& states) const;
    QImage drawing(const QStringList& states, QSize size) const;
    // The full-size page picture: drawing, names and characters, in flat colours only.
    QImage page(const Species& s) const;

private:
    void paintCharacters(class QPainter& p, const Species& s, QRect area) const;

    const KbSource& m_kb;
    const KbLayout& m_layout;
    QString m_drawingFolder;
};

}  // namespace authoring
