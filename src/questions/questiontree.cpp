#include "questions/questiontree.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QStyle>

namespace questions {

void QuestionTree::focusInEvent(QFocusEvent* event) {
    // What QAbstractItemView does on focus, but its whole-viewport repaint.
    if (!currentIndex().isValid() && selectionModel() && event->reason() != Qt::MouseFocusReason) {
        const bool scrolls = hasAutoScroll();
        setAutoScroll(false);
        const QModelIndex first = moveCursor(MoveNext, Qt::NoModifier);
        if (first.isValid() && (first.flags() & Qt::ItemIsEnabled))
            selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
        setAutoScroll(scrolls);
    }
    setAttribute(Qt::WA_InputMethodEnabled,
                 currentIndex().isValid() && (currentIndex().flags() & Qt::ItemIsEditable));
    updateFocusRows();
    event->accept();
}

void QuestionTree::focusOutEvent(QFocusEvent* event) {
    updateFocusRows();
    event->accept();
}

void QuestionTree::updateFocusRows() {
    // The frame around the rows may show the focus.
    update(QRegion(rect()) - QRegion(viewport()->geometry()));
    const int width = viewport()->width();
    const auto row = [this, width](const QModelIndex& index) {
        const QRect r = visualRect(index);
        if (r.isValid()) viewport()->update(QRect(0, r.top(), width, r.height()));
    };
    row(currentIndex());
    if (style()->styleHint(QStyle::SH_ItemView_ChangeHighlightOnFocus, nullptr, this))
        for (const QModelIndex& index : selectionModel()->selectedIndexes()) row(index);
}

}  // namespace questions
