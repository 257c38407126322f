#pragma once

#include "authoring/compiler/kbsource.h"

#include <QImage>
#include <QString>

class QFont;
class QPainter;

namespace authoring {

// Draws the raster pictures of a knowledge base: one picture of choices per question (a
// grid of the states' pictures with their labels, cells of equal size), the toolbar
// buttons, and the contradiction icons of the buttons.
class PictureWriter {
public:
    // A picture of choices has the drawing's 4:3 shape; its cells share it equally.
    static constexpr int kChoiceWidth = 960;
    static constexpr int kChoiceHeight = 720;
    static constexpr int kButtonSize = 32;

    explicit PictureWriter(const KbSource& kb) : m_kb(kb) {}

    bool writeChoicePictures(const QString& folder);
    bool writeButtons(const QString& dataFolder);
    bool writeContradictionIcons(const QString& drawingFolder);
    QString errorString() const { return m_error; }

    QImage choicePicture(const Question& q) const;
    // The same picture with a palette when it has at most 256 colours, else itself.
    static QImage compact(const QImage& image);
    QImage buttonPicture(const Button& b) const;
    static QString fittedLines(const QString& label, const QFont& font, double width,
                               double height);

private:
    void paintState(QPainter& p, const State& s, const QRect& area) const;
    static void paintLabel(QPainter& p, const QString& label, const QRectF& area);
    void paintVignette(QPainter& p, const QString& name, const QRectF& box) const;
    void paintSymbol(QPainter& p, const QString& symbol, const QRectF& box) const;
    bool save(const QImage& image, const QString& path, const char* format);

    const KbSource& m_kb;
    QString m_error;
};

}  // namespace authoring
