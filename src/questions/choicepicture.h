#pragma once

#include "engine/currentquestion.h"
#include "platform/picture.h"
#include "platform/picturecache.h"

#include <QColor>
#include <QSet>
#include <QWidget>
#include <functional>

namespace kb {
class Model;
}

namespace questions {

// Pic_Choix: the picture of the states of the open question, a grid of ObjectRows x
// ObjectColumns equal cells stretched over the widget; cell k stands for state
// ObjectFirstState + k. A click marks or unmarks a cell (SelectedChoice of the current
// question, the only record of the mark); the mark is a blue frame, a removed mark a white one.
class ChoicePicture : public QWidget {
    Q_OBJECT
public:
    // The "TipText" of a state of "Caracteres", empty when it has none.
    using StateTip = std::function<QString(int state)>;

    ChoicePicture(engine::CurrentQuestion& question, StateTip tips, QWidget* parent = nullptr);
    // The tips of "Caracteres" by state number ("NUM"), read once through its own cursor.
    static StateTip stateTips(const kb::Model& model);

    // Loads the picture of the current question; false, with the reason, when it cannot be
    // read (the widget keeps what it showed).
    bool loadPicture(const QString& path, QString* error = nullptr);
    const platform::Picture& picture() const { return picture_; }
    // The picture as shown, without marks (what "Copy" takes).
    QPixmap pixmap() const;

    int lineWidth() const { return lineWidth_; }
    void setLineWidth(int width);

    // The cell under a point, -1 outside the grid or beyond the question's states.
    int cellAt(QPointF position, int columns, int rows) const;
    // The rectangle the frame of a cell is drawn on (corners x1, y1, x2, y2).
    QRect frameRect(int index) const;
    void Dessine_Cadre(int index, QColor colour);
    // The toggle of a click pressed at `press`: the new selection.
    int Choix_Clic(int selection, QPoint press, int columns, int rows);
    QString Bulle_Etat(QPointF position, int columns, int rows) const;
    QPoint pressPosition() const { return press_; }
    // Frames cell k as the only mark, as a click on it would when it is not marked.
    void choose(int k);
    // The cell the keyboard is on (arrow keys move it, Space toggles it); -1: none.
    int focusCell() const { return focusCell_; }

signals:
    void selectionChanged(int selectedChoice);
    // Enter confirms and Escape abandons, as the question toolbar's buttons do.
    void confirmRequested();
    void abandonRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void drawFrame(QPainter& painter, int index, QColor colour) const;
    // Marks cell k, or unmarks it when it is the mark: the new selection.
    int toggle(int selection, int k);
    void moveFocusCell(int dx, int dy);

    engine::CurrentQuestion& question_;
    StateTip tips_;
    platform::Picture picture_;
    // The pictures of the questions opened before: opening one again decodes nothing.
    platform::PictureCache pictures_;
    int lineWidth_ = 3;
    QPoint press_;
    bool pressedInside_ = false;
    // A press seen since the picture was shown. The second press of a double-click on the
    // drawing lands here as a lone double-click: it belongs to the drawing, not to a cell.
    bool pressedSinceShown_ = false;
    QSet<int> whited_;  // cells whose mark was removed since the picture was loaded
    int focusCell_ = -1;
};

}  // namespace questions
