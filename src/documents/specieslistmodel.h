#pragma once

#include <QAbstractListModel>
#include <functional>

namespace documents {

// The lines of the species list, made only when a view asks for them: a refresh of the
// ranking costs a reset, not one formatted line per species.
class SpeciesListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using LineText = std::function<QString(int line)>;

    explicit SpeciesListModel(LineText line, QObject* parent = nullptr);

    // The list now holds `lines` lines, whatever it held before.
    void reset(int lines);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    LineText line_;
    int rows_ = 0;
};

}  // namespace documents
