#pragma once

#include "authoring/compiler/kbsource.h"

#include <QString>
#include <QStringList>

namespace authoring {

// Reads the text source of a knowledge base: the main file "kb.txt" of a folder and the
// files it includes. Lines are "keyword arguments..."; an indented line belongs to the
// block opened by the last unindented one. The first error stops the reading and is kept
// as "file:line: message".
class SourceParser {
public:
    bool parse(const QString& folder, KbSource& out);
    QString errorString() const { return m_error; }

    // Splits one line into words; "quoted text" is one word, a # after a blank starts a
    // comment. Public for the tests of the format.
    static QStringList split(const QString& line, QString* error);

private:
    bool parseFile(const QString& path, int depth);
    bool topLevel(const QStringList& w);
    bool inBlock(const QStringList& w);
    bool questionLine(const QStringList& w);
    bool stateLine(const QStringList& w);
    bool stateRange(const QStringList& range, State& s);
    bool speciesLine(const QStringList& w);
    bool figureLine(const QStringList& w);
    bool vignetteLine(const QStringList& w);
    bool shapeLine(const QStringList& w, QList<Shape>& shapes, const QString& pen, int penWidth);
    bool zoneLine(const QStringList& w, bool isFrame);
    bool buttonLine(const QStringList& w);
    bool contradictionLine(const QStringList& w);
    bool textsLine(const QStringList& w);

    bool fail(const QString& message);
    bool needArgs(const QStringList& w, int count, const QString& usage);
    bool number(const QString& text, int& value);
    bool point(const QString& text, QPoint& value);
    bool colour(const QString& text, QColor& value);
    bool options(const QStringList& w, int from, const QStringList& withValue,
                 const QStringList& lists, QMap<QString, QStringList>& out);

    KbSource* m_kb = nullptr;
    SourcePlace m_place;
    QString m_error;
    enum class Block {
        None,
        Question,
        Species,
        Layer,
        Figure,
        Vignette,
        Texts
    } m_block = Block::None;
    QString m_pen;  // outline of the following figures in the current picture
    int m_penWidth = 0;
    QString m_textsLanguage;  // language of the current "texts" block
};

}  // namespace authoring
