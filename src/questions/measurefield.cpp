#include "questions/measurefield.h"

#include "kb/measures.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace questions {

MeasureField::MeasureField(const QString& placeholder, const QString& okText, QWidget* parent)
    : QWidget(parent),
      edit_(new QLineEdit(this)),
      unit_(new QLabel(this)),
      ok_(new QPushButton(okText, this)) {
    setObjectName(QStringLiteral("Mesure_Champ"));
    edit_->setObjectName(QStringLiteral("Mesure_Valeur"));
    edit_->setPlaceholderText(placeholder);
    edit_->setMaxLength(64);
    edit_->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
    unit_->setTextFormat(Qt::PlainText);
    QFont bold = unit_->font();
    bold.setBold(true);
    unit_->setFont(bold);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 6, 2);
    row->addStretch(1);
    row->addWidget(edit_, 2);
    row->addWidget(unit_);
    row->addWidget(ok_);
    row->addStretch(1);
    setFocusProxy(edit_);
    connect(edit_, &QLineEdit::returnPressed, this, [this] { emit submitted(edit_->text()); });
    connect(ok_, &QPushButton::clicked, this, [this] { emit submitted(edit_->text()); });
}

void MeasureField::setMeasure(const kb::Measure& measure, const QString& question) {
    edit_->clear();
    edit_->setAccessibleName(question);
    unit_->setText(measure.unit);
    unit_->setVisible(!measure.unit.isEmpty());
}

QString MeasureField::unit() const {
    return unit_->text();
}

void MeasureField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit abandonRequested();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace questions
