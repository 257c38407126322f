#include "documents/specieslinedelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

namespace documents {

namespace {

const QLatin1String Separator("% - ");

}  // namespace

SpeciesLineDelegate::Shaped SpeciesLineDelegate::shaped(const QString& text,
                                                        const QFont& font) const {
    if (font != font_) {
        texts_.clear();
        font_ = font;
    }
    auto found = texts_.constFind(text);
    if (found != texts_.constEnd()) return *found;
    if (texts_.size() >= MostKept) texts_.clear();
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setNumColumns(int(text.size()));
    layout.endLayout();
    Shaped s;
    s.runs = layout.glyphRuns();
    s.width = line.horizontalAdvance();
    s.height = line.height();
    texts_.insert(text, s);
    return s;
}

void SpeciesLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString line = opt.text;
    const qsizetype cut = line.indexOf(Separator);
    const bool plain = opt.features == QStyleOptionViewItem::HasDisplay &&
                       opt.direction == Qt::LeftToRight && opt.textElideMode == Qt::ElideRight &&
                       (opt.displayAlignment & Qt::AlignHorizontal_Mask) == Qt::AlignLeft;
    if (cut < 0 || !plain) return QStyledItemDelegate::paint(painter, option, index);

    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    // The style's own margins around the text, as it lays out an item with text alone.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = opt.rect.adjusted(margin, 0, -margin, 0);
    const Shaped percent = shaped(line.left(cut + Separator.size()), opt.font);
    const Shaped name = shaped(line.mid(cut + Separator.size()), opt.font);
    if (percent.width + name.width > area.width())
        return QStyledItemDelegate::paint(painter, option, index);

    // Background, selection and focus as the style paints them, without the text.
    opt.text.clear();
    opt.features &= ~QStyleOptionViewItem::HasDisplay;
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled)  ? QPalette::Disabled
                                       : !(opt.state & QStyle::State_Active) ? QPalette::Inactive
                                                                             : QPalette::Normal;
    const QPalette::ColorRole role =
        (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
    painter->save();
    painter->setPen(opt.palette.color(group, role));
    painter->setFont(opt.font);
    // Centred on whole pixels, as the style aligns the text it lays out.
    const int top = area.top() + (area.height() - qRound(percent.height)) / 2;
    for (const QGlyphRun& run : percent.runs) painter->drawGlyphRun(QPointF(area.left(), top), run);
    for (const QGlyphRun& run : name.runs)
        painter->drawGlyphRun(QPointF(area.left() + percent.width, top), run);
    painter->restore();
}

}  // namespace documents
