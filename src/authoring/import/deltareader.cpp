#include "authoring/import/deltareader.h"

#include "authoring/import/datasetfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace authoring {

using deltatext::Directive;

namespace {

constexpr int kMaxInputDepth = 8;
constexpr int kMaxCharacters = 100000;
constexpr int kMaxStates = 100000;

// Specifications first, then the character list, then what refers to characters, then the
// items, then the pictures that refer to items by name.
int priority(const QString& name) {
    static const QStringList order{QStringLiteral("NUMBER OF CHARACTERS"),
                                   QStringLiteral("CHARACTER TYPES"),
                                   QStringLiteral("NUMBERS OF STATES"),
                                   QStringLiteral("CHARACTER LIST"),
                                   QString(),
                                   QStringLiteral("ITEM DESCRIPTIONS"),
                                   QStringLiteral("TAXON IMAGES")};
    const qsizetype at = order.indexOf(name);
    return at < 0 ? 4 : int(at);
}

// "\s*(\d+)\.\s" at `from`, read by hand: a regular expression matched at an offset checks
// the whole text again each time, which made a character of many states cost their square.
struct NumberAt {
    const QString* text = nullptr;
    qsizetype start = -1, digitsEnd = -1, end = -1;
    bool hasMatch() const { return end >= 0; }
    QString captured(int) const { return text->mid(start, digitsEnd - start); }
    qsizetype capturedEnd(int) const { return end; }
};

NumberAt numberAt(const QString& s, qsizetype from) {
    const auto blank = [](QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    NumberAt m;
    m.text = &s;
    qsizetype i = from;
    while (i < s.size() && blank(s[i])) ++i;
    const qsizetype digits = i;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') ++i;
    if (i == digits || i + 1 >= s.size() || s[i] != u'.' || !blank(s[i + 1])) return m;
    m.start = digits, m.digitsEnd = i, m.end = i + 2;
    return m;
}

QString findFile(const QString& folder, const QString& name) {
    const QDir dir(folder);
    for (const QString& entry : dir.entryList(QDir::Files | QDir::System))
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    return {};
}

}  // namespace

Character* DeltaReader::character(int number) {
    if (number < 1 || number > m_out->characters.size()) return nullptr;
    return &m_out->characters[number - 1];
}

void DeltaReader::note(const QString& where, const QString& message) {
    if (m_out->notes.size() < kMaxNotes) m_out->notes << where + QStringLiteral(": ") + message;
}

bool DeltaReader::fail(const Directive& d, qsizetype pos, const QString& message) {
    m_error = QStringLiteral("%1:%2: %3").arg(d.file).arg(d.lineAt(pos)).arg(message);
    return false;
}

bool DeltaReader::read(const QString& folder, Dataset& out) {
    m_out = &out;
    m_folder = folder;
    out = Dataset();
    out.origin = folder;
    out.title = QFileInfo(folder).fileName();
    if (!QFileInfo(folder).isDir())
        return (m_error = folder + QStringLiteral(": not a folder"), false);
    // Each file is read once, however many others pull it in.
    QStringList files;
    for (const char* name :
         {"specs", "chars", "items", "cimages", "timages", "toint", "tokey", "key", "tonat"})
        if (const QString f = findFile(folder, QString::fromLatin1(name)); !f.isEmpty()) {
            // The usual names obey the rule of every name the dataset gives.
            if (datasetfiles::inside(folder, QFileInfo(f).fileName()).isEmpty())
                return (m_error = datasetfiles::outside(f), false);
            files << f;
        }
    if (files.isEmpty())
        return (m_error = folder + QStringLiteral(": no DELTA files (specs, chars, items)"), false);
    for (const QString& f : files)
        if (!readFile(f, 0)) return false;
    std::stable_sort(
        m_directives.begin(), m_directives.end(),
        [](const Directive& a, const Directive& b) { return priority(a.name) < priority(b.name); });
    // Without NUMBER OF CHARACTERS, the character list says how many there are, before the
    // types and counts of states that refer to them are read.
    const auto declares = [](const Directive& d) { return d.name == "NUMBER OF CHARACTERS"; };
    if (std::none_of(m_directives.cbegin(), m_directives.cend(), declares)) {
        static const QRegularExpression opening(QStringLiteral("(?:^|\\s)#\\s*(\\d{1,6})\\."));
        int count = 0;
        for (const Directive& d : m_directives)
            if (d.name == QLatin1String("CHARACTER LIST"))
                for (const auto& m : opening.globalMatch(deltatext::withoutComments(d.data)))
                    count = std::max(count, m.captured(1).toInt());
        count = std::min(count, kMaxCharacters);
        for (int i = int(out.characters.size()); i < count; ++i) {
            out.characters.append(Character());
            out.characters.last().id = QString::number(i + 1);
        }
    }
    for (const Directive& d : m_directives)
        if (!apply(d)) return false;
    if (out.characters.isEmpty())
        return (m_error = folder + QStringLiteral(": the dataset has no CHARACTER LIST"), false);
    if (out.items.isEmpty())
        return (m_error = folder + QStringLiteral(": the dataset has no ITEM DESCRIPTIONS"), false);
    resolveDependencies();
    groupByKeywords();
    return true;
}

bool DeltaReader::readFile(const QString& path, int depth) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (m_readFiles.contains(canonical)) return true;
    m_readFiles.insert(canonical);
    QByteArray bytes;
    if (!datasetfiles::read(path, datasetfiles::kTextLimit, bytes, m_error)) return false;
    const QString name = QDir(m_folder).relativeFilePath(path);
    for (const Directive& d : deltatext::directives(datasetfiles::decode(bytes), name)) {
        if (d.name != QLatin1String("INPUT FILE")) {
            m_directives << d;
            continue;
        }
        if (depth >= kMaxInputDepth)
            return fail(d, 0, QStringLiteral("INPUT FILE nested too deep"));
        const QString target = datasetfiles::inside(m_folder, d.data.trimmed());
        if (target.isEmpty())
            return fail(d, 0,
                        QStringLiteral("INPUT FILE %1 is not inside the dataset's folder")
                            .arg(d.data.trimmed()));
        if (!readFile(target, depth + 1)) return false;
    }
    return true;
}

bool DeltaReader::apply(const Directive& d) {
    const QString& n = d.name;
    if (n == QLatin1String("NUMBER OF CHARACTERS")) {
        bool ok = false;
        const int count = deltatext::withoutComments(d.data).trimmed().toInt(&ok);
        if (!ok || count < 1 || count > kMaxCharacters)
            return fail(d, 0,
                        QStringLiteral("NUMBER OF CHARACTERS must be 1 to %1").arg(kMaxCharacters));
        m_out->characters.resize(count);
        for (int i = 0; i < count; ++i) {
            m_out->characters[i].id = QString::number(i + 1);
            m_out->characters[i].states.clear();
        }
        return true;
    }
    if (n == QLatin1String("CHARACTER LIST")) return characterList(d);
    if (n == QLatin1String("ITEM DESCRIPTIONS")) return itemDescriptions(d);
    if (n == QLatin1String("CHARACTER TYPES") || n == QLatin1String("NUMBERS OF STATES") ||
        n == QLatin1String("IMPLICIT VALUES") || n == QLatin1String("CHARACTER RELIABILITIES") ||
        n == QLatin1String("CHARACTER WEIGHTS"))
        return perCharacter(d);
    if (n == QLatin1String("DEPENDENT CHARACTERS") || n == QLatin1String("APPLICABLE CHARACTERS") ||
        n == QLatin1String("INAPPLICABLE CHARACTERS"))
        return dependencies(d);
    if (n == QLatin1String("KEY STATES")) return keyStates(d);
    if (n == QLatin1String("CHARACTER HEADINGS")) return headings(d);
    if (n == QLatin1String("KEYWORD CHARACTERS")) return keywords(d);
    if (n == QLatin1String("CHARACTER IMAGES")) return characterImages(d);
    if (n == QLatin1String("TAXON IMAGES")) return taxonImages(d);
    if (n == QLatin1String("HEADING") && m_out->title == QFileInfo(m_folder).fileName() &&
        !d.data.trimmed().isEmpty())
        m_out->title = deltatext::plain(deltatext::withoutComments(d.data));
    return true;  // COMMENT, printing and layout directives
}

bool DeltaReader::characterList(const Directive& d) {
    const QString& s = d.data;
    qsizetype pos = 0;
    while (true) {
        while (pos < s.size() && s[pos].isSpace()) ++pos;
        if (pos >= s.size()) return true;
        if (s[pos] != QLatin1Char('#'))
            return fail(d, pos, QStringLiteral("expected '#' and a character number"));
        auto m = numberAt(s, pos + 1);
        if (!m.hasMatch())
            return fail(d, pos, QStringLiteral("expected a character number after '#'"));
        const int n = m.captured(1).toInt();
        if (n < 1 || n > kMaxCharacters)
            return fail(d, pos, QStringLiteral("character number %1 is out of range").arg(n));
        if (n > m_out->characters.size()) {
            const qsizetype old = m_out->characters.size();
            m_out->characters.resize(n);
            for (qsizetype i = old; i < n; ++i) m_out->characters[i].id = QString::number(i + 1);
        }
        Character& c = m_out->characters[n - 1];
        qsizetype end = deltatext::textEnd(s, m.capturedEnd(0));
        if (end < 0)
            return fail(d, pos,
                        QStringLiteral("character %1: the text does not end with '/'").arg(n));
        const QString feature = s.mid(m.capturedEnd(0), end - m.capturedEnd(0));
        c.fullText = deltatext::plain(feature);
        c.label = deltatext::plain(deltatext::withoutComments(feature));
        const int declared = std::max(int(c.states.size()), 2);
        QList<CharacterState> states;
        pos = end + 1;
        while (true) {
            while (pos < s.size() && s[pos].isSpace()) ++pos;
            if (pos >= s.size() || s[pos] == QLatin1Char('#')) break;
            m = numberAt(s, pos);
            end = deltatext::textEnd(s, m.hasMatch() ? m.capturedEnd(0) : pos);
            if (end < 0)
                return fail(d, pos,
                            QStringLiteral("character %1: a state does not end with '/'").arg(n));
            if (!m.hasMatch()) {
                c.unit = deltatext::plain(deltatext::withoutComments(s.mid(pos, end - pos)));
            } else if (states.size() < kMaxStates) {
                const QString text = s.mid(m.capturedEnd(0), end - m.capturedEnd(0));
                states << CharacterState{
                    m.captured(1), deltatext::plain(deltatext::withoutComments(text)), {}, {}};
            }
            pos = end + 1;
        }
        if (c.isMultistate()) {
            for (int k = int(states.size()); k < declared; ++k)
                states << CharacterState{
                    QString::number(k + 1), QStringLiteral("state %1").arg(k + 1), {}, {}};
            c.states = states;
        }
    }
}

bool DeltaReader::itemDescriptions(const Directive& d) {
    const QString& s = d.data;
    // An item starts at a '#' outside comments that opens a line or follows white space.
    QList<qsizetype> starts;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('<')) {
            const qsizetype end = deltatext::commentEnd(s, i);
            if (end < 0) return fail(d, i, QStringLiteral("a comment is not closed"));
            i = end - 1;
        } else if (s[i] == QLatin1Char('#') && (i == 0 || s[i - 1].isSpace())) {
            starts << i;
        } else if (starts.isEmpty() && !s[i].isSpace()) {
            return fail(d, i, QStringLiteral("expected '#' and an item name"));
        }
    }
    starts << s.size();
    for (qsizetype k = 0; k + 1 < starts.size(); ++k)
        if (!item(d, starts[k] + 1, starts[k + 1])) return false;
    return true;
}

bool DeltaReader::item(const Directive& d, qsizetype from, qsizetype to) {
    const QString& s = d.data;
    if (m_out->items.size() >= kMaxTaxa) return fail(d, from - 1, tooManyTaxa());
    const qsizetype end = deltatext::textEnd(s, from);
    if (end < 0 || end >= to)
        return fail(d, from, QStringLiteral("the item name does not end with '/'"));
    Item it;
    it.id = QString::number(m_out->items.size() + 1);
    const QString name = s.mid(from, end - from);
    it.name = deltatext::plain(deltatext::withoutComments(name));
    it.htmlName = deltatext::html(deltatext::withoutComments(name));
    it.comment = deltatext::plain(name.mid(name.indexOf(QLatin1Char('<')))
                                      .remove(QRegularExpression(QStringLiteral("^<|>$"))));
    if (!name.contains(QLatin1Char('<'))) it.comment.clear();
    if (it.name.isEmpty()) return fail(d, from, QStringLiteral("an item without a name"));
    qsizetype pos = end + 1;
    while (true) {
        while (pos < to && s[pos].isSpace()) ++pos;
        if (pos >= to) break;
        const qsizetype start = pos;
        while (pos < to && !s[pos].isSpace()) {
            if (s[pos] == QLatin1Char('<')) {
                const qsizetype e = deltatext::commentEnd(s, pos);
                if (e < 0 || e > to) return fail(d, pos, QStringLiteral("a comment is not closed"));
                pos = e;
            } else {
                ++pos;
            }
        }
        attribute(d, start, s.mid(start, pos - start), it);
    }
    m_out->items << it;
    return true;
}

void DeltaReader::attribute(const Directive& d, qsizetype at, const QString& token, Item& it) {
    // Finding the line costs a pass over the data: only a note that is kept needs it, or a
    // file full of bad values would take a pass per value.
    const auto where = [this, &d, at] {
        return m_out->notes.size() >= kMaxNotes
                   ? QString()
                   : QStringLiteral("%1:%2").arg(d.file).arg(d.lineAt(at));
    };
    qsizetype pos = 0;
    while (pos < token.size() && token[pos].isDigit()) ++pos;
    const int number = token.left(pos).toInt();
    Character* c = character(number);
    if (!c)
        return note(
            where(),
            QStringLiteral("item %1: '%2' names no character").arg(it.name, token.left(40)));
    Attribute a;
    QStringList comments;
    while (pos < token.size() && token[pos] == QLatin1Char('<')) {
        const qsizetype e = deltatext::commentEnd(token, pos);
        comments << deltatext::plain(token.mid(pos + 1, e - pos - 2));
        pos = e;
    }
    a.text = comments.join(QStringLiteral("; "));
    if (pos < token.size() && token[pos] == QLatin1Char(',')) {
        const QString values = token.mid(pos + 1);
        if (c->type == Character::Text) {
            a.kind = Attribute::Coded;
        } else if (c->isNumeric()) {
            numeric(values, a, where);
        } else {
            multistate(*c, values, a, where);
        }
    } else if (pos < token.size()) {
        return note(where(),
                    QStringLiteral("item %1: cannot read '%2'").arg(it.name, token.left(40)));
    } else if (c->type == Character::Text && !a.text.isEmpty()) {
        a.kind = Attribute::Coded;
    }
    const int index = number - 1;
    if (it.attributes.contains(index) && a.kind == Attribute::Coded) {
        Attribute& old = it.attributes[index];  // coded twice: the values add up
        old.kind = Attribute::Coded;
        old.states += a.states;
        old.ranges += a.ranges;
        return;
    }
    it.attributes[index] = a;
}

namespace {

// "U", "V" and "-" stand for no value; a list made only of them says which.
bool pseudo(const QString& v, Attribute::Kind& kind) {
    if (v == QLatin1String("U")) return kind = Attribute::Unknown, true;
    if (v == QLatin1String("V")) return kind = Attribute::Variable, true;
    if (v == QLatin1String("-")) return kind = Attribute::Inapplicable, true;
    return false;
}

QStringList alternatives(const QString& values) {
    QStringList out;
    QString current;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (values[i] == QLatin1Char('<')) {
            const qsizetype e = deltatext::commentEnd(values, i);
            i = (e < 0 ? values.size() : e) - 1;
        } else if (values[i] == QLatin1Char('/')) {
            out << current, current.clear();
        } else {
            current += values[i];
        }
    }
    return out << current;
}

}  // namespace

void DeltaReader::multistate(const Character& c, const QString& values, Attribute& a,
                             const std::function<QString()>& where) {
    Attribute::Kind only = Attribute::Unknown;
    bool anyPseudo = false;
    for (const QString& alt : alternatives(values)) {
        for (QString part : alt.split(QLatin1Char('&'))) {
            part = part.trimmed();
            if (part.isEmpty()) continue;
            if (pseudo(part, only)) {
                anyPseudo = true;
                continue;
            }
            QList<int> states;
            if (!deltatext::numberList(part, QLatin1Char(','), states, kMaxStates)) {
                note(where(), QStringLiteral("character %1: cannot read value '%2'")
                                  .arg(c.id, part.left(40)));
                continue;
            }
            for (int s : states) {
                if (s < 1 || s > c.states.size())
                    note(where(), QStringLiteral("character %1 has no state %2").arg(c.id).arg(s));
                else if (!a.states.contains(s - 1))
                    a.states << s - 1;
            }
        }
    }
    a.kind = !a.states.isEmpty() ? Attribute::Coded : (anyPseudo ? only : Attribute::Unknown);
}

void DeltaReader::numeric(const QString& values, Attribute& a,
                          const std::function<QString()>& where) {
    static const QRegularExpression extremes(QStringLiteral("\\([^)]*\\)"));
    static const QRegularExpression number(QStringLiteral("\\G-?(?:\\d+(?:\\.\\d*)?|\\.\\d+)"));
    Attribute::Kind only = Attribute::Unknown;
    bool anyPseudo = false;
    for (QString alt : alternatives(values)) {
        alt = alt.trimmed();
        if (alt.isEmpty()) continue;
        if (pseudo(alt, only)) {
            anyPseudo = true;
            continue;
        }
        alt.remove(extremes);
        QList<double> bounds;
        qsizetype pos = 0;
        bool ok = true;
        while (ok && pos < alt.size()) {
            if (!bounds.isEmpty()) ok = alt[pos++] == QLatin1Char('-');
            const auto m = number.match(alt, pos);
            ok = ok && m.hasMatch();
            if (ok) bounds << m.captured(0).toDouble(), pos = m.capturedEnd(0);
        }
        if (!ok || bounds.isEmpty()) {
            note(where(), QStringLiteral("cannot read the number '%1'").arg(alt.left(40)));
            continue;
        }
        const auto [lo, hi] = std::minmax_element(bounds.cbegin(), bounds.cend());
        a.ranges << NumericRange{*lo, *hi};
    }
    a.kind = !a.ranges.isEmpty() ? Attribute::Coded : (anyPseudo ? only : Attribute::Unknown);
}

}  // namespace authoring
