#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

class QLineEdit;
class QListView;
class QStandardItemModel;
class QSortFilterProxyModel;

namespace questions {

// A question of many states asked as a list: every state's text, a filter field that narrows
// the list as the user types (case and accents ignored), and a tick box on each state;
// several may be ticked. Enter confirms and Escape abandons, as on the picture of choices.
// It shows and reports cells (0 = the question's first state); the controller confirms.
class StateList : public QWidget {
    Q_OBJECT
public:
    explicit StateList(QWidget* parent = nullptr);

    // Whether a question is asked as a list rather than its picture of choices: when it has
    // no picture, or when a cell of its grid, shown over `area` (logical pixels), is smaller
    // than a vignette with two lines of caption under it: 120 x 90.
    static bool wanted(int stateCount, int rows, int columns, QSize area, bool hasPicture);
    static constexpr int kSmallestCellWidth = 120;
    static constexpr int kSmallestCellHeight = 90;

    // Shows the texts of the question's states, the `ticked` cells ticked, the filter empty.
    void setStates(const QStringList& texts, const std::vector<int>& ticked);
    void setFilterHint(const QString& hint);
    std::vector<int> tickedCells() const;
    void setTicked(int cell, bool ticked);
    // The cells the filter lets through, in order.
    std::vector<int> shownCells() const;

    QLineEdit* filterField() const { return filter_; }
    QListView* view() const { return view_; }

signals:
    void confirmRequested();
    void abandonRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* filter_;
    QListView* view_;
    QStandardItemModel* model_;
    QSortFilterProxyModel* shown_;
};

}  // namespace questions
