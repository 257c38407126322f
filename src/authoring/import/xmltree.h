#pragma once

#include <QHash>
#include <QString>
#include <vector>

// A whole XML file as a tree of elements, names without their namespace. External
// entities are never resolved, and the size of the tree is bounded.
namespace authoring {

struct XmlElement {
    QString name;
    QHash<QString, QString> attributes;  // local names; "xml:lang" keeps its prefix
    QString text;                        // character data directly inside
    int line = 0;
    std::vector<XmlElement> children;

    const XmlElement* child(const QString& name) const;
    std::vector<const XmlElement*> all(const QString& name) const;
    // The child at a path of names "a/b/c"; null when any step is missing.
    const XmlElement* at(const QString& path) const;
};

bool readXml(const QByteArray& bytes, XmlElement& root, QString& error, int& errorLine);

}  // namespace authoring
