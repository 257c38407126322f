#include "documents/frmlegende.h"

#include "documents/zoomgeometry.h"
#include "platform/numbers.h"

#include <QPainter>
#include <QScreen>

namespace documents {

namespace {

// Twips per logical pixel of the screen a widget is on.
TwipsPerPixel twipsOf(const QWidget* w) {
    return {1440.0f / float(std::max(1, w->logicalDpiX())),
            1440.0f / float(std::max(1, w->logicalDpiY()))};
}

// The size of a text as the window shows it: its widest line, its lines one under another.
QSize textSize(const QFontMetrics& fm, const QString& text) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    int width = 0;
    for (const QString& line : lines) width = std::max(width, fm.horizontalAdvance(line));
    return {width, fm.height() + int(lines.size() - 1) * fm.lineSpacing()};
}

}  // namespace

frmLegende::frmLegende(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmLegende"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(true);
}

void frmLegende::Show_Legend(const QString& caption, const QString& text, const QWidget* splitter) {
    setWindowTitle(caption);
    text_ = text;
    const QFontMetrics fm(font());
    const int width = textSize(fm, QStringLiteral("  ") + text).width() + 3;
    const int height = textSize(fm, text).height() + 2;
    setFixedSize(width, height);
    update();
    show();
    raise();
    // Placed once shown, when the frame it is placed by is known.
    if (splitter) place(splitter);
}

void frmLegende::place(const QWidget* splitter) {
    const TwipsPerPixel t = twipsOf(splitter);
    const QPoint corner = splitter->mapToGlobal(QPoint(0, 0));
    const QScreen* screen = splitter->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    const QRect frame = frameGeometry();
    LegendPlacement p;
    p.splitterLeft = corner.x() * t.x;
    p.splitterTop = corner.y() * t.y;
    p.splitterHeight = splitter->height() * t.y;
    p.windowWidth = frame.width() * t.x;
    p.windowHeight = frame.height() * t.y;
    p.available = QRectF(available.x() * t.x, available.y() * t.y, available.width() * t.x,
                         available.height() * t.y);
    const QPointF at = legendPosition(p);
    // A window's position is its frame's.
    move(int(platform::roundHalfEven(at.x() / t.x)), int(platform::roundHalfEven(at.y() / t.y)));
}

void frmLegende::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics fm(font());
    const QStringList lines = text_.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(0, i * fm.lineSpacing() + fm.ascent(), lines[i]);
}

}  // namespace documents
