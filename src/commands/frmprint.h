#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace commands {

// The small window shown while the drawing prints: what is happening, a bar that moves once
// per layer, and Cancel. It never blocks the main window; it is made once and only hidden
// afterwards.
class frmPrint : public QWidget {
    Q_OBJECT
public:
    explicit frmPrint(QWidget* owner = nullptr);

    // Shown with the program's caption and translated texts, the bar at 0 of maximum; the
    // first showing centres the window on the screen. Cancellation starts afresh.
    void start(const QString& caption, const QString& label, const QString& cancel, int maximum);
    void setValue(int value);
    // True once Cancel was pressed since start().
    bool PrintCancelled() const { return cancelled_; }

    QProgressBar* Attente = nullptr;
    QPushButton* Abord_But = nullptr;
    QLabel* Label1 = nullptr;

signals:
    void valueChanged(int value);

private:
    bool cancelled_ = false;
    bool placed_ = false;
};

}  // namespace commands
