#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kb {
struct Measure;
}

namespace questions {

// The number field of a question whose states are ranges of a measurement, shown above its
// picture of choices: a value with a decimal comma or point, the unit beside it. Enter hands
// the text to whoever answers; Escape abandons the question as on the picture.
class MeasureField : public QWidget {
    Q_OBJECT
public:
    explicit MeasureField(const QString& placeholder, const QString& okText,
                          QWidget* parent = nullptr);

    // Empties the field and shows the unit of `measure`.
    void setMeasure(const kb::Measure& measure, const QString& question);
    QLineEdit* edit() const { return edit_; }
    QString unit() const;

signals:
    void submitted(const QString& text);
    void abandonRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* edit_;
    QLabel* unit_;
    QPushButton* ok_;
};

}  // namespace questions
