#pragma once

#include "authoring/import/dataset.h"
#include "authoring/import/importplan.h"

#include <QSet>

namespace authoring {

struct ImportOptions {
    int familyCharacter = -1;  // index of the character that names each taxon's family
};

// Decides what a dataset becomes in a knowledge base: which characters are asked and with
// which states, what each taxon shows, dependencies, weights, unique species codes and
// names. Pure computation; the files are written by ImportWriter.
class ImportMapper {
public:
    ImportMapper(const Dataset& data, const ImportOptions& options)
        : m_data(data), m_options(options) {}

    ImportPlan plan();

    // The grid of a picture of choices nearest the 4:3 shape of the drawing area.
    static void gridFor(int states, int& rows, int& columns);

private:
    bool question(int c, PlannedQuestion& q, QString& reason);
    bool numericKeys(int c, QList<KeyState>& keys, QString& reason) const;
    static bool multistateKeys(const Character& ch, QList<KeyState>& keys, QString& reason);
    PlannedState plannedState(const Character& ch, const PlannedQuestion& q, const KeyState& key,
                              int k);
    void species();
    void dependencies();
    QStringList shows(const Item& item, const PlannedQuestion& q) const;
    void withoutInapplicable(const Item& item, QStringList& shows) const;
    QStringList uncodedQuestions(const Item& item, const QStringList& shows) const;
    QString describe(const Item& item) const;
    QString uniqueKey(QString wanted);
    QString character(int c) const;
    void distinguishTexts();
    bool codesAQuestion(const Item& item) const;

    const Dataset& m_data;
    ImportOptions m_options;
    ImportPlan m_plan;
    QList<int> m_questionOf;             // per character: its question, or -1
    QList<QList<KeyState>> m_keyStates;  // per question: what each of its states stands for
    QSet<QString> m_keys;
};

}  // namespace authoring
