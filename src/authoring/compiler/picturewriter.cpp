#include "authoring/compiler/picturewriter.h"

#include "authoring/compiler/sourcetranslations.h"
#include "kb/basetexts.h"

#include "authoring/compiler/tablecompiler.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <cstring>

namespace authoring {

namespace {

const QColor kInk(0x2b, 0x2b, 0x2b);
const QColor kPanel(0xf5, 0xf2, 0xea);
const QColor kPanelEdge(0xd8, 0xd2, 0xc4);
// The smallest text of a picture of choices, in its pixels: the program shows the picture
// at about its size.
constexpr int kSmallestText = 11;

QColor colourOf(const KbSource& kb, const Vignette& v, const QString& name) {
    if (v.colours.contains(name)) return v.colours.value(name);
    for (const PaletteEntry& e : kb.palette)
        if (e.name == name) return e.colour;
    return kInk;
}

}  // namespace

bool PictureWriter::save(const QImage& image, const QString& path, const char* format) {
    QDir().mkpath(QFileInfo(path).path());
    QImageWriter writer(path, format);
    // zlib's level 3, the strongest of its fast ones: the pictures of an import of hundreds
    // of questions are written in about half the time of the default level, a quarter larger.
    if (qstrcmp(format, "png") == 0) writer.setQuality(60);
    if (writer.write(image)) return true;
    m_error = QStringLiteral("cannot write %1: %2").arg(path, writer.errorString());
    return false;
}

void PictureWriter::paintVignette(QPainter& p, const QString& name, const QRectF& box) const {
    for (const Vignette& v : m_kb.vignettes) {
        if (v.name != name) continue;
        p.save();
        p.translate(box.topLeft());
        p.scale(box.width() / 200.0, box.height() / 200.0);
        for (const Shape& s : v.shapes) {
            QPen pen = s.outline.isEmpty() ? QPen(Qt::NoPen)
                                           : QPen(colourOf(m_kb, v, s.outline), s.penWidth);
            pen.setJoinStyle(Qt::RoundJoin);
            pen.setCapStyle(Qt::RoundCap);
            p.setPen(pen);
            p.setBrush(s.kind == Shape::Polyline ? QBrush(Qt::NoBrush)
                                                 : QBrush(colourOf(m_kb, v, s.fill)));
            for (int pass = 0; pass < (s.mirrored ? 2 : 1); ++pass) {
                QList<QPoint> pts = s.points;
                if (pass == 1)
                    for (QPoint& pt : pts) pt.setX(200 - pt.x());
                if (s.kind == Shape::Polygon) p.drawPolygon(QPolygon(pts));
                if (s.kind == Shape::Polyline) p.drawPolyline(QPolygon(pts));
                if (s.kind == Shape::Ellipse) p.drawEllipse(QRect(pts[0], pts[1]).normalized());
                if (s.kind == Shape::Rectangle) p.drawRect(QRect(pts[0], pts[1]).normalized());
            }
        }
        p.restore();
        return;
    }
}

void PictureWriter::paintState(QPainter& p, const State& s, const QRect& area) const {
    const QRectF box = QRectF(area).adjusted(14, 12, -14, -6);
    if (!s.picture.image.isEmpty()) {
        const QImage image(
            QDir(m_kb.folder).filePath(QStringLiteral("pictures/") + s.picture.image));
        const QSizeF size = QSizeF(image.size()).scaled(box.size(), Qt::KeepAspectRatio);
        p.drawImage(QRectF(box.center() - QPointF(size.width(), size.height()) / 2, size), image);
    } else if (!s.picture.figure.isEmpty()) {
        const double side = std::min(box.width(), box.height());
        paintVignette(p, s.picture.figure,
                      QRectF(box.center() - QPointF(side, side) / 2, QSizeF(side, side)));
    } else if (!s.picture.swatch.isEmpty()) {
        const QRectF chip = box.adjusted(20, 18, -20, -18);
        QPainterPath clip;
        clip.addRoundedRect(chip, 14, 14);
        p.save();
        p.setClipPath(clip);
        const double w = chip.width() / s.picture.swatch.size();
        for (int i = 0; i < s.picture.swatch.size(); ++i)
            p.fillRect(QRectF(chip.left() + i * w, chip.top(), w + 1, chip.height()),
                       s.picture.swatch[i]);
        p.restore();
        p.setPen(QPen(kInk.lighter(180), 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(clip);
    }
}

// The lines of `label` wrapped to `width`, as many as `height` holds: the last one shown
// ends with an ellipsis when the label goes on.
QString PictureWriter::fittedLines(const QString& label, const QFont& font, double width,
                                   double height) {
    QTextLayout layout(label, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const QFontMetricsF metrics(font);
    const int most = std::max(1, int((height + 0.5) / metrics.lineSpacing()));
    QStringList lines;
    bool more = false;
    int lastStart = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (lines.size() == most) {
            more = true;
            break;
        }
        lastStart = line.textStart();
        lines << label.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    if (more)  // the last line shown takes the rest of the label, cut to the width
        lines.last() = metrics.elidedText(label.mid(lastStart).simplified(), Qt::ElideRight, width);
    return lines.join(QLatin1Char('\n'));
}

// A state known only by its text fills its cell with it, as large as fits; what does not
// fit at the smallest legible size ends with an ellipsis (the state's tip gives it whole)
// rather than with lines cut through by the cell's edge.
void PictureWriter::paintLabel(QPainter& p, const QString& label, const QRectF& area) {
    QFont font = p.font();
    font.setBold(false);
    for (int size = 30; size >= kSmallestText; --size) {
        font.setPixelSize(size);
        const QRectF need =
            QFontMetricsF(font).boundingRect(area, Qt::AlignCenter | Qt::TextWordWrap, label);
        if (need.width() <= area.width() && need.height() <= area.height()) break;
    }
    p.save();
    p.setFont(font);
    p.setPen(kInk);
    // The lines are laid out here, so that what is drawn is what was measured.
    p.drawText(area, Qt::AlignCenter, fittedLines(label, font, area.width(), area.height()));
    p.restore();
}

// The program stretches the picture over the drawing's 4:3 area: drawn in that shape, its
// figures and labels keep their proportions, and the cells match the grid the clicks use.
QImage PictureWriter::choicePicture(const Question& q) const {
    const int columns = std::max(1, q.columns), rows = std::max(1, q.rows);
    QImage image(kChoiceWidth, kChoiceHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const auto edge = [](int i, int n, int length) { return i * length / n; };
    for (int k = 0; k < q.states.size(); ++k) {
        const int c = k % columns, r = k / columns;
        const QRect cell(
            QPoint(edge(c, columns, kChoiceWidth), edge(r, rows, kChoiceHeight)),
            QPoint(edge(c + 1, columns, kChoiceWidth) - 1, edge(r + 1, rows, kChoiceHeight) - 1));
        // Margins shrink with the cell, so that a grid of many states keeps room for words.
        const double shortSide = std::min(cell.width(), cell.height());
        const double margin = std::clamp(shortSide / 14, 1.5, 6.0),
                     inner = std::clamp(shortSide / 10, 2.0, 12.0),
                     innerHeight = std::clamp(shortSide / 16, 1.0, 12.0);
        const QRectF panel = QRectF(cell).adjusted(margin, margin, -margin, -margin);
        p.setPen(QPen(kPanelEdge, 1.5));
        p.setBrush(kPanel);
        p.drawRoundedRect(panel, std::min(10.0, shortSide / 8), std::min(10.0, shortSide / 8));
        const State& s = q.states[k];
        if (s.picture.image.isEmpty() && s.picture.figure.isEmpty() && s.picture.swatch.isEmpty()) {
            paintLabel(p, s.label, panel.adjusted(inner, innerHeight, -inner, -innerHeight));
            continue;
        }
        // The figure and its label stand together in the middle of a tall or wide cell.
        const int side = std::max(1, std::min(cell.width() - 28, cell.height() - 76));
        const int top = cell.top() + (cell.height() - side - 76) / 2;
        paintState(p, s, QRect(cell.left(), top, cell.width(), side + 18));
        const QRect label(cell.left() + 10, top + side + 22, cell.width() - 20, 50);
        QFont font = p.font();
        font.setPixelSize(15);
        font.setBold(false);
        p.setFont(font);
        p.setPen(kInk);
        p.drawText(label, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap,
                   q.states[k].label);
    }
    return image;
}

// A picture of choices made only of texts has few colours: kept with a palette, it is the
// same picture in a quarter of the bytes, and encoding it (no row filters) costs a fraction;
// an import of hundreds of questions spent most of its time there.
QImage PictureWriter::compact(const QImage& image) {
    if (image.format() != QImage::Format_RGB32) return image;
    QList<QRgb> colours;
    QHash<QRgb, int> index;
    // The colours met last, by a hash of their own: the edges of letters go back and forth
    // between a few shades, each of which would otherwise cost a look-up in the table.
    struct Recent {
        QRgb colour = 0;
        int index = -1;
    };
    std::array<Recent, 256> recent{};
    // The palette entry of a colour, a new one when it is new; -1 past 256 colours.
    const auto entry = [&](QRgb colour) {
        Recent& slot = recent[(colour * 2654435761u) >> 24];
        if (slot.index >= 0 && slot.colour == colour) return slot.index;
        int at = int(colours.size());
        if (const auto found = index.constFind(colour); found != index.cend()) {
            at = *found;
        } else {
            if (colours.size() == 256) return -1;
            index.insert(colour, at);
            colours << colour;
        }
        slot = {colour, at};
        return at;
    };
    QImage out(image.size(), QImage::Format_Indexed8);
    const int width = image.width(), height = image.height();
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* to = out.scanLine(y);
        // Neighbours are mostly alike: a run of one colour costs one look-up and one fill.
        for (int x = 0; x < width;) {
            const QRgb colour = line[x];
            const int at = entry(colour);
            if (at < 0) return image;
            int end = x + 1;
            while (end < width && line[end] == colour) ++end;
            std::memset(to + x, at, size_t(end - x));
            x = end;
        }
    }
    out.setColorTable(colours);
    return out;
}

bool PictureWriter::writeChoicePictures(const QString& folder) {
    for (const Question& q : m_kb.questions) {
        const bool textOnly = std::all_of(q.states.cbegin(), q.states.cend(), [](const State& s) {
            return s.picture.image.isEmpty() && s.picture.figure.isEmpty() &&
                   s.picture.swatch.isEmpty();
        });
        const QString name = TableCompiler::choicePictureName(q.key);
        const QImage picture = choicePicture(q);
        if (!save(textOnly ? compact(picture) : picture, QDir(folder).filePath(name), "png"))
            return false;
        // The labels are drawn here, so a language that words them otherwise gets its own
        // picture beside the base's; the program falls back to the base's.
        for (const QString& language : translations::languages(m_kb)) {
            bool changed = false;
            const Question local = translations::translated(m_kb, q, language, &changed);
            if (!changed) continue;
            const QImage localPicture = choicePicture(local);
            if (!save(textOnly ? compact(localPicture) : localPicture,
                      QDir(folder).filePath(kb::BaseTexts::languageFileName(name, language)),
                      "png"))
                return false;
        }
    }
    return true;
}

void PictureWriter::paintSymbol(QPainter& p, const QString& symbol, const QRectF& box) const {
    const QPointF c = box.center();
    const double r = box.width() / 2;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, r * 0.22, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (symbol == QLatin1String("search")) {
        p.drawEllipse(c + QPointF(-r * 0.15, -r * 0.15), r * 0.45, r * 0.45);
        p.drawLine(c + QPointF(r * 0.18, r * 0.18), c + QPointF(r * 0.62, r * 0.62));
    } else if (symbol == QLatin1String("results")) {
        for (int i = -1; i <= 1; ++i)
            p.drawLine(c + QPointF(-r * 0.55, i * r * 0.45), c + QPointF(r * 0.55, i * r * 0.45));
    } else if (symbol == QLatin1String("ok")) {
        p.drawPolyline(QPolygonF{c + QPointF(-r * 0.55, 0), c + QPointF(-r * 0.15, r * 0.45),
                                 c + QPointF(r * 0.6, -r * 0.5)});
    } else if (symbol == QLatin1String("cancel")) {
        p.drawLine(c + QPointF(-r * 0.45, -r * 0.45), c + QPointF(r * 0.45, r * 0.45));
        p.drawLine(c + QPointF(-r * 0.45, r * 0.45), c + QPointF(r * 0.45, -r * 0.45));
    } else if (symbol == QLatin1String("skip")) {
        p.drawPolyline(QPolygonF{c + QPointF(-r * 0.5, -r * 0.5), c + QPointF(0, 0),
                                 c + QPointF(-r * 0.5, r * 0.5)});
        p.drawPolyline(
            QPolygonF{c + QPointF(0, -r * 0.5), c + QPointF(r * 0.5, 0), c + QPointF(0, r * 0.5)});
    } else {
        paintVignette(p, symbol, box);
    }
}

QImage PictureWriter::buttonPicture(const Button& b) const {
    QImage image(kButtonSize, kButtonSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(b.colour);
    p.drawRoundedRect(QRectF(1, 1, kButtonSize - 2, kButtonSize - 2), 7, 7);
    const QRectF inner(4, 4, kButtonSize - 8, kButtonSize - 8);
    if (!b.icon.isEmpty()) {
        paintSymbol(p, b.icon, inner);
    } else {
        QFont font = p.font();
        font.setPixelSize(18);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(inner, Qt::AlignCenter, b.caption.left(1).toUpper());
    }
    return image;
}

bool PictureWriter::writeButtons(const QString& dataFolder) {
    const QDir dir(dataFolder);
    for (int k = 0; k < m_kb.deterButtons.size(); ++k)
        if (!save(buttonPicture(m_kb.deterButtons[k]),
                  dir.filePath(TableCompiler::buttonPictureName(true, k + 1)), "png"))
            return false;
    for (int k = 0; k < m_kb.questionButtons.size(); ++k)
        if (!save(buttonPicture(m_kb.questionButtons[k]),
                  dir.filePath(TableCompiler::buttonPictureName(false, k + 1)), "png"))
            return false;
    return true;
}

// The icon of a contradicted button: its own picture crossed by a red bar in a red ring.
bool PictureWriter::writeContradictionIcons(const QString& drawingFolder) {
    for (const Contradiction& c : m_kb.contradictions) {
        if (c.button < 1 || c.button > m_kb.deterButtons.size()) continue;
        QImage image = buttonPicture(m_kb.deterButtons[c.button - 1]);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0xd3, 0x1f, 0x1f), 4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(3, 3, kButtonSize - 6, kButtonSize - 6));
        p.drawLine(QPointF(8, 8), QPointF(kButtonSize - 8, kButtonSize - 8));
        p.end();
        const QString path =
            QDir(drawingFolder)
                .filePath(QStringLiteral("CONTRA/") + c.popup + QStringLiteral(".ico"));
        if (!save(image, path, "ico")) return false;
    }
    return true;
}

}  // namespace authoring
