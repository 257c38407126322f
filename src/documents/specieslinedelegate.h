#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace documents {

// Paints the species list's lines ("87% - Quercus robur") as the standard delegate does,
// but from text laid out once: the percentage and the name are kept apart, each shaped the
// first time it is painted, so that repainting the list after an answer draws glyphs
// instead of shaping every line again. A line that does not fit, or that is not of that
// form, is painted by the standard delegate.
class SpeciesLineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    const QStaticText& laidOut(const QString& text, const QFont& font) const;

    // Bounded: a key whose lines were all seen starts again rather than grow without end.
    static constexpr int MostKept = 4096;
    mutable QHash<QString, QStaticText> texts_;
    mutable QFont font_;
};

}  // namespace documents
