#include "questions/statelist.h"

#include "engine/questionlist.h"
#include "platform/plaintext.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace questions {

namespace {

constexpr int FoldedRole = Qt::UserRole + 1;
constexpr int CellRole = Qt::UserRole + 2;

// Every word of the filter must be found in the state's text.
class FoldedFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setWords(const QString& filter) {
        words_ = engine::searchFolded(filter).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const QString text = sourceModel()->index(row, 0, parent).data(FoldedRole).toString();
        for (const QString& w : words_)
            if (!text.contains(w)) return false;
        return true;
    }

private:
    QStringList words_;
};

}  // namespace

StateList::StateList(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Liste_Etats"));
    setAutoFillBackground(true);
    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("Filtre_Etats"));
    filter_->setClearButtonEnabled(true);
    view_ = new QListView(this);
    view_->setObjectName(QStringLiteral("Vue_Etats"));
    view_->setUniformItemSizes(true);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    model_ = new QStandardItemModel(this);
    auto* filter = new FoldedFilter(this);
    shown_ = filter;
    shown_->setSourceModel(model_);
    view_->setModel(shown_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(filter_);
    layout->addWidget(view_, 1);
    // The state under the cursor stays under it while the filter lets it through.
    connect(filter_, &QLineEdit::textChanged, this, [this, filter](const QString& text) {
        const QModelIndex before = shown_->mapToSource(view_->currentIndex());
        filter->setWords(text);
        const QModelIndex kept = shown_->mapFromSource(before);
        if (kept.isValid())
            view_->setCurrentIndex(kept);
        else if (shown_->rowCount() > 0)
            view_->setCurrentIndex(shown_->index(0, 0));
    });
    filter_->installEventFilter(this);
    view_->installEventFilter(this);
    // It covers the widget it is made over, whatever size that takes.
    if (parent) parent->installEventFilter(this);
}

bool StateList::wanted(int stateCount, int rows, int columns, QSize area, bool hasPicture) {
    if (!hasPicture || rows <= 0 || columns <= 0) return stateCount > 0;
    if (area.width() <= 0 || area.height() <= 0) return false;
    return area.width() / columns < kSmallestCellWidth ||
           area.height() / rows < kSmallestCellHeight;
}

void StateList::setStates(const QStringList& texts, const std::vector<int>& ticked) {
    filter_->clear();
    model_->clear();
    for (int k = 0; k < texts.size(); ++k) {
        // Text of the base: shown as it is, never as markup (a list item has no rich text).
        auto* item = new QStandardItem(texts[k]);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(engine::searchFolded(texts[k]), FoldedRole);
        item->setData(k, CellRole);
        item->setToolTip(platform::plainToolTip(texts[k]));
        model_->appendRow(item);
    }
    for (int cell : ticked) setTicked(cell, true);
    if (shown_->rowCount() > 0) view_->setCurrentIndex(shown_->index(0, 0));
}

void StateList::setFilterHint(const QString& hint) {
    filter_->setPlaceholderText(hint);
}

std::vector<int> StateList::tickedCells() const {
    std::vector<int> cells;
    for (int k = 0; k < model_->rowCount(); ++k)
        if (model_->item(k)->checkState() == Qt::Checked) cells.push_back(k);
    return cells;
}

void StateList::setTicked(int cell, bool ticked) {
    if (QStandardItem* item = model_->item(cell))
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

std::vector<int> StateList::shownCells() const {
    std::vector<int> cells;
    for (int r = 0; r < shown_->rowCount(); ++r)
        cells.push_back(shown_->index(r, 0).data(CellRole).toInt());
    return cells;
}

void StateList::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    filter_->setFocus();
}

// Enter confirms and Escape abandons from the field and the list; in the field the arrows
// walk the list and Space ticks the state under the cursor only when the field is empty.
bool StateList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    if (event->type() != QEvent::KeyPress || watched == parentWidget())
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        emit confirmRequested();
        return true;
    }
    if (key == Qt::Key_Escape) {
        emit abandonRequested();
        return true;
    }
    if (watched == filter_ && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        const int row = view_->currentIndex().row() + (key == Qt::Key_Down ? 1 : -1);
        if (row >= 0 && row < shown_->rowCount()) view_->setCurrentIndex(shown_->index(row, 0));
        return true;
    }
    if (watched == filter_ && key == Qt::Key_Space && filter_->text().isEmpty()) {
        const QModelIndex at = view_->currentIndex();
        if (at.isValid()) {
            const int cell = at.data(CellRole).toInt();
            setTicked(cell, model_->item(cell)->checkState() != Qt::Checked);
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace questions
