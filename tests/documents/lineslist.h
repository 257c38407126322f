#pragma once

#include "documents/specieslistmodel.h"
#include "documents/speciespanes.h"

#include <QItemSelectionModel>
#include <QListView>
#include <QStringList>

// A species list view over lines given by the test, as the window shows the ranking.
class LinesList : public QListView {
public:
    explicit LinesList(QWidget* parent = nullptr)
        : QListView(parent), model_([this](int line) { return lines_.value(line); }) {
        documents::showSpeciesList(this, &model_);
    }
    void setLines(const QStringList& lines) {
        lines_ = lines;
        model_.reset(int(lines.size()));
    }
    void setCurrentRow(int row) { setCurrentIndex(model_.index(row, 0)); }
    QList<int> selectedRows() const {
        QList<int> rows;
        for (const QModelIndex& i : selectionModel()->selectedIndexes()) rows << i.row();
        return rows;
    }
    QRect lineRect(int row) const { return visualRect(model_.index(row, 0)); }

private:
    QStringList lines_;
    documents::SpeciesListModel model_;
};
