#pragma once

#include <QList>
#include <QString>

// The lexical rules of DELTA files: directives, nested <comments>, the "/" that ends a
// text, and the RTF control words that typeset names.
namespace authoring::deltatext {

struct Directive {
    QString name;  // upper case, runs of spaces collapsed
    QString data;  // everything up to the next directive
    QString file;
    int line = 0;  // of the directive's first line

    // The line of a position in `data`.
    int lineAt(qsizetype pos) const;
};

// Splits a file into its directives; a directive is a "*" at the start of a line.
QList<Directive> directives(const QString& text, const QString& file);

// The position just after the comment opening at `pos` (comments nest); -1 when it is not
// closed.
qsizetype commentEnd(const QString& text, qsizetype pos);

// Removes every comment.
QString withoutComments(const QString& text);

// The position of the "/" that ends a text starting at `pos`: outside comments and followed
// by white space or the end; -1 when there is none.
qsizetype textEnd(const QString& text, qsizetype pos);

// Plain text: control words dropped, white space collapsed.
QString plain(const QString& rtf);

// HTML: italic, bold, subscript and superscript kept, everything else escaped.
QString html(const QString& rtf);

// Parses "3", "2-5" and lists "1-3:7" of numbers into the numbers they cover; false on
// anything else or when the list would cover more than `limit` numbers.
bool numberList(const QString& text, QChar separator, QList<int>& out, int limit = 100000);

}  // namespace authoring::deltatext
