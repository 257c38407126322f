#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QStyledItemDelegate>

namespace documents {

// Paints the species list's lines ("87% - Quercus robur") as the standard delegate does,
// but from glyphs shaped once: the percentage and the name are kept apart, each shaped the
// first time it is painted, so that repainting the list after an answer draws glyphs
// instead of shaping every line again (twice: once to elide it, once to draw it). A line
// that does not fit, or that is not of that form, is painted by the standard delegate.
class SpeciesLineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // Forgets every glyph shaped so far: the next paint shapes each line it shows anew, as
    // it does for lines never painted before.
    void forgetShapes() { texts_.clear(); }

private:
    struct Shaped {
        QList<QGlyphRun> runs;
        qreal width = 0;  // trailing spaces included: the name starts where they end
        qreal height = 0;
    };
    // A copy, not a reference into the cache: shaping the next text may grow or clear it.
    Shaped shaped(const QString& text, const QFont& font) const;

    // Bounded: a key whose lines were all seen starts again rather than grow without end.
    static constexpr int MostKept = 4096;
    mutable QHash<QString, Shaped> texts_;
    mutable QFont font_;
};

}  // namespace documents
