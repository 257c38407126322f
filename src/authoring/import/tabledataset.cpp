#include "authoring/import/tabledataset.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace authoring {

namespace {

struct Layout {
    int name = 0, family = -1;
    QList<std::pair<int, QString>> common;  // column, language
    QList<int> characters;                  // columns
    int groupRow = -1, unitRow = -1, firstTaxon = 1;
};

QString at(const Sheet& s, int row, int column, const QString& message) {
    return QStringLiteral("%1:%2:%3: %4").arg(s.file).arg(row + 1).arg(column + 1).arg(message);
}

bool layout(const Sheet& s, Layout& l, QString* error) {
    const QStringList header = s.rows.value(0);
    if (header.isEmpty())
        return (*error = QStringLiteral("%1:1:1: the first row must name the columns").arg(s.file),
                false);
    for (int c = 0; c < header.size(); ++c) {
        const QString h = header[c].trimmed().toLower();
        if (h == QLatin1String("name") || h == QLatin1String("taxon") ||
            h == QLatin1String("species")) {
            l.name = c;
            break;
        }
    }
    static const QRegularExpression common(QStringLiteral("^common:([a-z]{2,8})$"));
    QSet<QString> seen;
    for (int c = 0; c < header.size(); ++c) {
        const QString h = header[c].trimmed();
        if (c == l.name) continue;
        if (h.compare(QLatin1String("family"), Qt::CaseInsensitive) == 0) {
            l.family = c;
        } else if (const auto m = common.match(h.toLower()); m.hasMatch()) {
            l.common.append({c, m.captured(1)});
        } else if (!h.isEmpty()) {
            if (seen.contains(h.toCaseFolded()))
                return (
                    *error = at(s, 0, c, QStringLiteral("a second column headed \"%1\"").arg(h)),
                    false);
            seen.insert(h.toCaseFolded());
            l.characters << c;
        }
    }
    for (int r = 1; r <= 2 && r < s.rows.size(); ++r) {
        const QString mark = s.cell(r, l.name).trimmed().toLower();
        if (mark == QLatin1String("#group") && l.groupRow < 0)
            l.groupRow = r, l.firstTaxon = r + 1;
        else if (mark == QLatin1String("#unit") && l.unitRow < 0)
            l.unitRow = r, l.firstTaxon = r + 1;
        else
            break;
    }
    return true;
}

// A number or a range: "3", "-2.5", "3-5", "3.5–7", "3 to 5".
bool numberOrRange(const QString& text, NumericRange& r) {
    static const QRegularExpression range(QStringLiteral(
        "^(-?\\d+(?:\\.\\d+)?)(?:\\s*(?:-|\\x{2013}|\\x{2014}|to)\\s*(-?\\d+(?:\\.\\d+)?))?$"));
    const auto m = range.match(text);
    if (!m.hasMatch()) return false;
    const double a = m.captured(1).toDouble(),
                 b = m.captured(2).isEmpty() ? a : m.captured(2).toDouble();
    r.low = std::min(a, b), r.high = std::max(a, b);
    return std::isfinite(r.low) && std::isfinite(r.high);
}

QStringList values(const QString& cell, const QString& separators) {
    QString text = cell;
    for (const QChar c : separators) text.replace(c, QLatin1Char('|'));
    QStringList out;
    for (const QString& v : text.split(QLatin1Char('|')))
        if (const QString t = v.simplified(); !t.isEmpty()) out << t;
    return out;
}

bool isUnknown(const QStringList& v) {
    return v.isEmpty() || v == QStringList{QStringLiteral("?")};
}
bool isInapplicable(const QStringList& v) {
    return v == QStringList{QStringLiteral("-")};
}

void character(const Sheet& s, const Layout& l, const TableOptions& o, int column, Dataset& d) {
    Character ch;
    ch.id = s.cell(0, column).trimmed();
    ch.label = ch.fullText = ch.id;
    ch.bracketsAreWords = true;
    if (l.groupRow >= 0) ch.group = s.cell(l.groupRow, column).trimmed();
    if (l.unitRow >= 0) ch.unit = s.cell(l.unitRow, column).trimmed();
    bool numeric = false, numericOnly = true, whole = true;
    for (int r = l.firstTaxon; r < s.rows.size(); ++r) {
        const QStringList v = values(s.cell(r, column), o.separators);
        if (isUnknown(v) || isInapplicable(v)) continue;
        for (const QString& x : v) {
            NumericRange range;
            if (!numberOrRange(x, range))
                numericOnly = false;
            else
                numeric = true, whole = whole && range.low == std::floor(range.low) &&
                                        range.high == std::floor(range.high);
        }
    }
    ch.type = numeric && numericOnly ? (whole ? Character::Integer : Character::Real)
                                     : Character::Unordered;
    d.characters << ch;
}

}  // namespace

bool tableDataset(const Sheet& s, const TableOptions& o, Dataset& d, QString* error) {
    Layout l;
    if (!layout(s, l, error)) return false;
    d.format = Dataset::Sdd;  // characters and states are named, not numbered
    d.origin = s.file;
    d.title = QFileInfo(s.file).completeBaseName();
    for (int c : l.characters) character(s, l, o, c, d);
    QSet<QString> names;
    // A sheet may hold thousands of distinct values in a column: each is found by hashing.
    QList<QHash<QString, int>> stateOf(l.characters.size());
    for (int r = l.firstTaxon; r < s.rows.size(); ++r) {
        const QStringList& line = s.rows[r];
        if (std::all_of(line.cbegin(), line.cend(),
                        [](const QString& t) { return t.trimmed().isEmpty(); }))
            continue;
        Item item;
        item.name = s.cell(r, l.name).simplified();
        if (item.name.isEmpty())
            return (*error = at(s, r, l.name, QStringLiteral("a row without a taxon name")), false);
        if (names.contains(item.name.toCaseFolded()))
            return (*error = at(s, r, l.name, QStringLiteral("a second row for %1").arg(item.name)),
                    false);
        if (d.items.size() >= kMaxTaxa) return (*error = at(s, r, l.name, tooManyTaxa()), false);
        names.insert(item.name.toCaseFolded());
        item.id = item.name;
        item.htmlName = item.name.toHtmlEscaped();
        if (l.family >= 0) item.family = s.cell(r, l.family).simplified();
        for (const auto& [column, language] : l.common)
            if (const QString n = s.cell(r, column).simplified(); !n.isEmpty())
                d.commonNames[int(d.items.size())].append({language, n});
        for (int k = 0; k < l.characters.size(); ++k) {
            Character& ch = d.characters[k];
            const QStringList v = values(s.cell(r, l.characters[k]), o.separators);
            if (isUnknown(v)) continue;
            Attribute a;
            a.kind = isInapplicable(v) ? Attribute::Inapplicable : Attribute::Coded;
            for (const QString& x : a.kind == Attribute::Coded ? v : QStringList()) {
                NumericRange range;
                if (ch.isNumeric() && numberOrRange(x, range)) {
                    a.ranges << range;
                    continue;
                }
                int state = stateOf[k].value(x, -1);
                if (state < 0) {
                    state = int(ch.states.size());
                    stateOf[k].insert(x, state);
                    ch.states << CharacterState{x, x, {}, {}};
                }
                if (!a.states.contains(state)) a.states << state;
            }
            item.attributes.insert(k, a);
        }
        d.items << item;
    }
    if (d.items.isEmpty())
        return (
            *error =
                QStringLiteral("%1:%2:1: no row names a taxon").arg(s.file).arg(l.firstTaxon + 1),
            false);
    return true;
}

}  // namespace authoring
