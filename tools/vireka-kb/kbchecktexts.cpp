#include "kb/basetexts.h"
#include "kbcheck.h"

#include <QMap>
#include <QSet>

namespace vkb {

namespace {

QString fold(const QString& s) {
    return s.toCaseFolded();
}

}  // namespace

// What a row of "Textes" names must exist: a text the program can never show is a fault of
// the base, as an unknown key is in any other table.
QString KbCheck::unknownTextTarget(kb::BaseTexts::Kind kind, const QString& key) {
    using Kind = kb::BaseTexts::Kind;
    switch (kind) {
        case Kind::Question:
        case Kind::Unit:
            return objectKeys_.contains(fold(key)) ? QString() : QStringLiteral("question");
        case Kind::State:
            return stateCodes_.contains(fold(key)) ? QString() : QStringLiteral("state");
        case Kind::Caption:
        case Kind::TipText: {
            const bool question = key.startsWith(QLatin1Char('Q'), Qt::CaseInsensitive);
            bool ok = false;
            const int n = (question ? key.mid(1) : key).toInt(&ok);
            const int count = counts_.value(question ? "Nb_But_Quest" : "Nb_But_Deter");
            return ok && n >= 1 && n <= count ? QString() : QStringLiteral("button");
        }
        case Kind::Group:
            return groups_.contains(key) ? QString() : QStringLiteral("group");
        case Kind::Title:
            return key.isEmpty() ? QString() : QStringLiteral("title (its key must be empty)");
    }
    return {};
}

void KbCheck::checkTexts() {
    if (!db_.hasTable(QStringLiteral("Textes"))) return;
    if (db_.hasTable(QStringLiteral("Groupes"))) {
        kb::Table g = db_.openTable(QStringLiteral("Groupes"));
        for (g.moveFirst(); g.isValid() && !g.eof(); g.moveNext())
            groups_.insert(g.field(QStringLiteral("Groupe")).toString());
    }
    QString error;
    const kb::BaseTexts texts = kb::BaseTexts::load(db_, &error);
    if (!error.isEmpty()) {
        add(QStringLiteral("Textes: ") + error);
        return;
    }
    // Which languages give each text, to find the ones another language leaves out.
    QMap<QString, QPair<QString, QSet<QString>>> given;  // folded slot -> shown name, languages
    for (const kb::BaseTexts::Row& r : texts.rows()) {
        const QString row = QStringLiteral("Textes row %1: ").arg(r.number);
        const auto kind = kb::BaseTexts::kindOf(r.kind);
        if (!kind) {
            add(row + QStringLiteral("unknown kind '%1'").arg(r.kind));
            continue;
        }
        if (r.language.trimmed().isEmpty()) {
            add(row + QStringLiteral("no language"));
            continue;
        }
        if (r.text.isEmpty()) add(row + QStringLiteral("no text"));
        const QString unknown = unknownTextTarget(*kind, r.key);
        if (!unknown.isEmpty()) {
            add(row + QStringLiteral("no %1 '%2'").arg(unknown, r.key));
            continue;
        }
        const QString name = kb::BaseTexts::kindName(*kind);
        auto& slot = given[name + QLatin1Char('\x1f') + fold(r.key)];
        if (slot.first.isEmpty())
            slot.first = r.key.isEmpty() ? name : QStringLiteral("%1 '%2'").arg(name, r.key);
        slot.second.insert(r.language.trimmed().toLower());
    }
    const QStringList languages = texts.languages();
    for (const auto& [shown, present] : std::as_const(given)) {
        QStringList have(present.begin(), present.end());
        have.sort();
        for (const QString& language : languages)
            if (!present.contains(language))
                add(QStringLiteral("Textes: no '%1' text for %2, which %3 gives")
                        .arg(language, shown, have.join(QStringLiteral(", "))));
    }
}

}  // namespace vkb
