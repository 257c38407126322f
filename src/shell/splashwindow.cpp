#include "shell/splashwindow.h"

#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/textids.h"
#include "shell/translator.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QtMath>

namespace shell {

namespace {

constexpr QSize WindowSize(480, 300);
const QRect TitleBox(32, 206, 416, 24);
const QRect LogoBox(32, 246, 416, 20);
const QColor Ink(0x23, 0x4a, 0x37);
const QColor Leaf(0x5e, 0x8f, 0x5a);

const QString PaletteFile = QStringLiteral("couleur.wmf");
const QString ProgramName = QStringLiteral("Vireka");
const QString ProgramVersion = QStringLiteral("1.0");

QPointF along(QPointF a, QPointF c, QPointF b, double t) {
    return (1 - t) * (1 - t) * a + 2 * (1 - t) * t * c + t * t * b;
}

// A fern frond: a curved stem from base to tip with paired leaflets that shrink upward.
void drawFrond(QPainter& p, QPointF base, QPointF tip, double bend, double leaflet, QColor colour) {
    const QPointF dir = tip - base;
    const double length = std::hypot(dir.x(), dir.y());
    const QPointF normal(-dir.y() / length, dir.x() / length);
    const QPointF control = (base + tip) / 2 + normal * bend;
    QPainterPath stem(base);
    stem.quadTo(control, tip);
    p.setPen(QPen(colour, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stem);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    constexpr int Pairs = 17;
    for (int i = 1; i <= Pairs; ++i) {
        const double t = double(i) / (Pairs + 1);
        const QPointF at = along(base, control, tip, t);
        const QPointF tangent = 2 * (1 - t) * (control - base) + 2 * t * (tip - control);
        const double angle = qRadiansToDegrees(std::atan2(tangent.y(), tangent.x()));
        const double size = leaflet * (1.0 - 0.8 * t);
        for (const double side : {-58.0, 58.0}) {
            p.save();
            p.translate(at);
            p.rotate(angle + side);
            p.drawEllipse(QRectF(0, -size * 0.17, size, size * 0.34));
            p.restore();
        }
    }
}

void drawBackground(QPainter& p, const QRect& r) {
    QLinearGradient wash(r.topLeft(), r.bottomRight());
    wash.setColorAt(0, QColor(0xfb, 0xfa, 0xf3));
    wash.setColorAt(1, QColor(0xdf, 0xea, 0xd6));
    p.fillRect(r, wash);
    QColor faint = Leaf;
    faint.setAlpha(36);
    drawFrond(p, QPointF(r.right() + 10, r.bottom() - 40), QPointF(r.right() - 190, 24), -40, 52,
              faint);
    faint.setAlpha(60);
    drawFrond(p, QPointF(r.right() - 20, r.bottom() + 10), QPointF(r.right() - 120, 70), 30, 40,
              faint);
    p.fillRect(QRect(r.left(), r.top(), r.width(), 6), Ink);
}

void drawName(QPainter& p) {
    QFont name;
    name.setFamilies({QStringLiteral("Noto Serif"), QStringLiteral("DejaVu Serif"),
                      QStringLiteral("Georgia"), QStringLiteral("Times New Roman")});
    name.setStyleHint(QFont::Serif);
    name.setPixelSize(58);
    name.setLetterSpacing(QFont::PercentageSpacing, 104);
    p.setFont(name);
    p.setPen(Ink);
    const QPoint baseline(30, 118);
    p.drawText(baseline, ProgramName);
    const int nameWidth = QFontMetrics(name).horizontalAdvance(ProgramName);

    QFont version = name;
    version.setPixelSize(20);
    version.setLetterSpacing(QFont::PercentageSpacing, 100);
    p.setFont(version);
    p.setPen(QColor(0x5f, 0x7f, 0x6a));
    p.drawText(baseline + QPoint(nameWidth + 10, 0), ProgramVersion);

    p.setPen(QPen(QColor(0x9b, 0xb8, 0x9a), 1));
    p.drawLine(QPoint(32, 140), QPoint(32 + nameWidth + 48, 140));
}

}  // namespace

frmSplash::frmSplash(const platform::Settings& settings, const platform::StringTable& strings,
                     QWidget* parent)
    : QDialog(parent, (parent ? Qt::Dialog : Qt::SplashScreen) | Qt::FramelessWindowHint),
      mainWindow_(parent) {
    setObjectName(QStringLiteral("frmSplash"));
    setProperty("tag", TextId::AppTitle);
    setWindowTitle(QString::number(TextId::AppTitle));
    setFixedSize(WindowSize);

    lblTitle_ = new QLabel(QString::number(TextId::AppTitle), this);
    lblTitle_->setObjectName(QStringLiteral("lblTitle"));
    lblTitle_->setProperty("tag", TextId::AppTitle);
    lblTitle_->setGeometry(TitleBox);
    QPalette text = lblTitle_->palette();
    text.setColor(QPalette::WindowText, QColor(0x3b, 0x4a, 0x40));
    lblTitle_->setPalette(text);

    picLogo_ = new QLabel(this);
    picLogo_->setObjectName(QStringLiteral("picLogo"));
    picLogo_->setGeometry(LogoBox);

    translateWindow(this, strings);
    loadPalette(settings);
}

void frmSplash::loadPalette(const platform::Settings& settings) {
    const auto values = settings.read();
    const QString dataDir = values ? values->DataDir : platform::Settings::Missing;
    const platform::Picture picture =
        platform::Picture::load(platform::toLocalPath(dataDir + PaletteFile), &paletteError_);
    if (picture.isNull()) return;
    palette_ = picture.render(picLogo_->contentsRect().size(), Qt::white);
    picLogo_->setPixmap(QPixmap::fromImage(palette_));
}

void frmSplash::showSplash() {
    centreOnScreen();
    show();
    repaint();
}

void frmSplash::showAbout(QWidget* mainWindow, const platform::Settings& settings,
                          const platform::StringTable& strings) {
    frmSplash about(settings, strings, mainWindow);
    about.centreOnScreen();
    about.exec();
}

QPoint frmSplash::centredPosition(const QRect& screen, QSize window) {
    return QPoint(screen.left() + (screen.width() - window.width()) / 2,
                  screen.top() + (screen.height() - window.height()) / 2);
}

void frmSplash::centreOnScreen() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    move(centredPosition(s->geometry(), frameGeometry().size()));
}

void frmSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    drawBackground(p, rect());
    drawName(p);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(0x8a, 0xa3, 0x8c));
    p.setBrush(Qt::white);
    p.drawRect(LogoBox.adjusted(-1, -1, 0, 0));
    p.setPen(QColor(0x6f, 0x8f, 0x76));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void frmSplash::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) return;
    if (mainWindow_ && mainWindow_->isVisible()) close();
}

}  // namespace shell
