#include "authoring/compiler/sourceparser.h"

#include "authoring/compiler/measuresyntax.h"
#include "authoring/compiler/shapegeometry.h"

#include "platform/boundedfile.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

namespace authoring {

namespace {
const QString kMainFile = QStringLiteral("kb.txt");
// A source file is text typed by a person; anything larger is not one.
constexpr qint64 kMaxSourceBytes = 16 << 20;
}  // namespace

QStringList SourceParser::split(const QString& line, QString* error) {
    QStringList words;
    int i = 0;
    const int n = int(line.size());
    while (i < n) {
        if (line[i].isSpace()) {
            ++i;
            continue;
        }
        if (line[i] == QLatin1Char('#') && (i + 1 == n || line[i + 1].isSpace())) break;
        QString word;
        if (line[i] == QLatin1Char('"')) {
            ++i;
            bool closed = false;
            while (i < n) {
                if (line[i] == QLatin1Char('\\') && i + 1 < n) {
                    word += line[i + 1];
                    i += 2;
                    continue;
                }
                if (line[i] == QLatin1Char('"')) {
                    closed = true;
                    ++i;
                    break;
                }
                word += line[i++];
            }
            if (!closed && error) *error = QStringLiteral("unterminated quoted text");
        } else {
            while (i < n && !line[i].isSpace()) word += line[i++];
        }
        words << word;
    }
    return words;
}

bool SourceParser::parse(const QString& folder, KbSource& out) {
    m_kb = &out;
    m_error.clear();
    out.folder = folder;
    m_block = Block::None;
    return parseFile(QDir(folder).filePath(kMainFile), 0);
}

bool SourceParser::parseFile(const QString& path, int depth) {
    QByteArray text;
    const auto read = platform::BoundedFile::read(path, kMaxSourceBytes, &text);
    if (!read.ok()) {
        if (depth == 0) {
            m_error = path + QStringLiteral(":0: cannot read the file (") + read.errorString + ')';
            return false;
        }
        return fail(QStringLiteral("cannot read the included file ") + read.errorString);
    }
    QTextStream in(text);
    in.setEncoding(QStringConverter::Utf8);
    int lineNo = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNo;
        m_place = SourcePlace{path, lineNo};
        QString splitError;
        const QStringList w = split(line, &splitError);
        if (!splitError.isEmpty()) return fail(splitError);
        if (w.isEmpty()) continue;
        const bool indented = line[0].isSpace();
        if (!indented && w[0] == QLatin1String("include")) {
            if (!needArgs(w, 2, QStringLiteral("include FILE"))) return false;
            if (depth > 8) return fail(QStringLiteral("includes nested too deep"));
            const SourcePlace back = m_place;
            // Only files of the source itself: an include naming anything outside its folder
            // is refused before it is opened, so nothing of it is ever echoed.
            // Worked out on absolute paths: a source folder given relative to the current
            // one would otherwise be counted twice.
            const QString relative =
                QDir(QFileInfo(m_kb->folder).absoluteFilePath())
                    .relativeFilePath(QDir::cleanPath(
                        QFileInfo(QFileInfo(path).absoluteFilePath()).dir().filePath(w[1])));
            const QString included = QDir::isAbsolutePath(w[1])
                                         ? QString()
                                         : platform::resolveInside(m_kb->folder, relative);
            if (included.isEmpty())
                return fail(
                    QStringLiteral("included file '%1' is outside the source folder").arg(w[1]));
            if (!parseFile(included, depth + 1)) return false;
            m_place = back;
            m_block = Block::None;
            continue;
        }
        if (!(indented ? inBlock(w) : topLevel(w))) return false;
    }
    return true;
}

bool SourceParser::fail(const QString& message) {
    if (m_error.isEmpty()) m_error = m_place.where() + QStringLiteral(": ") + message;
    return false;
}

bool SourceParser::needArgs(const QStringList& w, int count, const QString& usage) {
    if (w.size() >= count) return true;
    return fail(QStringLiteral("expected: ") + usage);
}

bool SourceParser::number(const QString& text, int& value) {
    bool ok = false;
    value = text.toInt(&ok);
    return ok || fail(QStringLiteral("'%1' is not a whole number").arg(text));
}

bool SourceParser::point(const QString& text, QPoint& value) {
    const QStringList xy = text.split(QLatin1Char(','));
    bool okx = false, oky = false;
    if (xy.size() == 2) value = QPoint(xy[0].toInt(&okx), xy[1].toInt(&oky));
    return (okx && oky) || fail(QStringLiteral("'%1' is not a point x,y").arg(text));
}

bool SourceParser::colour(const QString& text, QColor& value) {
    static const QRegularExpression hex(QStringLiteral("^#[0-9a-fA-F]{6}$"));
    if (!hex.match(text).hasMatch())
        return fail(QStringLiteral("'%1' is not a colour #rrggbb").arg(text));
    value = QColor(text);
    return true;
}

// Words after the positional ones are "key value" pairs; a list key takes every word up to
// the next key.
bool SourceParser::options(const QStringList& w, int from, const QStringList& withValue,
                           const QStringList& lists, QMap<QString, QStringList>& out) {
    QString listKey;
    for (int i = from; i < w.size(); ++i) {
        if (withValue.contains(w[i])) {
            if (i + 1 >= w.size()) return fail(QStringLiteral("'%1' needs a value").arg(w[i]));
            out[w[i]] = QStringList{w[i + 1]};
            ++i;
            listKey.clear();
        } else if (lists.contains(w[i])) {
            listKey = w[i];
            out[listKey];
        } else if (!listKey.isEmpty()) {
            out[listKey] << w[i];
        } else {
            return fail(QStringLiteral("unexpected '%1'").arg(w[i]));
        }
    }
    return true;
}

bool SourceParser::topLevel(const QStringList& w) {
    const QString& k = w[0];
    m_block = Block::None;
    if (k == QLatin1String("title")) {
        if (!needArgs(w, 2, QStringLiteral("title \"text\""))) return false;
        m_kb->title = w[1];
    } else if (k == QLatin1String("documents")) {
        if (!needArgs(w, 2, QStringLiteral("documents LANG..."))) return false;
        m_kb->documentLanguages = w.mid(1);
    } else if (k == QLatin1String("language")) {
        if (!needArgs(w, 3, QStringLiteral("language ID \"Name\""))) return false;
        m_kb->languages << Language{w[1], w[2], m_place};
    } else if (k == QLatin1String("colour")) {
        if (!needArgs(w, 3, QStringLiteral("colour NAME #rrggbb [asks QUESTION]"))) return false;
        PaletteEntry e{w[1], {}, {}, m_place};
        if (!colour(w[2], e.colour)) return false;
        if (w.size() == 5 && w[3] == QLatin1String("asks"))
            e.code = w[4];
        else if (w.size() != 3)
            return fail(QStringLiteral("expected: colour NAME #rrggbb [asks QUESTION]"));
        m_kb->palette << e;
    } else if (k == QLatin1String("question")) {
        if (!needArgs(w, 3, QStringLiteral("question KEY \"tip text\""))) return false;
        Question q;
        q.key = w[1];
        q.tip = w[2];
        q.place = m_place;
        m_kb->questions << q;
        m_block = Block::Question;
    } else if (k == QLatin1String("species")) {
        if (!needArgs(w, 3, QStringLiteral("species CODE \"Genus species\""))) return false;
        Species s;
        s.code = w[1];
        s.name = w[2];
        s.place = m_place;
        m_kb->species << s;
        m_block = Block::Species;
    } else if (k == QLatin1String("layer")) {
        if (!needArgs(w, 2, QStringLiteral("layer NUMBER"))) return false;
        Layer l;
        l.place = m_place;
        if (!number(w[1], l.number)) return false;
        m_kb->layers << l;
        m_block = Block::Layer;
    } else if (k == QLatin1String("picture")) {
        if (!needArgs(w, 2, QStringLiteral("picture FOLDER/NAME.WMF [axis X]"))) return false;
        Figure f;
        f.path = w[1];
        f.place = m_place;
        if (w.size() >= 4 && w[2] == QLatin1String("axis") && !number(w[3], f.axis)) return false;
        m_kb->figures << f;
        m_pen.clear();
        m_penWidth = 0;
        m_block = Block::Figure;
    } else if (k == QLatin1String("vignette")) {
        if (!needArgs(w, 2, QStringLiteral("vignette NAME"))) return false;
        Vignette v;
        v.name = w[1];
        v.place = m_place;
        m_kb->vignettes << v;
        m_pen.clear();
        m_penWidth = 0;
        m_block = Block::Vignette;
    } else if (k == QLatin1String("zone") || k == QLatin1String("frame")) {
        return zoneLine(w, k == QLatin1String("frame"));
    } else if (k == QLatin1String("button")) {
        return buttonLine(w);
    } else if (k == QLatin1String("contradiction")) {
        return contradictionLine(w);
    } else if (k == QLatin1String("texts")) {
        // The language names files of pictures: a tag such as fr, es or pt-br, nothing else.
        static const QRegularExpression tag(QStringLiteral("^[A-Za-z]{2,3}(-[A-Za-z0-9]{1,8})*$"));
        if (w.size() != 2 || !tag.match(w[1]).hasMatch())
            return fail(QStringLiteral("expected: texts LANG (a language tag such as fr)"));
        m_textsLanguage = w[1].toLower();
        m_block = Block::Texts;
    } else {
        return fail(QStringLiteral("unknown keyword '%1'").arg(k));
    }
    return true;
}

bool SourceParser::inBlock(const QStringList& w) {
    switch (m_block) {
        case Block::Question:
            return w[0] == QLatin1String("state") ? stateLine(w) : questionLine(w);
        case Block::Species:
            return speciesLine(w);
        case Block::Figure:
            return figureLine(w);
        case Block::Vignette:
            return vignetteLine(w);
        case Block::Layer: {
            if (w[0] != QLatin1String("variant") || w.size() < 2)
                return fail(QStringLiteral("expected: variant NAME [when STATE...]"));
            LayerVariant v{w[1], {}, m_place};
            QMap<QString, QStringList> o;
            if (!options(w, 2, {}, {QStringLiteral("when")}, o)) return false;
            v.conditions = o.value(QStringLiteral("when"));
            m_kb->layers.last().variants << v;
            return true;
        }
        case Block::Texts:
            return textsLine(w);
        case Block::None:
            break;
    }
    return fail(QStringLiteral("indented line outside a block"));
}

bool SourceParser::questionLine(const QStringList& w) {
    Question& q = m_kb->questions.last();
    const QString& k = w[0];
    if (k == QLatin1String("grid")) {
        return needArgs(w, 3, QStringLiteral("grid ROWS COLUMNS")) && number(w[1], q.rows) &&
               number(w[2], q.columns);
    }
    if (k == QLatin1String("weight"))
        return needArgs(w, 2, QStringLiteral("weight N")) && number(w[1], q.weight);
    if (k == QLatin1String("frame"))
        return needArgs(w, 2, QStringLiteral("frame N")) && number(w[1], q.frame);
    if (k == QLatin1String("propose")) {
        if (w.size() != 2 || (w[1] != QLatin1String("yes") && w[1] != QLatin1String("no")))
            return fail(QStringLiteral("expected: propose yes|no"));
        q.proposable = w[1] == QLatin1String("yes");
        return true;
    }
    if (k == QLatin1String("group")) {
        if (w.size() != 2 || w[1].isEmpty())
            return fail(QStringLiteral("expected: group \"Name\""));
        q.group = w[1];
        return true;
    }
    if (k == QLatin1String("measure")) {
        if (w.size() > 2 || !q.states.isEmpty())
            return fail(QStringLiteral("expected before the states: measure [\"unit\"]"));
        q.measured = true;
        q.unit = w.value(1);
        return true;
    }
    if (k == QLatin1String("requires")) {
        if (!needArgs(w, 2, QStringLiteral("requires STATE..."))) return false;
        q.conditions << w.mid(1);
        return true;
    }
    return fail(QStringLiteral("unknown question attribute '%1'").arg(k));
}

bool SourceParser::stateLine(const QStringList& w) {
    if (!needArgs(w, 3, QStringLiteral("state ID \"label\" [options]"))) return false;
    State s;
    s.id = w[1];
    s.label = w[2];
    s.place = m_place;
    QMap<QString, QStringList> o;
    const QStringList single{QStringLiteral("tip"), QStringLiteral("weight"),
                             QStringLiteral("figure"), QStringLiteral("image"),
                             QStringLiteral("range")};
    if (!options(w, 3, single, {QStringLiteral("swatch")}, o)) return false;
    s.tip = o.value(QStringLiteral("tip")).value(0, s.label);
    if (o.contains(QStringLiteral("weight"))) {
        if (!number(o[QStringLiteral("weight")][0], s.weight)) return false;
        s.ownWeight = true;
    }
    s.picture.figure = o.value(QStringLiteral("figure")).value(0);
    s.picture.image = o.value(QStringLiteral("image")).value(0);
    for (const QString& c : o.value(QStringLiteral("swatch"))) {
        QColor value;
        if (!colour(c, value)) return false;
        s.picture.swatch << value;
    }
    if (!stateRange(o.value(QStringLiteral("range")), s)) return false;
    m_kb->questions.last().states << s;
    return true;
}

// The states of a measured question each hold a range, and no value may fall in two.
bool SourceParser::stateRange(const QStringList& range, State& s) {
    const Question& q = m_kb->questions.last();
    if (range.isEmpty()) {
        return !q.measured ||
               fail(QStringLiteral("a state of a measured question needs: range [LOW,HIGH)"));
    }
    if (!q.measured) return fail(QStringLiteral("'range' needs a 'measure' line on the question"));
    s.range = measuresyntax::parseRange(range[0]);
    if (!s.range)
        return fail(
            QStringLiteral("expected a range such as [5,10), (,5) or [70,): '%1'").arg(range[0]));
    for (const State& other : q.states)
        if (other.range && other.range->overlaps(*s.range))
            return fail(QStringLiteral("the range of %1 overlaps that of %2").arg(s.id, other.id));
    return true;
}

bool SourceParser::speciesLine(const QStringList& w) {
    Species& s = m_kb->species.last();
    const QString& k = w[0];
    if (k == QLatin1String("family") && needArgs(w, 2, QStringLiteral("family NAME"))) {
        s.family = w[1];
    } else if (k == QLatin1String("legend") && needArgs(w, 2, QStringLiteral("legend \"text\""))) {
        s.legend = w[1];
    } else if (k == QLatin1String("common")) {
        if (!needArgs(w, 3, QStringLiteral("common LANG \"name\""))) return false;
        s.commonNames[w[1]] = w[2];
    } else if (k == QLatin1String("text")) {
        if (!needArgs(w, 3, QStringLiteral("text LANG \"paragraph\""))) return false;
        QString& d = s.descriptions[w[1]];
        d += (d.isEmpty() ? QString() : QStringLiteral("\n")) + w[2];
    } else if (k == QLatin1String("shows")) {
        s.shows << w.mid(1);
    } else if (k == QLatin1String("uncoded")) {
        s.uncoded << w.mid(1);
    } else {
        return m_error.isEmpty() ? fail(QStringLiteral("unknown species attribute '%1'").arg(k))
                                 : false;
    }
    return true;
}

bool SourceParser::figureLine(const QStringList& w) {
    Figure& f = m_kb->figures.last();
    if (w[0] == QLatin1String("probe")) {
        Probe p{w.value(1), {}, m_place};
        return needArgs(w, 3, QStringLiteral("probe CODE x,y")) && point(w[2], p.point) &&
               (f.probes << p, true);
    }
    return shapeLine(w, f.shapes, m_pen, m_penWidth);
}

bool SourceParser::vignetteLine(const QStringList& w) {
    Vignette& v = m_kb->vignettes.last();
    if (w[0] == QLatin1String("use")) {  // the figures of an earlier vignette, as a base
        for (const Vignette& other : m_kb->vignettes)
            if (other.name == w.value(1) && &other != &v) {
                v.shapes << other.shapes;
                v.colours.insert(other.colours);
                return true;
            }
        return fail(QStringLiteral("no vignette '%1' before this one").arg(w.value(1)));
    }
    if (w[0] == QLatin1String("colour")) {
        QColor c;
        if (!needArgs(w, 3, QStringLiteral("colour NAME #rrggbb")) || !colour(w[2], c))
            return false;
        v.colours[w[1]] = c;
        return true;
    }
    return shapeLine(w, v.shapes, m_pen, m_penWidth);
}

bool SourceParser::shapeLine(const QStringList& words, QList<Shape>& shapes, const QString&, int) {
    QStringList w = words;
    Shape s;
    if (w[0] == QLatin1String("mirror")) {
        s.mirrored = true;
        w.removeFirst();
        if (w.isEmpty()) return fail(QStringLiteral("mirror of what?"));
    }
    const QString& k = w[0];
    if (k == QLatin1String("pen")) {
        if (!needArgs(w, 2, QStringLiteral("pen CODE WIDTH | pen none"))) return false;
        if (w[1] == QLatin1String("none")) {
            m_pen.clear();
            return true;
        }
        m_pen = w[1];
        return needArgs(w, 3, QStringLiteral("pen CODE WIDTH")) && number(w[2], m_penWidth);
    }
    s.outline = m_pen;
    s.penWidth = m_penWidth;
    QList<QPoint> pts;
    const bool isLine = k == QLatin1String("line");
    const int first = isLine ? 3 : 2;
    if (!needArgs(w, first + 1,
                  k + QStringLiteral(" COLOUR ") + (isLine ? QStringLiteral("WIDTH ") : QString()) +
                      QStringLiteral("POINTS...")))
        return false;
    for (int i = first; i < w.size(); ++i) {
        if (k == QLatin1String("blob") && i == 4) break;
        QPoint p;
        if (!point(w[i], p)) return false;
        pts << p;
    }
    if (isLine) {
        s.kind = Shape::Polyline;
        s.outline = w[1];
        if (!number(w[2], s.penWidth)) return false;
        if (pts.size() < 2) return fail(QStringLiteral("a line needs two points or more"));
    } else {
        s.fill = w[1];
        if (k == QLatin1String("polygon") || k == QLatin1String("curve")) {
            if (pts.size() < 3)
                return fail(QStringLiteral("a %1 needs three points or more").arg(k));
            s.kind = Shape::Polygon;
            if (k == QLatin1String("curve")) pts = shapegeometry::smoothClosed(pts);
        } else if (k == QLatin1String("ellipse") || k == QLatin1String("rect")) {
            if (pts.size() != 2) return fail(QStringLiteral("expected: %1 COLOUR P1 P2").arg(k));
            s.kind = k == QLatin1String("rect") ? Shape::Rectangle : Shape::Ellipse;
            if (s.kind == Shape::Ellipse)  // centre and radii
                pts = {pts[0] - pts[1], pts[0] + pts[1]};
        } else if (k == QLatin1String("blob")) {
            int angle = 0;
            if (w.size() != 5 || pts.size() != 2 || !number(w[4], angle))
                return fail(QStringLiteral("expected: blob COLOUR cx,cy rx,ry DEGREES"));
            s.kind = Shape::Polygon;
            pts = shapegeometry::rotatedEllipse(pts[0], pts[1], angle);
        } else {
            return fail(QStringLiteral("unknown figure '%1'").arg(k));
        }
    }
    s.points = pts;
    shapes << s;
    return true;
}

bool SourceParser::zoneLine(const QStringList& w, bool isFrame) {
    Zone z;
    z.place = m_place;
    z.isFrame = isFrame;
    int at = 1;
    if (isFrame) {
        if (!needArgs(w, 5, QStringLiteral("frame N QUESTION x1,y1 x2,y2 [when STATE...]")) ||
            !number(w[1], z.frame))
            return false;
        at = 2;
    } else if (!needArgs(w, 4, QStringLiteral("zone QUESTION x1,y1 x2,y2 [in FRAME] [when ...]"))) {
        return false;
    }
    z.question = w[at];
    QPoint a, b;
    if (!point(w[at + 1], a) || !point(w[at + 2], b)) return false;
    z.x1 = a.x(), z.y1 = a.y(), z.x2 = b.x(), z.y2 = b.y();
    QMap<QString, QStringList> o;
    const QStringList single = isFrame ? QStringList{} : QStringList{QStringLiteral("in")};
    if (!options(w, at + 3, single, {QStringLiteral("when")}, o)) return false;
    if (o.contains(QStringLiteral("in")) && !number(o[QStringLiteral("in")][0], z.frame))
        return false;
    z.conditions = o.value(QStringLiteral("when"));
    m_kb->zones << z;
    return true;
}

bool SourceParser::buttonLine(const QStringList& w) {
    if (!needArgs(w, 3, QStringLiteral("button deter|question \"Caption\" [options]")))
        return false;
    Button b;
    b.caption = w[2];
    b.place = m_place;
    QMap<QString, QStringList> o;
    const QStringList single{QStringLiteral("key"), QStringLiteral("tip"), QStringLiteral("icon"),
                             QStringLiteral("colour")};
    if (!options(w, 3, single, {}, o)) return false;
    b.key = o.value(QStringLiteral("key")).value(0);
    b.tip = o.value(QStringLiteral("tip")).value(0, b.caption);
    b.icon = o.value(QStringLiteral("icon")).value(0);
    b.colour = QColor(0x37, 0x6b, 0x8f);
    if (o.contains(QStringLiteral("colour")) && !colour(o[QStringLiteral("colour")][0], b.colour))
        return false;
    if (w[1] == QLatin1String("deter")) {
        if (b.key.isEmpty()) return fail(QStringLiteral("a deter button needs a key"));
        m_kb->deterButtons << b;
    } else if (w[1] == QLatin1String("question")) {
        m_kb->questionButtons << b;
    } else {
        return fail(QStringLiteral("a button is 'deter' or 'question', not '%1'").arg(w[1]));
    }
    return true;
}

bool SourceParser::contradictionLine(const QStringList& w) {
    if (!needArgs(w, 4, QStringLiteral("contradiction QUESTION layer POPUP | button N popup P")))
        return false;
    Contradiction c;
    c.question = w[1];
    c.place = m_place;
    if (w[2] == QLatin1String("layer")) {
        c.popup = w[3];
        return (m_kb->contradictions << c, true);
    }
    if (w[2] != QLatin1String("button") || w.size() != 6 || w[4] != QLatin1String("popup"))
        return fail(QStringLiteral("expected: contradiction QUESTION button N popup NAME"));
    if (!number(w[3], c.button)) return false;
    c.popup = w[5];
    m_kb->contradictions << c;
    return true;
}

}  // namespace authoring
