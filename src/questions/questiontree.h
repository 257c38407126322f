#pragma once

#include <QTreeWidget>

namespace questions {

// The list of the questions panel. An item view repaints every row it shows when it takes or
// loses the keyboard focus, though only the current row shows the focus (and the selected
// ones, in styles whose highlight follows it); with the focus coming back to the list after
// every answer given from the keyboard, that was most of an answer's time on screen. This
// list repaints those rows and its frame only.
class QuestionTree : public QTreeWidget {
    Q_OBJECT
public:
    using QTreeWidget::QTreeWidget;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void updateFocusRows();
};

}  // namespace questions
