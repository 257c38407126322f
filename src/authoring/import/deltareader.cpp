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
    readOtherFiles();
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
    groupBySubheadings();
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

void DeltaReader::readOtherFiles() {
    QSet<QString> given, taken;
    for (const Directive& d : std::as_const(m_directives)) given.insert(d.name);
    static const QRegularExpression pictures(
        QStringLiteral("\\.(gif|jpe?g|png|bmp|tiff?|wmf|emf|pdf|zip|exe|dll)$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression opening(QStringLiteral("^\\s*\\*[A-Za-z]"));
    const QDir dir(m_folder);
    for (const QString& entry : dir.entryList(QDir::Files | QDir::System, QDir::Name)) {
        const QString path = datasetfiles::inside(m_folder, entry);
        if (path.isEmpty() || entry.contains(pictures) ||
            m_readFiles.contains(QFileInfo(path).canonicalFilePath()))
            continue;
        QByteArray bytes;
        QString error;
        // A file that cannot be read, or does not start with a directive, holds none.
        if (!datasetfiles::read(path, datasetfiles::kTextLimit, bytes, error)) continue;
        const QString text = datasetfiles::decode(bytes);
        if (!opening.match(text).hasMatch()) continue;
        m_readFiles.insert(QFileInfo(path).canonicalFilePath());
        QSet<QString> here;
        for (const Directive& d : deltatext::directives(text, entry)) {
            if (d.name == QLatin1String("INPUT FILE") || given.contains(d.name) ||
                taken.contains(d.name))
                continue;
            m_directives << d;
            here.insert(d.name);
        }
        taken += here;
    }
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
    if (n == QLatin1String("ITEM SUBHEADINGS")) return subheadings(d);
    if (n == QLatin1String("CHARACTER NOTES")) return characterNotes(d);
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
        c.fullText = deltatext::wording(feature);
        c.label = deltatext::label(feature);
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
                states << CharacterState{m.captured(1), deltatext::label(text), {}, {}};
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
    qsizetype pos = 0;
    while (pos < s.size() && s[pos].isSpace()) ++pos;
    if (pos < s.size() && s[pos] != QLatin1Char('#'))
        return fail(d, pos, QStringLiteral("expected '#' and an item name"));
    while (pos < s.size()) {
        // The name is a text; its attributes run to the next '#' outside comments that opens
        // a line or follows white space. In an attribute a comment may follow a value
        // directly, so there every '<' opens one.
        static const QRegularExpression nextItem(QStringLiteral("\\n\\s*#"));
        const qsizetype nameEnd = deltatext::textEnd(s, pos + 1);
        if (nameEnd < 0 || s.mid(pos, nameEnd - pos).contains(nextItem))
            return fail(d, pos, QStringLiteral("the item name does not end with '/'"));
        qsizetype next = nameEnd + 1;
        while (next < s.size() && !(s[next] == QLatin1Char('#') && s[next - 1].isSpace())) {
            if (s[next] != QLatin1Char('<')) {
                ++next;
                continue;
            }
            const qsizetype end = deltatext::commentEnd(s, next);
            if (end < 0) return fail(d, next, QStringLiteral("a comment is not closed"));
            next = end;
        }
        if (!item(d, pos + 1, nameEnd, next)) return false;
        pos = next;
    }
    return true;
}

bool DeltaReader::item(const Directive& d, qsizetype from, qsizetype end, qsizetype to) {
    const QString& s = d.data;
    if (m_out->items.size() >= kMaxTaxa) return fail(d, from - 1, tooManyTaxa());
    Item it;
    it.id = QString::number(m_out->items.size() + 1);
    const QString name = s.mid(from, end - from);
    it.name = deltatext::plain(deltatext::withoutComments(name));
    it.htmlName = deltatext::html(deltatext::withoutComments(name));
    QStringList remarks;
    for (const QString& c : deltatext::comments(name))
        if (const QString r = deltatext::remark(c); !r.isEmpty()) remarks << r;
    it.comment = remarks.join(QStringLiteral("; "));
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
        // The words of the comment: codes and annotations ("<<none>>") left out.
        if (const QString words = deltatext::remark(token.mid(pos + 1, e - pos - 2));
            !words.isEmpty())
            comments << words;
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

// The "/"-separated alternatives of a value list; the words of the comments on values
// ("2<rarely 3>") are added to `remarks`.
QStringList alternatives(const QString& values, QString& remarks) {
    QStringList out;
    QString current;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (values[i] == QLatin1Char('<')) {
            const qsizetype e = deltatext::commentEnd(values, i);
            const QString words =
                e < 0 ? QString() : deltatext::remark(values.mid(i + 1, e - i - 2));
            if (!words.isEmpty())
                remarks += (remarks.isEmpty() ? QString() : QStringLiteral("; ")) + words;
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

// Every "/" alternative and every "&" part of it, trimmed, goes to `value`, except the
// pseudo-values: a list made only of those says which one the attribute is.
void DeltaReader::eachValue(const QString& values, Attribute& a,
                            const std::function<void(const QString&)>& value) {
    Attribute::Kind only = Attribute::Unknown;
    bool anyPseudo = false;
    for (const QString& alt : alternatives(values, a.text)) {
        for (QString part : alt.split(QLatin1Char('&'))) {
            part = part.trimmed();
            if (part.isEmpty()) continue;
            if (pseudo(part, only))
                anyPseudo = true;
            else
                value(part);
        }
    }
    const bool coded = !a.states.isEmpty() || !a.ranges.isEmpty();
    a.kind = coded ? Attribute::Coded : (anyPseudo ? only : Attribute::Unknown);
}

void DeltaReader::multistate(const Character& c, const QString& values, Attribute& a,
                             const std::function<QString()>& where) {
    eachValue(values, a, [&](const QString& part) {
        QList<int> states;
        if (!deltatext::numberList(part, QLatin1Char(','), states, kMaxStates)) {
            note(where(),
                 QStringLiteral("character %1: cannot read value '%2'").arg(c.id, part.left(40)));
            return;
        }
        for (int s : states) {
            if (s < 1 || s > c.states.size())
                note(where(), QStringLiteral("character %1 has no state %2").arg(c.id).arg(s));
            else if (!a.states.contains(s - 1))
                a.states << s - 1;
        }
    });
}

namespace {

// One value: "5", "3-8", "2-3.5-8" (the ends taken), with extremes "(2-)3-8(-12)";
// negative numbers are allowed ("(-20-)-15--10").
bool numericValue(const QString& text, NumericRange& r) {
    static const QString n = QStringLiteral("-?(?:\\d+(?:\\.\\d*)?|\\.\\d+)");
    static const QRegularExpression whole(
        QStringLiteral("^(?:\\((%1)-\\))?(%1(?:-%1)*)(?:\\(-(%1)\\))?$").arg(n));
    static const QRegularExpression number(QStringLiteral("\\G%1").arg(n));
    const auto m = whole.match(text);
    if (!m.hasMatch()) return false;
    const QString chain = m.captured(2);
    QList<double> bounds;
    for (qsizetype pos = 0; pos < chain.size();) {
        if (!bounds.isEmpty()) ++pos;  // the "-" between two numbers
        const auto v = number.match(chain, pos);
        if (!v.hasMatch()) return false;
        bounds << v.captured(0).toDouble();
        pos = v.capturedEnd(0);
    }
    const auto [lo, hi] = std::minmax_element(bounds.cbegin(), bounds.cend());
    r = NumericRange{*lo, *hi, kNotGiven, kNotGiven};
    if (m.hasCaptured(1)) r.extremeLow = m.captured(1).toDouble();
    if (m.hasCaptured(3)) r.extremeHigh = m.captured(3).toDouble();
    return std::isfinite(r.low) && std::isfinite(r.high);
}

}  // namespace

// Alternatives ("/") and values seen together ("&": "30&35&43") each count as a value.
void DeltaReader::numeric(const QString& values, Attribute& a,
                          const std::function<QString()>& where) {
    eachValue(values, a, [&](const QString& part) {
        NumericRange r;
        if (numericValue(part, r))
            a.ranges << r;
        else
            note(where(), QStringLiteral("cannot read the number '%1'").arg(part.left(40)));
    });
}

}  // namespace authoring
