#pragma once

#include "authoring/import/dataset.h"
#include "authoring/import/importplan.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace authoring {

// The species documents of an imported key: the name as the dataset typesets it, the
// family, the taxon's pictures and its whole description (every character, numeric ranges
// with units, text characters and comments), and the import map.
class ImportDocuments {
public:
    static constexpr int kPictureSide = 900;

    ImportDocuments(const Dataset& data, const ImportPlan& plan) : m_data(data), m_plan(plan) {}

    bool writeSpecies(const QString& documentFolder);
    QString page(const PlannedSpecies& s, const QStringList& pictures) const;
    QString errorString() const { return m_error; }
    QStringList notes() const { return m_notes; }

    // One line per species, question and state: kind, the dataset's identifier, the key in
    // the knowledge base and its index there (species in name order, states in number order).
    static QString map(const ImportPlan& plan);

private:
    QStringList copyPictures(const PlannedSpecies& s, const QString& folder);
    QString valueHtml(const Character& c, const Attribute& a) const;

    // What every page says of a character the same way, escaped once: the opening of its
    // row (its wording and links) and its note.
    struct CharacterHtml {
        QString rowStart;  // <tr><td class="q">wording (links)</td><td>
        QString note;      // <dt>wording</dt><dd>notes</dd>, empty without notes
    };
    const CharacterHtml& characterHtml(int index) const;
    mutable std::vector<CharacterHtml> m_characterHtml;  // by character, made on first use

    const Dataset& m_data;
    const ImportPlan& m_plan;
    QString m_error;
    QStringList m_notes;
};

}  // namespace authoring
