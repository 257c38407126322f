#pragma once

#include "authoring/import/dataset.h"
#include "authoring/import/xmltree.h"

#include <QHash>
#include <QString>

namespace authoring {

// Reads an SDD file (the XML exchange format of descriptive data): the first dataset, or
// the one asked for, with its taxa, characters and states, character tree (groups and
// dependency rules), coded descriptions and pictures. What cannot be used is noted.
class SddReader {
public:
    bool read(const QString& file, Dataset& out, int datasetIndex = 0);
    QString errorString() const { return m_error; }

private:
    void characters(const XmlElement& dataset);
    void characterTree(const XmlElement& dataset);
    void descriptions(const XmlElement& dataset);
    QHash<QString, QString> hierarchy(const XmlElement& dataset,
                                      const QHash<QString, QPair<QString, QString>>& taxa) const;
    void media(const XmlElement& dataset);
    void summary(const XmlElement& data, Item& item);
    void rule(const XmlElement& rules, const QList<int>& dependants);
    QString label(const XmlElement* e, bool html = false) const;
    QString mediaOf(const XmlElement* representation) const;
    void note(const XmlElement& e, const QString& message);

    Dataset* m_out = nullptr;
    QString m_file;
    QString m_folder;
    QString m_language;
    QHash<QString, int> m_characterById;
    QHash<QString, QPair<int, int>> m_stateById;  // state id -> (character, state)
    QHash<QString, QString> m_mediaById;          // media id -> absolute path
    QString m_error;
};

}  // namespace authoring
