#include "authoring/compiler/platerenderer.h"

#include "platform/picture.h"

#include <QDir>
#include <QPainter>

namespace authoring {

namespace {

bool holds(const QStringList& required, const QStringList& states) {
    for (const QString& r : required)
        if (!states.contains(r, Qt::CaseInsensitive)) return false;
    return true;
}

const QColor kInk(0x22, 0x22, 0x22);
const QColor kMuted(0x5a, 0x5a, 0x5a);
const QColor kRule(0xb0, 0xa8, 0x98);

}  // namespace

QStringList PlateRenderer::layerFiles(const QStringList& states) const {
    QStringList files;
    QString suffix;
    for (const Layer& l : m_kb.layers) {
        for (const LayerVariant& v : l.variants) {
            if (!holds(v.conditions, states)) continue;
            const bool wmf = v.name.endsWith(QLatin1String("WMF"));
            if (l.number == 0 && wmf) suffix = v.name.right(6);
            files << QStringLiteral("%1/").arg(l.number, 2, 10, QLatin1Char('0')) + v.name +
                         (wmf ? QString() : suffix);
            break;
        }
    }
    return files;
}

QImage PlateRenderer::drawing(const QStringList& states, QSize size) const {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    for (const QString& f : layerFiles(states))
        platform::Picture::load(QDir(m_drawingFolder).filePath(f))
            .paint(p, QRectF(QPointF(0, 0), size));
    return image;
}

void PlateRenderer::paintCharacters(QPainter& p, const Species& s, QRect area) const {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleStrategy(QFont::NoAntialias);
    int y = area.top();
    for (const Question& q : m_kb.questions) {
        QStringList shown;
        for (const State& st : q.states)
            if (s.shows.contains(st.id, Qt::CaseInsensitive)) shown << st.label;
        if (shown.isEmpty()) continue;
        font.setPixelSize(34);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kInk);
        p.drawText(QRect(area.left(), y, 1000, 60), Qt::AlignLeft | Qt::AlignVCenter, q.tip);
        font.setBold(false);
        p.setFont(font);
        p.setPen(kMuted);
        p.drawText(QRect(area.left() + 1020, y, area.width() - 1020, 60),
                   Qt::AlignLeft | Qt::AlignVCenter, shown.join(QStringLiteral(" / ")));
        y += 64;
        if (y > area.bottom() - 64) break;
    }
}

QImage PlateRenderer::page(const Species& s) const {
    QImage image(kPageWidth, kPageHeight, QImage::Format_RGB32);
    image.fill(QColor(0xfb, 0xf8, 0xf1));
    QPainter p(&image);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setStyleStrategy(QFont::NoAntialias);
    font.setPixelSize(110);
    font.setItalic(true);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRect(100, 90, 2000, 150), Qt::AlignLeft | Qt::AlignVCenter, s.name);
    font.setItalic(false);
    font.setPixelSize(56);
    p.setFont(font);
    p.setPen(kMuted);
    QString family = s.family.left(1).toUpper() + s.family.mid(1).toLower();
    p.drawText(QRect(100, 240, 2000, 64), Qt::AlignLeft | Qt::AlignVCenter, family);
    font.setPixelSize(40);
    p.setFont(font);
    p.drawText(QRect(100, 300, 2000, 52), Qt::AlignLeft | Qt::AlignVCenter,
               QStringList(s.commonNames.values()).join(QStringLiteral("  \u00b7  ")));
    p.fillRect(QRect(100, 360, 2000, 6), kRule);
    const QSize size(2000, 1500);
    p.drawImage(QPoint(100, 420), drawing(s.shows, size));
    p.fillRect(QRect(100, 1960, 2000, 6), kRule);
    paintCharacters(p, s, QRect(100, 2010, 2000, 1120));
    font.setPixelSize(40);
    font.setItalic(true);
    p.setFont(font);
    p.setPen(kMuted);
    p.drawText(QRect(100, 3160, 2000, 80), Qt::AlignLeft | Qt::AlignVCenter, s.legend);
    return image;
}

}  // namespace authoring
