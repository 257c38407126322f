#pragma once

#include "authoring/import/dataset.h"

#include <QList>
#include <QMap>
#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>

// What an imported dataset becomes: the questions, states and species of a knowledge-base
// source, with where each came from, and what was left out and why.
namespace authoring {

struct PlannedState {
    QString key;  // "ID_CARAC"
    QString label;
    QString sourceId;  // DELTA state number, SDD state id; key states: their range
    QString picture;   // file of the dataset to show for the state, or empty
    QRect region;      // part of that file; empty: all of it
    std::optional<NumericBounds> bounds;  // numeric questions: the values the state holds
    QMap<QString, QString> texts;         // the label in other languages, by language
};

struct PlannedQuestion {
    QString key;  // "Objet"
    QString text;
    QString group;
    QString help;  // the dataset's notes on the character, shown where the base gives a tip
    QString sourceId;
    int character = 0;  // index in the dataset
    int weight = 1;
    int rows = 1, columns = 1;
    QStringList conditions;  // states of other questions under which it applies
    QList<PlannedState> states;
    bool numeric = false;  // its states are ranges of a number, `unit` its unit
    QString unit;
    QMap<QString, QString> texts;  // the question in other languages, by language
};

struct PlannedSpecies {
    QString code;
    QString name;
    QString htmlName;
    QString family;
    QString sourceId;
    int item = 0;  // index in the dataset
    QStringList shows;
    // Common names: language code, name.
    QList<std::pair<QString, QString>> commonNames;
    QStringList uncodedQuestions;  // keys of the questions it was never described for
    QString description;           // the description in words, plain text
};

struct ImportPlan {
    QString title;
    QMap<QString, QString> titles;  // the title in other languages
    // The groups' headings in other languages: heading -> language -> text.
    QMap<QString, QMap<QString, QString>> groupTexts;
    QList<PlannedQuestion> questions;
    QList<PlannedSpecies> species;
    QStringList leftOut;  // "character 7 (Leaf hairs): text character"
    QStringList uncoded;  // names of the species that code none of the questions
    QStringList notes;
};

}  // namespace authoring
