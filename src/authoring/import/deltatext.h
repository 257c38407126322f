#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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

// Whether the "<" at `pos` opens a comment: only at the start of the text or after a blank
// or another angle bracket. Elsewhere "<" is an ordinary character: "few (<3)", "x<y".
bool opensComment(const QString& text, qsizetype pos);

// Whether the ">" at `pos`, inside a comment, closes it. A ">" just after "(", "[" or "=",
// or just before a digit, is an ordinary character: "<many (>9) flowers>".
bool closesComment(const QString& text, qsizetype pos);

// The position just after the comment opening at `pos` (comments nest, by the two rules
// above); -1 when it is not closed. The caller decides that `pos` opens a comment: in an
// attribute a comment may follow a value directly ("1<usually>/2").
qsizetype commentEnd(const QString& text, qsizetype pos);

// Removes every comment.
QString withoutComments(const QString& text);

// The texts inside the comments that stand at the top level of `text`.
QStringList comments(const QString& text);

// The short label of a character or state text, plain: its comments left out. A text made
// only of comments takes the words of the comments.
QString label(const QString& rtf);

// The words of one comment (its text inside the angle brackets) as a remark beside a value or
// a name: its codes left out, empty when it is an annotation meant for another program.
QString remark(const QString& inner);

// The whole wording of a text, plain: comments that hold words are kept in parentheses;
// comments that hold only codes ("<<Af7 se5~>>") and annotations meant for another program
// (a comment made of one inner comment "<<...>>" or of one parenthesis "<(...)>") are left
// out. Codes are words that mix letters with digits (Af7, se5) or carry a "~".
QString wording(const QString& rtf);

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
