#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

namespace platform {

// Every interface text, keyed by entry number: entry K (1000 .. 1999) is English, 1000 + K
// Spanish, 2000 + K French. A text is asked for by its English number K and a language;
// an absent entry is a real answer ("this language has no such text"), not an error, and the
// caller's operation is expected to fail with it.
class StringTable {
public:
    // The table compiled into the program (resources/strings.tsv).
    static inline const QString BuiltInPath = QStringLiteral(":/vireka/strings.tsv");

    // Reads a UTF-8 file of lines "entry<TAB>text"; in a text "\t", "\n" and "\\" stand for a
    // tab, a new line and a backslash. Lines starting with "#" and empty lines are skipped. On
    // failure the table is left empty and errorString() says why.
    bool load(const QString& path);
    bool loadBuiltIn() { return load(BuiltInPath); }
    QString errorString() const { return error_; }

    // The language used by text(key); 0 English, 1 Spanish, 2 French.
    void setLanguageCode(int languageCode) { languageCode_ = languageCode; }
    int languageCode() const { return languageCode_; }

    // Entry languageCode * 1000 + key; nothing when the entry is absent, the key lies outside
    // 1000 .. 1999 or the language is not 0, 1 or 2.
    std::optional<QString> text(int key, int languageCode) const;
    std::optional<QString> text(int key) const { return text(key, languageCode_); }

    // The text of key in the current language, or the fallback when it is missing (window
    // translation keeps the design text).
    QString textOr(int key, const QString& fallback) const;

    // Raw access by entry number, for checks of the table itself.
    std::optional<QString> entry(int id) const;
    QList<int> entries() const;
    bool isEmpty() const { return entries_.isEmpty(); }

private:
    bool parse(const QString& content);

    QHash<int, QString> entries_;
    QString error_;
    int languageCode_ = 0;
};

}  // namespace platform
