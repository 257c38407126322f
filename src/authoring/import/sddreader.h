#pragma once

#include "authoring/import/dataset.h"
#include "authoring/import/xmltree.h"

#include <QHash>
#include <QSet>
#include <QString>

namespace authoring {

// Reads an SDD file (the XML exchange format of descriptive data): the first dataset, or
// the one asked for, with its taxa, characters and states, character tree (groups and
// dependency rules), coded descriptions and pictures. What cannot be used is noted.
class SddReader {
public:
    // Labels are read in `language` (an xml:lang code) when the file has them in it; by
    // default in the dataset's own language.
    void setLanguage(const QString& language) { m_asked = language; }
    bool read(const QString& file, Dataset& out, int datasetIndex = 0);
    QString errorString() const { return m_error; }

private:
    void characters(const XmlElement& dataset);
    void characterTrees(const XmlElement& dataset);
    void characterTree(const XmlElement& nodes, const QHash<QString, const XmlElement*>& concepts,
                       QList<int>& order);
    // The character takes its group's words from a concept or node, in every language.
    void group(const XmlElement* words, Character& c);
    void conceptStates(const XmlElement& dataset);
    QList<KeyState> rangeCategories(const XmlElement& character) const;
    QList<std::pair<QString, QString>> commonNames(const XmlElement* representation) const;
    void reorder(QList<int> order);
    QString title(const XmlElement& dataset) const;
    const XmlElement* text(const XmlElement* e, const QString& name) const;
    QList<WebLink> linksOf(const XmlElement* representation);
    void descriptions(const XmlElement& dataset);
    QHash<QString, QString> hierarchy(const XmlElement& dataset,
                                      const QHash<QString, QPair<QString, QString>>& taxa) const;
    void media(const XmlElement& dataset);
    void summary(const XmlElement& data, Item& item);
    void rule(const XmlElement& rules, const QList<int>& dependants);
    QString label(const XmlElement* e, bool html = false) const;
    // The labels of `e` in every language but the one read, plain text, by language.
    QMap<QString, QString> otherLabels(const XmlElement* e) const;
    QString mediaOf(const XmlElement* representation) const;
    void note(const XmlElement& e, const QString& message);

    Dataset* m_out = nullptr;
    QString m_file;
    QString m_folder;
    QString m_asked;     // the language asked for
    QString m_language;  // asked for, else the dataset's
    QString m_declared;  // the dataset's xml:lang
    QHash<QString, int> m_characterById;
    QHash<QString, QPair<int, int>> m_stateById;  // state id -> (character, state)
    QHash<QString, QString> m_mediaById;          // media id -> absolute path
    QHash<QString, WebLink> m_linkById;           // media on the web
    QSet<QString> m_linksUsed;                    // media ids referred to
    QHash<QString, const XmlElement*> m_taxonRepresentation;
    QHash<QString, const XmlElement*> m_conceptStates;  // states of descriptive concepts, by id
    QString m_error;
};

}  // namespace authoring
