#pragma once

#include <QAbstractListModel>
#include <functional>

namespace documents {

// The lines of the species list, made only when a view asks for them: a refresh of the
// ranking costs a change of the model, not one formatted line per species.
class SpeciesListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using LineText = std::function<QString(int line)>;

    explicit SpeciesListModel(LineText line, QObject* parent = nullptr);

    // The list now holds `lines` lines, whatever it held before. When the count is the same
    // the lines are replaced in place and only linesReplaced() says so: a view made by
    // showSpeciesList() then repaints the lines it shows. A dataChanged() over every row
    // would make a list view lay out, and a tree view walk, all the rows, which on a large
    // key costs as much as the ranking. A new count resets the model, then linesReplaced().
    void reset(int lines);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

signals:
    // The lines are new: a view repaints them, and what it had selected or current named
    // another species.
    void linesReplaced();

private:
    LineText line_;
    int rows_ = 0;
};

}  // namespace documents
