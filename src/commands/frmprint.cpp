#include "commands/frmprint.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace commands {

frmPrint::frmPrint(QWidget* owner) : QWidget(owner, Qt::Dialog) {
    setObjectName(QStringLiteral("frmPrint"));
    setWindowModality(Qt::NonModal);
    auto* column = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignHCenter);
    Attente = new QProgressBar(this);
    Attente->setObjectName(QStringLiteral("Attente"));
    Attente->setMinimumWidth(280);
    Abord_But = new QPushButton(this);
    Abord_But->setObjectName(QStringLiteral("Abord_But"));
    column->addWidget(Label1);
    column->addWidget(Attente);
    column->addWidget(Abord_But, 0, Qt::AlignHCenter);
    connect(Abord_But, &QPushButton::clicked, this, [this] { cancelled_ = true; });
}

void frmPrint::start(const QString& caption, const QString& label, const QString& cancel,
                     int maximum) {
    setWindowTitle(caption);
    Label1->setText(label);
    Abord_But->setText(cancel);
    cancelled_ = false;
    Attente->setRange(0, std::max(0, maximum));
    Attente->setValue(0);
    if (!placed_) {
        adjustSize();
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen) move(screen->availableGeometry().center() - rect().center());
        placed_ = true;
    }
    show();
    raise();
}

void frmPrint::setValue(int value) {
    Attente->setValue(value);
    emit valueChanged(value);
}

}  // namespace commands
