#include "kb/basetexts.h"

#include "kb/database.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <utility>

namespace kb {

namespace {
const QString kTable = QStringLiteral("Textes");

const std::array<std::pair<BaseTexts::Kind, const char*>, 7> kKinds{{
    {BaseTexts::Kind::Question, "Question"},
    {BaseTexts::Kind::State, "Etat"},
    {BaseTexts::Kind::Caption, "Caption"},
    {BaseTexts::Kind::TipText, "TipText"},
    {BaseTexts::Kind::Group, "Groupe"},
    {BaseTexts::Kind::Title, "Titre"},
    {BaseTexts::Kind::Unit, "Unite"},
}};
}  // namespace

std::optional<BaseTexts::Kind> BaseTexts::kindOf(const QString& name) {
    for (const auto& [kind, text] : kKinds)
        if (name.compare(QLatin1String(text), Qt::CaseInsensitive) == 0) return kind;
    return std::nullopt;
}

QString BaseTexts::kindName(Kind kind) {
    for (const auto& [k, text] : kKinds)
        if (k == kind) return QLatin1String(text);
    return {};
}

QString BaseTexts::buttonKey(bool questionToolbar, int number) {
    return (questionToolbar ? QStringLiteral("Q") : QString()) + QString::number(number);
}

QString BaseTexts::languageFileName(const QString& file, const QString& language) {
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = file.lastIndexOf(QLatin1Char('/'));
    const QString suffix = QLatin1Char('_') + language.trimmed().toLower();
    if (dot <= slash + 1) return file + suffix;
    return file.left(dot) + suffix + file.mid(dot);
}

QString BaseTexts::languageOfCode(int languageCode) {
    switch (languageCode) {
        case 1:
            return QStringLiteral("es");
        case 2:
            return QStringLiteral("fr");
        default:
            return QStringLiteral("en");
    }
}

QString BaseTexts::slot(const QString& language, Kind kind, const QString& key) {
    return language.trimmed().toLower() + QLatin1Char('\x1f') +
           QString::number(static_cast<int>(kind)) + QLatin1Char('\x1f') +
           key.trimmed().toCaseFolded();
}

void BaseTexts::add(const Row& row) {
    rows_.push_back(row);
    const auto kind = kindOf(row.kind);
    if (!kind || row.language.trimmed().isEmpty() || row.text.isEmpty()) return;
    // The first row of a slot wins, as the first row of a key wins everywhere in the base.
    const QString s = slot(row.language, *kind, row.key);
    if (!texts_.contains(s)) texts_.insert(s, row.text);
}

std::optional<QString> BaseTexts::find(const QString& language, Kind kind,
                                       const QString& key) const {
    if (texts_.isEmpty()) return std::nullopt;
    const auto it = texts_.constFind(slot(language, kind, key));
    if (it == texts_.constEnd()) return std::nullopt;
    return *it;
}

QStringList BaseTexts::languages() const {
    QSet<QString> seen;
    for (const Row& r : rows_)
        if (kindOf(r.kind) && !r.language.trimmed().isEmpty() && !r.text.isEmpty())
            seen.insert(r.language.trimmed().toLower());
    QStringList out(seen.begin(), seen.end());
    std::sort(out.begin(), out.end());
    return out;
}

BaseTexts BaseTexts::load(Database& db, QString* errorString) {
    BaseTexts texts;
    if (errorString) errorString->clear();
    if (!db.hasTable(kTable)) return texts;
    Table t = db.openTable(kTable);
    if (!t.isValid()) {
        if (errorString) *errorString = t.errorString();
        return texts;
    }
    const int number = t.fieldIndex(QStringLiteral("Numero"));
    const int language = t.fieldIndex(QStringLiteral("Langue"));
    const int kind = t.fieldIndex(QStringLiteral("Sorte"));
    const int key = t.fieldIndex(QStringLiteral("Cle"));
    const int text = t.fieldIndex(QStringLiteral("Texte"));
    if (language < 0 || kind < 0 || text < 0) {
        if (errorString)
            *errorString =
                QStringLiteral("\"Textes\" lacks a field \"Langue\", \"Sorte\" or \"Texte\"");
        return texts;
    }
    for (t.moveFirst(); !t.eof(); t.moveNext())
        texts.add(Row{t.fieldAt(number).toInt(), t.fieldAt(language).toString().toLower(),
                      t.fieldAt(kind).toString(), t.fieldAt(key).toString(),
                      t.fieldAt(text).toString()});
    return texts;
}

}  // namespace kb
