#include "authoring/import/deltareader.h"

#include "authoring/import/datasetfiles.h"

#include <QRegularExpression>
#include <algorithm>

// The directives that add to characters already listed: types, counts, implicit values,
// reliabilities, dependencies, key states, headings and pictures.
namespace authoring {

using deltatext::Directive;

namespace {

constexpr int kMaxStates = 100000;

struct Token {
    QString text;
    qsizetype at;
};

// White-space separated words outside comments, comments removed.
QList<Token> words(const QString& data) {
    QList<Token> out;
    const QString s = deltatext::withoutComments(data);
    for (const auto& m : QRegularExpression(QStringLiteral("\\S+")).globalMatch(s))
        out << Token{m.captured(0), data.indexOf(m.captured(0).left(1), m.capturedStart(0))};
    return out;
}

bool parseNumber(const QString& text, double& value) {
    bool ok = false;
    value = text.toDouble(&ok);
    return ok;
}

Character::Type typeOf(const QString& code, bool& ok) {
    ok = true;
    const QString c = code.toUpper();
    if (c == QLatin1String("UM")) return Character::Unordered;
    if (c == QLatin1String("OM")) return Character::Ordered;
    if (c == QLatin1String("IN")) return Character::Integer;
    if (c == QLatin1String("RN")) return Character::Real;
    if (c == QLatin1String("TE")) return Character::Text;
    ok = false;
    return Character::Unordered;
}

}  // namespace

bool DeltaReader::perCharacter(const Directive& d) {
    for (const Token& t : words(d.data)) {
        const qsizetype comma = t.text.indexOf(QLatin1Char(','));
        QList<int> numbers;
        if (comma < 0 || !deltatext::numberList(t.text.left(comma), QLatin1Char(':'), numbers))
            return fail(d, t.at,
                        QStringLiteral("expected 'character,value', not '%1'").arg(t.text));
        const QString value = t.text.mid(comma + 1);
        for (int n : numbers) {
            Character* c = character(n);
            if (!c) return fail(d, t.at, QStringLiteral("there is no character %1").arg(n));
            bool ok = true;
            if (d.name == QLatin1String("CHARACTER TYPES")) {
                c->type = typeOf(value, ok);
                if (!c->isMultistate()) c->states.clear();
            } else if (d.name == QLatin1String("NUMBERS OF STATES")) {
                const int k = value.toInt(&ok);
                ok = ok && k >= 1 && k <= kMaxStates;
                for (int s = int(c->states.size()); ok && s < k; ++s)
                    c->states << CharacterState{
                        QString::number(s + 1), QStringLiteral("state %1").arg(s + 1), {}, {}};
            } else if (d.name == QLatin1String("IMPLICIT VALUES")) {
                c->implicitState = value.section(QLatin1Char(':'), 0, 0).toInt(&ok) - 1;
            } else {
                ok = parseNumber(value, c->reliability) && c->reliability >= 0;
            }
            if (!ok) return fail(d, t.at, QStringLiteral("cannot read '%1'").arg(t.text));
        }
    }
    return true;
}

bool DeltaReader::dependencies(const Directive& d) {
    const bool applicable = d.name == QLatin1String("APPLICABLE CHARACTERS");
    for (const Token& t : words(d.data)) {
        const qsizetype comma = t.text.indexOf(QLatin1Char(','));
        const qsizetype colon = t.text.indexOf(QLatin1Char(':'));
        RawDependency r{0, {}, {}, applicable};
        bool ok = comma > 0 && colon > comma;
        r.controller = t.text.left(comma).toInt(&ok);
        ok = ok && colon > comma &&
             deltatext::numberList(t.text.mid(comma + 1, colon - comma - 1), QLatin1Char('/'),
                                   r.states) &&
             deltatext::numberList(t.text.mid(colon + 1), QLatin1Char(':'), r.dependants);
        if (!ok)
            return fail(
                d, t.at,
                QStringLiteral("expected 'character,states:characters', not '%1'").arg(t.text));
        if (!character(r.controller))
            return fail(d, t.at, QStringLiteral("there is no character %1").arg(r.controller));
        for (int dep : r.dependants)
            if (!character(dep))
                return fail(d, t.at, QStringLiteral("there is no character %1").arg(dep));
        m_rawDependencies << r;
    }
    return true;
}

// Several rules on one dependant join: it applies where every rule lets it.
void DeltaReader::resolveDependencies() {
    QMap<QPair<int, int>, QSet<int>> allowed;  // (controller, dependant) -> states
    for (const RawDependency& r : m_rawDependencies) {
        const Character& c = m_out->characters[r.controller - 1];
        QSet<int> under;
        for (int s = 0; s < c.states.size(); ++s)
            if (r.states.contains(s + 1) == r.applicable) under.insert(s);
        for (int dep : r.dependants) {
            if (dep == r.controller) continue;
            const auto key = qMakePair(r.controller - 1, dep - 1);
            allowed[key] = allowed.contains(key) ? allowed[key].intersect(under) : under;
        }
    }
    for (auto it = allowed.cbegin(); it != allowed.cend(); ++it) {
        QList<int> states(it.value().cbegin(), it.value().cend());
        std::sort(states.begin(), states.end());
        m_out->dependencies << Dependency{it.key().first, states, it.key().second};
    }
}

bool DeltaReader::keyStates(const Directive& d) {
    static const QRegularExpression bound(QStringLiteral("^(-?[\\d.]+)?(~|-)?(-?[\\d.]+)?$"));
    for (const Token& t : words(d.data)) {
        const qsizetype comma = t.text.indexOf(QLatin1Char(','));
        bool ok = comma > 0;
        Character* c = character(t.text.left(comma).toInt(&ok));
        if (!ok || !c)
            return fail(d, t.at,
                        QStringLiteral("expected 'character,key states', not '%1'").arg(t.text));
        c->keyStates.clear();
        for (const QString& entry : t.text.mid(comma + 1).split(QLatin1Char('/'))) {
            KeyState k;
            if (c->isMultistate()) {
                ok = deltatext::numberList(entry, QLatin1Char('&'), k.states);
                for (int& s : k.states) ok = ok && s >= 1 && s <= c->states.size(), --s;
            } else {
                const auto m = bound.match(entry);
                const bool lowGiven = m.hasMatch() && !m.captured(1).isEmpty();
                const bool highGiven = m.hasMatch() && !m.captured(3).isEmpty();
                ok = m.hasMatch() && (lowGiven || highGiven);
                if (ok && lowGiven) ok = parseNumber(m.captured(1), k.low);
                if (ok && highGiven) ok = parseNumber(m.captured(3), k.high);
                if (ok && m.captured(2).isEmpty()) k.high = k.low;  // "3": exactly 3
                if (ok && m.captured(2) == QLatin1String("~") && !lowGiven) k.low = -kUnbounded;
                if (ok && m.captured(2) == QLatin1String("~") && !highGiven) k.high = kUnbounded;
                ok = ok && k.low <= k.high &&
                     (m.captured(2) != QLatin1String("-") || (lowGiven && highGiven));
            }
            if (!ok)
                return fail(
                    d, t.at,
                    QStringLiteral("character %1: cannot read key state '%2'").arg(c->id, entry));
            c->keyStates << k;
        }
    }
    return true;
}

namespace {

// "#3. text/ #7. other text/": the texts of a directive numbered by character, as written
// (comments kept), each running to the next number outside comments.
QList<QPair<int, QString>> numberedTexts(const QString& data) {
    static const QRegularExpression entry(QStringLiteral("(?:^|\\s)(#)\\s*(\\d{1,6})\\."));
    QList<QPair<qsizetype, qsizetype>> comments;
    for (qsizetype i = 0; i < data.size(); ++i)
        if (deltatext::opensComment(data, i)) {
            const qsizetype end = deltatext::commentEnd(data, i);
            comments << qMakePair(i, end < 0 ? data.size() : end);
            i = (end < 0 ? data.size() : end) - 1;
        }
    // Matches come in order: one pass over the comments serves them all.
    qsizetype next = 0;
    const auto inComment = [&comments, &next](qsizetype pos) {
        while (next < comments.size() && comments[next].second <= pos) ++next;
        return next < comments.size() && pos > comments[next].first;
    };
    QList<QPair<int, QString>> out;
    qsizetype textStart = -1;
    for (const auto& m : entry.globalMatch(data)) {
        if (inComment(m.capturedStart(1))) continue;
        if (!out.isEmpty()) out.last().second = data.mid(textStart, m.capturedStart(1) - textStart);
        out << qMakePair(m.captured(2).toInt(), QString());
        textStart = m.capturedEnd(0);
    }
    if (!out.isEmpty()) out.last().second = data.mid(textStart);
    return out;
}

// A heading's text: up to its "/", as a short label without closing punctuation.
QString headingText(const QString& raw) {
    const qsizetype end = deltatext::textEnd(raw, 0);
    QString t = deltatext::label(end < 0 ? raw : raw.left(end));
    while (!t.isEmpty() && QStringLiteral(".:;,").contains(t.back())) t.chop(1);
    return t.trimmed();
}

}  // namespace

bool DeltaReader::headings(const Directive& d) {
    QList<QPair<int, QString>> marks;
    for (const auto& [n, raw] : numberedTexts(d.data))
        if (const QString h = headingText(raw); !h.isEmpty()) marks << qMakePair(n, h);
    std::stable_sort(marks.begin(), marks.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (qsizetype k = 0; k < marks.size(); ++k) {
        const int last =
            k + 1 < marks.size() ? marks[k + 1].first - 1 : int(m_out->characters.size());
        for (int n = marks[k].first; n <= last; ++n)
            if (Character* c = character(n)) c->group = marks[k].second;
    }
    return true;
}

// Subheadings open a part of a description at a character; where no heading says where a
// character belongs, the part it falls in becomes its group.
bool DeltaReader::subheadings(const Directive& d) {
    for (const auto& [n, raw] : numberedTexts(d.data)) {
        const QString h = headingText(raw);
        if (Character* c = character(n); c && !h.isEmpty()) {
            c->subheading = h;
            m_subheadings << qMakePair(n, h);
        }
    }
    return true;
}

void DeltaReader::groupBySubheadings() {
    std::stable_sort(m_subheadings.begin(), m_subheadings.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (qsizetype k = 0; k < m_subheadings.size(); ++k) {
        const int last = k + 1 < m_subheadings.size() ? m_subheadings[k + 1].first - 1
                                                      : int(m_out->characters.size());
        for (int n = m_subheadings[k].first; n <= last; ++n)
            if (Character* c = character(n); c && c->group.isEmpty())
                c->group = m_subheadings[k].second;
    }
}

// Notes run to the next character's number; a closing "/" is dropped.
bool DeltaReader::characterNotes(const Directive& d) {
    for (const auto& [n, raw] : numberedTexts(d.data)) {
        QString t = raw.trimmed();
        if (t.endsWith(QLatin1Char('/'))) t.chop(1);
        Character* c = character(n);
        if (!c) continue;
        const QString words = deltatext::wording(t);
        if (!words.isEmpty())
            c->notes = c->notes.isEmpty() ? words : c->notes + QLatin1Char(' ') + words;
    }
    return true;
}

// "#keyword/ 1-6 9 #another keyword/ 7-9": named sets of characters, which may overlap.
bool DeltaReader::keywords(const Directive& d) {
    const QString s = deltatext::withoutComments(d.data);
    qsizetype pos = s.indexOf(QLatin1Char('#'));
    if (pos < 0 && !s.trimmed().isEmpty())
        return fail(d, 0, QStringLiteral("expected '#' and a keyword"));
    while (pos >= 0) {
        const qsizetype end = deltatext::textEnd(s, pos + 1);
        // Positions are in the text without comments: the directive's own line is given.
        if (end < 0) return fail(d, 0, QStringLiteral("a keyword does not end with '/'"));
        const QString keyword = deltatext::plain(s.mid(pos + 1, end - pos - 1));
        qsizetype next = s.indexOf(QLatin1Char('#'), end + 1);
        QList<int> numbers;
        for (const QString& word :
             s.mid(end + 1, (next < 0 ? s.size() : next) - end - 1)
                 .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
            QList<int> some;
            if (!deltatext::numberList(word, QLatin1Char(':'), some, kMaxStates))
                return fail(d, 0,
                            QStringLiteral("keyword %1: cannot read '%2'").arg(keyword, word));
            numbers += some;
        }
        if (!keyword.isEmpty()) m_keywordSets << qMakePair(keyword, numbers);
        pos = next;
    }
    return true;
}

// Headings say where each character belongs; a character under no heading goes to the
// first keyword set that names it.
void DeltaReader::groupByKeywords() {
    for (const auto& set : std::as_const(m_keywordSets))
        for (int n : set.second)
            if (Character* c = character(n); c && c->group.isEmpty()) c->group = set.first;
}

namespace {

// "file <@subject ...> <@state 1 x=.. y=.. w=.. h=..> file2 <...>": the files and, per file,
// where each state shows. A region without an area (h=-1: the height follows the text) only
// places a state's label; a "@hotspot x= y= w= h=" given with the state, or in the overlay
// after it, is where the state shows.
struct PictureRef {
    QString file;
    QMap<int, QRect> regions;  // by state index
    QList<int> labelsOnly;     // states placed as text, with no area
};

void readOverlay(const QString& inner, PictureRef& ref, int& current) {
    static const QRegularExpression value(QStringLiteral("\\b([xywh])\\s*=\\s*(-?\\d+)"));
    for (const QString& part : inner.split(QLatin1Char('@'), Qt::SkipEmptyParts)) {
        const QString kind = part.section(QLatin1Char(' '), 0, 0).trimmed().toLower();
        QMap<QString, int> v;
        for (const auto& m : value.globalMatch(part))
            v.insert(m.captured(1), m.captured(2).toInt());
        const bool complete = v.size() == 4;
        const QRect area(v.value("x"), v.value("y"), v.value("w"), v.value("h"));
        if (kind == QLatin1String("state")) {
            bool ok = false;
            current =
                part.section(QLatin1Char(' '), 1, 1, QString::SectionSkipEmpty).toInt(&ok) - 1;
            if (!ok || current < 0) {
                current = -1;
                continue;
            }
            if (complete && area.width() > 0 && area.height() > 0)
                ref.regions[current] = area;
            else if (!ref.labelsOnly.contains(current))
                ref.labelsOnly << current;
        } else if (kind == QLatin1String("hotspot")) {
            if (current < 0 || !complete || area.width() <= 0 || area.height() <= 0) continue;
            ref.regions[current] = area;
            ref.labelsOnly.removeAll(current);
        } else {
            current = -1;
        }
    }
}

QList<PictureRef> pictureRefs(const QString& text) {
    QList<PictureRef> out;
    int current = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isSpace()) continue;
        if (text[i] == QLatin1Char('<')) {
            const qsizetype e = deltatext::commentEnd(text, i);
            const QString inner = text.mid(i + 1, (e < 0 ? text.size() : e - 1) - i - 1);
            if (!out.isEmpty())
                readOverlay(QString(inner)
                                .replace(QLatin1Char('<'), QLatin1Char(' '))
                                .replace(QLatin1Char('>'), QLatin1Char(' ')),
                            out.last(), current);
            if (e < 0) break;
            i = e - 1;
            continue;
        }
        qsizetype j = i;
        while (j < text.size() && !text[j].isSpace() && text[j] != QLatin1Char('<')) ++j;
        out << PictureRef{text.mid(i, j - i), {}, {}};
        current = -1;
        i = j - 1;
    }
    return out;
}

}  // namespace

bool DeltaReader::characterImages(const Directive& d) {
    static const QRegularExpression entry(QStringLiteral("#\\s*(\\d+)\\.\\s*"));
    const auto starts = entry.globalMatch(d.data);
    QList<QRegularExpressionMatch> ms;
    for (const auto& m : starts) ms << m;
    for (qsizetype k = 0; k < ms.size(); ++k) {
        Character* c = character(ms[k].captured(1).toInt());
        if (!c) continue;
        const qsizetype to = k + 1 < ms.size() ? ms[k + 1].capturedStart(0) : d.data.size();
        const auto refs = pictureRefs(d.data.mid(ms[k].capturedEnd(0), to - ms[k].capturedEnd(0)));
        if (refs.isEmpty()) continue;
        // Finding the line costs a pass over the data: only for a note.
        const auto where = [&d, &ms, k] {
            return QStringLiteral("%1:%2").arg(d.file).arg(d.lineAt(ms[k].capturedStart(0)));
        };
        const QString path = datasetfiles::inside(m_folder, refs.first().file);
        if (path.isEmpty()) {
            if (m_out->notes.size() < kMaxNotes)
                note(where(), QStringLiteral("picture %1 is not inside the dataset's folder")
                                  .arg(refs.first().file));
            continue;
        }
        c->image = path;
        for (auto it = refs.first().regions.cbegin(); it != refs.first().regions.cend(); ++it)
            if (it.key() >= 0 && it.key() < c->states.size()) {
                c->states[it.key()].image = path;
                c->states[it.key()].region = it.value();
            }
        for (int s : refs.first().labelsOnly)
            if (s >= 0 && s < c->states.size() && m_out->notes.size() < kMaxNotes)
                note(where(), QStringLiteral("character %1, state %2: picture %3 places only its "
                                             "label (no width or height), so the state shows its "
                                             "text")
                                  .arg(c->id)
                                  .arg(s + 1)
                                  .arg(refs.first().file));
    }
    return true;
}

bool DeltaReader::taxonImages(const Directive& d) {
    QHash<QString, int> byName;
    for (int i = 0; i < m_out->items.size(); ++i) byName.insert(m_out->items[i].name.toLower(), i);
    const QString& s = d.data;
    qsizetype pos = s.indexOf(QLatin1Char('#'));
    while (pos >= 0) {
        const qsizetype end = deltatext::textEnd(s, pos + 1);
        if (end < 0) return fail(d, pos, QStringLiteral("the item name does not end with '/'"));
        const QString name =
            deltatext::plain(deltatext::withoutComments(s.mid(pos + 1, end - pos - 1)));
        qsizetype next = end + 1;
        while ((next = s.indexOf(QLatin1Char('#'), next)) >= 0 && next > 0 &&
               !s[next - 1].isSpace())
            ++next;
        const QString refs = s.mid(end + 1, (next < 0 ? s.size() : next) - end - 1);
        const int item = byName.value(name.toLower(), -1);
        if (item < 0) {
            if (m_out->notes.size() < kMaxNotes)
                note(QStringLiteral("%1:%2").arg(d.file).arg(d.lineAt(pos)),
                     QStringLiteral("pictures of an unknown item '%1'").arg(name));
        } else {
            for (const PictureRef& r : pictureRefs(refs))
                if (const QString path = datasetfiles::inside(m_folder, r.file); !path.isEmpty())
                    m_out->items[item].images << path;
        }
        pos = next;
    }
    return true;
}

}  // namespace authoring
