#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace kb {

class Database;

// The texts of the base in other languages, from the optional table "Textes": one row per
// language, kind and key. A text that has no row keeps the base's own text, so a base without
// the table (or a language it does not hold) shows exactly what it always showed.
class BaseTexts {
public:
    // What a row translates ("Sorte"), and what its key ("Cle") names.
    enum class Kind {
        Question,  // "TipText" of "Objets_Fic"; key: the question key
        State,     // "TipText" of "Caracteres"; key: the state code
        Caption,   // "Caption" of a toolbar button; key: "3" (But_Deter 3) or "Q2" (But_Quest 2)
        TipText,   // "TipText" of a toolbar button; same keys
        Group,     // a heading of "Groupes"; key: the heading in the base's language
        Title,     // the base's title; empty key
        Unit,      // the unit of a measured question; key: the question key
    };

    struct Row {
        int number = 0;    // "Numero"
        QString language;  // "Langue", lower case
        QString kind;      // "Sorte" as written
        QString key;       // "Cle"
        QString text;      // "Texte"
    };

    // Reads "Textes" when the base has it; no table gives an empty set without error. Rows
    // of an unknown kind or without language are kept in rows() (for checking) but never shown.
    static BaseTexts load(Database& db, QString* errorString = nullptr);

    bool isEmpty() const { return texts_.isEmpty(); }
    // The languages that have at least one usable row, in ascending order.
    QStringList languages() const;
    const std::vector<Row>& rows() const { return rows_; }

    std::optional<QString> find(const QString& language, Kind kind, const QString& key) const;
    // The text in `language` when the table has one, else `fallback` (the base's own text).
    QString text(const QString& language, Kind kind, const QString& key,
                 const QString& fallback) const {
        return find(language, kind, key).value_or(fallback);
    }

    // Adds one row (as the loader does); the key is compared without case.
    void add(const Row& row);

    static std::optional<Kind> kindOf(const QString& name);
    static QString kindName(Kind kind);
    // The key of a toolbar button: "3" for row 3 of "But_Deter", "Q2" for row 2 of "But_Quest".
    static QString buttonKey(bool questionToolbar, int number);
    // The file of a picture drawn for one language: "wings.png" gives "wings_fr.png".
    static QString languageFileName(const QString& file, const QString& language);
    // "en", "es", "fr" for the interface language codes 0, 1, 2.
    static QString languageOfCode(int languageCode);

private:
    static QString slot(const QString& language, Kind kind, const QString& key);
    QHash<QString, QString> texts_;
    std::vector<Row> rows_;
};

}  // namespace kb
