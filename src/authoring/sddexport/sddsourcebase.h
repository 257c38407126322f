#pragma once

#include "kb/basetexts.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>
#include <cmath>
#include <limits>

// A compiled knowledge base as an SDD file describes it: what the export reads from the
// tables and data files, in plain values, before anything is written.
namespace authoring {

struct SddRange {
    double low = -std::numeric_limits<double>::infinity();
    double high = std::numeric_limits<double>::infinity();
};

struct SddState {
    QString code;  // "ID_CARAC"
    QString label;
    int number = 0;  // in "Caracteres" order
    int weight = 0;
    bool measured = false;  // has a row of "Mesures"
    SddRange range;
};

struct SddQuestion {
    QString key;  // "Objet"
    QString text;
    QString group;
    QString unit;
    int rows = 1, columns = 1;
    QString picture;         // absolute path of its picture of choices, or empty
    QStringList conditions;  // state codes under which it applies ("Descendance")
    QList<SddState> states;
    // Every state has a row of the optional measurement table: the question asks a number.
    bool measured() const {
        if (states.isEmpty()) return false;
        for (const SddState& s : states)
            if (!s.measured) return false;
        return true;
    }
};

struct SddTaxon {
    QString name;  // "Espece"
    QString family;
    QString code;
    QList<QPair<QString, QString>> commonNames;  // language code, name
    QSet<int> shows;                             // state numbers
    QSet<QString> uncoded;                       // case-folded question keys
};

struct SddSourceBase {
    QString title;
    kb::BaseTexts texts;           // the optional table of texts in other languages
    QString databaseFile;          // for the date of the file
    QList<SddQuestion> questions;  // in the order of "Desc_Num"
    QList<SddTaxon> taxa;          // in "Flore" order
};

// Reads the compiled base in kbDir (its folder, with setup.ini or the default names).
// False with *error set when it cannot be read.
bool readSddSourceBase(const QString& kbDir, SddSourceBase& out, QString* error);

}  // namespace authoring
