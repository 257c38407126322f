#include "questions/choicepicture.h"

#include "kb/model.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/plaintext.h"

#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace questions {

namespace {

int rounded(double v) {
    return int(platform::roundHalfEven(v));
}

}  // namespace

ChoicePicture::ChoicePicture(engine::CurrentQuestion& question, StateTip tips, QWidget* parent)
    : QWidget(parent), question_(question), tips_(std::move(tips)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

ChoicePicture::StateTip ChoicePicture::stateTips(const kb::Model& model) {
    QHash<int, QString> tips;
    kb::Table t = model.CharacterTable;
    if (t.isValid() && t.setIndex(QStringLiteral("PrimaryKey"))) {
        for (t.moveFirst(); !t.eof(); t.moveNext()) {
            bool ok = false;
            const int state = t.field(QStringLiteral("NUM")).toInt(&ok);
            // Seek finds the first row of a state number.
            if (ok && !tips.contains(state))
                tips.insert(state, t.field(QStringLiteral("TipText")).toString());
        }
    }
    return [tips](int state) { return tips.value(state); };
}

bool ChoicePicture::loadPicture(const QString& path, QString* error) {
    platform::Picture picture = pictures_.load(platform::toLocalPath(path), error);
    if (picture.isNull()) return false;
    picture_ = picture;
    whited_.clear();
    pressedSinceShown_ = false;
    focusCell_ = question_.ObjectStateCount > 0 ? std::max(0, question_.SelectedChoice) : -1;
    setCursor(Qt::PointingHandCursor);
    update();
    return true;
}

QPixmap ChoicePicture::pixmap() const {
    return QPixmap::fromImage(picture_.render(size().expandedTo(QSize(1, 1)), Qt::white));
}

void ChoicePicture::setLineWidth(int width) {
    lineWidth_ = std::max(1, width);
    update();
}

int ChoicePicture::cellAt(QPointF position, int columns, int rows) const {
    if (columns < 1 || rows < 1 || width() < 1 || height() < 1) return -1;
    const double column = std::floor(position.x() / (double(width()) / columns));
    const double row = std::floor(position.y() / (double(height()) / rows));
    if (column < 0 || column >= columns || row < 0 || row >= rows) return -1;
    const int k = columns * int(row) + int(column);
    // A grid may have more cells than states: those would name another question's states.
    return k < question_.ObjectStateCount ? k : -1;
}

QRect ChoicePicture::frameRect(int index) const {
    const int columns = std::max(1, question_.ObjectColumns);
    const int rows = std::max(1, question_.ObjectRows);
    const int row = index / columns, column = index % columns;
    const double sw = width(), sh = height();
    const int x1 = rounded(column * sw / columns), y1 = rounded(row * sh / rows);
    // The last column and row end D - 1 pixels short, so the whole line stays inside.
    const int x2 = column + 1 == columns ? rounded(sw - (lineWidth_ - 1))
                                         : rounded((column + 1) * sw / columns);
    const int y2 =
        row + 1 == rows ? rounded(sh - (lineWidth_ - 1)) : rounded((row + 1) * sh / rows);
    return QRect(QPoint(x1, y1), QPoint(x2, y2));
}

void ChoicePicture::Dessine_Cadre(int index, QColor colour) {
    if (index == -1) return;
    if (colour == QColor(Qt::white))
        whited_.insert(index);
    else
        whited_.remove(index);
    update();
}

void ChoicePicture::drawFrame(QPainter& painter, int index, QColor colour) const {
    if (index < 0) return;
    const QRect r = frameRect(index);
    painter.setPen(QPen(colour, lineWidth_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    const QPoint corners[] = {r.topLeft(), QPoint(r.right(), r.top()), r.bottomRight(),
                              QPoint(r.left(), r.bottom())};
    painter.drawPolygon(corners, 4);
}

int ChoicePicture::Choix_Clic(int selection, QPoint press, int columns, int rows) {
    const int k = cellAt(press, columns, rows);
    if (k < 0) return selection;
    focusCell_ = k;
    return toggle(selection, k);
}

void ChoicePicture::choose(int k) {
    if (k < 0 || k >= question_.ObjectStateCount || k == question_.SelectedChoice) return;
    focusCell_ = k;
    question_.SelectedChoice = toggle(question_.SelectedChoice, k);
    emit selectionChanged(question_.SelectedChoice);
}

int ChoicePicture::toggle(int selection, int k) {
    if (selection == -1) {
        Dessine_Cadre(k, Qt::blue);
        return k;
    }
    if (selection == k) {
        Dessine_Cadre(k, Qt::white);
        return -1;
    }
    Dessine_Cadre(selection, Qt::white);
    Dessine_Cadre(k, Qt::blue);
    return k;
}

QString ChoicePicture::Bulle_Etat(QPointF position, int columns, int rows) const {
    const int k = cellAt(position, columns, rows);
    if (k < 0 || !tips_) return QString();
    return tips_(question_.ObjectFirstState + k);
}

void ChoicePicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    picture_.paint(p, QRectF(rect()));
    for (int index : whited_) drawFrame(p, index, Qt::white);
    drawFrame(p, question_.SelectedChoice, Qt::blue);
    if (hasFocus() && focusCell_ >= 0 && focusCell_ < question_.ObjectStateCount) {
        // The keyboard's place: a dotted frame inside the cell, clear of the marks.
        const int inset = lineWidth_ + 2;
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(frameRect(focusCell_).adjusted(inset, inset, -inset, -inset));
    }
}

void ChoicePicture::moveFocusCell(int dx, int dy) {
    const int count = question_.ObjectStateCount;
    if (count < 1) return;
    const int columns = std::max(1, question_.ObjectColumns);
    const int cell = std::clamp(focusCell_, 0, count - 1);
    int column = cell % columns + dx, row = cell / columns + dy;
    column = std::clamp(column, 0, columns - 1);
    row = std::max(0, row);
    // Past the last state the focus stays on the last one.
    focusCell_ = std::min(row * columns + column, count - 1);
    update();
}

void ChoicePicture::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
            moveFocusCell(-1, 0);
            break;
        case Qt::Key_Right:
            moveFocusCell(1, 0);
            break;
        case Qt::Key_Up:
            moveFocusCell(0, -1);
            break;
        case Qt::Key_Down:
            moveFocusCell(0, 1);
            break;
        case Qt::Key_Space:
            if (focusCell_ >= 0 && focusCell_ < question_.ObjectStateCount) {
                const int before = question_.SelectedChoice;
                question_.SelectedChoice = toggle(before, focusCell_);
                if (question_.SelectedChoice != before)
                    emit selectionChanged(question_.SelectedChoice);
            }
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit confirmRequested();
            break;
        case Qt::Key_Escape:
            emit abandonRequested();
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void ChoicePicture::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void ChoicePicture::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void ChoicePicture::mousePressEvent(QMouseEvent* event) {
    press_ = QPoint(rounded(event->position().x()), rounded(event->position().y()));
    pressedInside_ = event->button() == Qt::LeftButton;
    pressedSinceShown_ = true;
}

void ChoicePicture::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!pressedSinceShown_) {
        pressedInside_ = false;  // its release is no click either
        return;
    }
    mousePressEvent(event);
}

void ChoicePicture::showEvent(QShowEvent* event) {
    pressedSinceShown_ = false;
    QWidget::showEvent(event);
}

void ChoicePicture::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressedInside_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressedInside_ = false;
    if (!click) return;
    // The cell is the one pressed, not the one under the release.
    const int before = question_.SelectedChoice;
    question_.SelectedChoice =
        Choix_Clic(before, press_, question_.ObjectColumns, question_.ObjectRows);
    if (question_.SelectedChoice != before) emit selectionChanged(question_.SelectedChoice);
}

void ChoicePicture::mouseMoveEvent(QMouseEvent* event) {
    setToolTip(platform::plainToolTip(
        Bulle_Etat(event->position(), question_.ObjectColumns, question_.ObjectRows)));
}

}  // namespace questions
