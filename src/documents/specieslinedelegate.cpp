#include "documents/specieslinedelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace documents {

namespace {

const QLatin1String Separator("% - ");

}  // namespace

const QStaticText& SpeciesLineDelegate::laidOut(const QString& text, const QFont& font) const {
    if (font != font_) {
        texts_.clear();
        font_ = font;
    }
    auto found = texts_.constFind(text);
    if (found != texts_.constEnd()) return *found;
    if (texts_.size() >= MostKept) texts_.clear();
    QStaticText laid(text);
    laid.setTextFormat(Qt::PlainText);
    laid.setPerformanceHint(QStaticText::AggressiveCaching);
    laid.prepare(QTransform(), font);
    return *texts_.insert(text, laid);
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
    const QStaticText& percent = laidOut(line.left(cut + Separator.size()), opt.font);
    const QStaticText& name = laidOut(line.mid(cut + Separator.size()), opt.font);
    const QSizeF percentSize = percent.size(), nameSize = name.size();
    if (percentSize.width() + nameSize.width() > area.width())
        return QStyledItemDelegate::paint(painter, option, index);

    // Background, selection and focus as the style paints them, without the text.
    opt.text.clear();
    opt.features &= ~QStyleOptionViewItem::HasDisplay;
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : !(opt.state & QStyle::State_Active) ? QPalette::Inactive
                                                                               : QPalette::Normal;
    const QPalette::ColorRole role =
        (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
    painter->save();
    painter->setPen(opt.palette.color(group, role));
    painter->setFont(opt.font);
    // Centred on whole pixels, as the style aligns the text it lays out.
    const int top = area.top() + (area.height() - qRound(percentSize.height())) / 2;
    painter->drawStaticText(QPointF(area.left(), top), percent);
    painter->drawStaticText(QPointF(area.left() + percentSize.width(), top), name);
    painter->restore();
}

}  // namespace documents
