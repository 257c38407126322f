#pragma once

#include "authoring/compiler/kbsource.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace authoring {

// A row of the table "Textes" as the compiler writes it.
struct TextRow {
    QString language;
    QString kind;  // "Question", "Etat", "Caption", "TipText", "Groupe", "Titre"
    QString key;
    QString text;
};

namespace translations {

// The languages of the source's "texts" blocks, in the order they first appear.
QStringList languages(const KbSource& kb);

// Checks that every translation names something of the source and that none is given twice;
// the message is "file:line: ..." of the first fault, empty when there is none.
QString check(const KbSource& kb);

// The rows of "Textes", in the order of the source. A state or button without its own tip
// in the translation takes the translated label as its tip only where the base's tip is its
// label too; otherwise its tip stays in the base's language.
QList<TextRow> rows(const KbSource& kb);

// The question with its states' labels in `language` where the source translates them;
// `changed` says whether any label differs from the base's.
Question translated(const KbSource& kb, const Question& q, const QString& language, bool* changed);

}  // namespace translations

}  // namespace authoring
