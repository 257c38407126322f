#include "authoring/import/xmltree.h"

#include "platform/xmlentities.h"

#include <QXmlStreamReader>

namespace authoring {

namespace {
constexpr int kMaxDepth = 200;
constexpr qsizetype kMaxElements = 5'000'000;
}  // namespace

const XmlElement* XmlElement::child(const QString& n) const {
    for (const XmlElement& c : children)
        if (c.name == n) return &c;
    return nullptr;
}

std::vector<const XmlElement*> XmlElement::all(const QString& n) const {
    std::vector<const XmlElement*> out;
    for (const XmlElement& c : children)
        if (c.name == n) out.push_back(&c);
    return out;
}

const XmlElement* XmlElement::at(const QString& path) const {
    const XmlElement* e = this;
    for (const QString& step : path.split(QLatin1Char('/'))) {
        if (!(e = e->child(step))) return nullptr;
    }
    return e;
}

bool readXml(const QByteArray& bytes, XmlElement& root, QString& error, int& errorLine) {
    if (!platform::xmlentities::withinBounds(bytes, error)) return (errorLine = 1, false);
    QXmlStreamReader xml(bytes);
    std::vector<XmlElement*> stack;
    qsizetype count = 0;
    root = XmlElement();
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (++count > kMaxElements || stack.size() >= size_t(kMaxDepth)) {
                error = QStringLiteral("the file is too large or nested too deep");
                errorLine = int(xml.lineNumber());
                return false;
            }
            XmlElement* e = &root;
            if (!stack.empty()) {
                stack.back()->children.emplace_back();
                e = &stack.back()->children.back();
            }
            e->name = xml.name().toString();
            e->line = int(xml.lineNumber());
            for (const QXmlStreamAttribute& a : xml.attributes())
                e->attributes.insert(a.prefix() == QLatin1String("xml")
                                         ? QStringLiteral("xml:") + a.name().toString()
                                         : a.name().toString(),
                                     a.value().toString());
            stack.push_back(e);
        } else if (token == QXmlStreamReader::EndElement) {
            stack.pop_back();
        } else if (token == QXmlStreamReader::Characters && !stack.empty()) {
            stack.back()->text += xml.text();
        }
    }
    if (xml.hasError()) {
        error = xml.errorString();
        errorLine = int(xml.lineNumber());
        return false;
    }
    return true;
}

}  // namespace authoring
