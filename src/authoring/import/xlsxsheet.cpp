#include "authoring/import/sheet.h"
#include "authoring/import/sheetarchive.h"
#include "authoring/import/sheetbuilder.h"

#include <QXmlStreamReader>

// The first worksheet of an Office Open XML workbook: the workbook names its sheets, its
// relationships say which part holds each, shared strings hold most texts. A formula gives
// the value the spreadsheet stored with it; one stored without a value is refused.
namespace authoring {

namespace {

const QString kRelationships =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");

// "BC12" -> row 11, column 54 (from 0); false when it is no cell reference.
bool cellReference(QStringView ref, qint64& row, qint64& column) {
    qsizetype i = 0;
    column = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i) {
        const char16_t c = ref[i].toUpper().unicode();
        if (c < u'A' || c > u'Z' || i >= 4) return false;
        column = column * 26 + (c - u'A' + 1);
    }
    if (i == 0 || i == ref.size() || ref.size() - i > 10) return false;
    bool ok = false;
    row = ref.mid(i).toLongLong(&ok);
    --column, --row;
    return ok && row >= 0;
}

// The text of an element and of the runs inside it (a rich text's pieces), skipping
// phonetic guides.
QString richText(QXmlStreamReader& xml) {
    QString text;
    const QStringView end = xml.name();
    const QString endName = end.toString();
    int depthInPhonetic = 0;
    while (!xml.atEnd()) {
        const auto t = xml.readNext();
        if (t == QXmlStreamReader::StartElement && xml.name() == QLatin1String("rPh"))
            ++depthInPhonetic;
        else if (t == QXmlStreamReader::EndElement && xml.name() == QLatin1String("rPh"))
            --depthInPhonetic;
        else if (t == QXmlStreamReader::Characters && depthInPhonetic == 0)
            text += xml.text();
        else if (t == QXmlStreamReader::EndElement && xml.name() == endName)
            break;
        if (text.size() > (1 << 20)) break;  // bounded again by the cell limit
    }
    return text;
}

}  // namespace

bool SheetReader::readSharedStrings(const QByteArray& bytes, QStringList& out) {
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("si"))
            out << richText(xml);
    if (xml.hasError())
        return fail(QStringLiteral("xl/sharedStrings.xml: %1").arg(xml.errorString()));
    return true;
}

bool SheetReader::readXlsxSheet(const QByteArray& bytes, const QStringList& strings, Sheet& out) {
    if (m_file.isEmpty()) m_file = out.file;
    SheetBuilder builder(*this, m_limits, out);
    QXmlStreamReader xml(bytes);
    qint64 row = -1, nextColumn = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const auto a = xml.attributes();
        if (xml.name() == QLatin1String("row")) {
            bool ok = false;
            const qint64 r = a.value(QLatin1String("r")).toLongLong(&ok);
            row = ok ? r - 1 : row + 1, nextColumn = 0;
        } else if (xml.name() == QLatin1String("c")) {
            qint64 r = row, c = nextColumn;
            if (a.hasAttribute(QLatin1String("r")) &&
                !cellReference(a.value(QLatin1String("r")), r, c))
                return fail(
                    QStringLiteral("a cell named %1").arg(a.value(QLatin1String("r")).left(20)));
            nextColumn = c + 1;
            const QString type = a.value(QLatin1String("t")).toString();
            QString value, formula;
            bool hasValue = false, hasFormula = false;
            while (!xml.atEnd() && !(xml.isEndElement() && xml.name() == QLatin1String("c"))) {
                if (xml.readNext() != QXmlStreamReader::StartElement) continue;
                if (xml.name() == QLatin1String("v"))
                    value = richText(xml), hasValue = true;
                else if (xml.name() == QLatin1String("is"))
                    value = richText(xml), hasValue = true;
                else if (xml.name() == QLatin1String("f"))
                    hasFormula = true;
            }
            if (hasFormula && !hasValue)
                return fail(QStringLiteral("a formula without a stored value"),
                            int(std::clamp<qint64>(r + 1, 1, m_limits.rows + 1)),
                            int(std::clamp<qint64>(c + 1, 1, m_limits.columns + 1)));
            if (type == QLatin1String("e"))
                return fail(QStringLiteral("a cell holds an error value (%1)").arg(value.left(20)),
                            int(std::clamp<qint64>(r + 1, 1, m_limits.rows + 1)),
                            int(std::clamp<qint64>(c + 1, 1, m_limits.columns + 1)));
            if (type == QLatin1String("s")) {
                bool ok = false;
                const int k = value.toInt(&ok);
                if (!ok || k < 0 || k >= strings.size())
                    return fail(QStringLiteral("a cell names a shared string that does not exist"));
                value = strings[k];
            } else if (type == QLatin1String("b")) {
                value = value.trimmed() == QLatin1String("1") ? QStringLiteral("TRUE")
                                                              : QStringLiteral("FALSE");
            }
            if (!builder.put(r, c, value)) return false;
        } else if (xml.name() == QLatin1String("mergeCell")) {
            const QStringList ends = a.value(QLatin1String("ref")).toString().split(u':');
            qint64 r0 = 0, c0 = 0, r1 = 0, c1 = 0;
            if (ends.size() == 2 && cellReference(ends[0], r0, c0) &&
                cellReference(ends[1], r1, c1) && !builder.merge(r0, c0, r1, c1))
                return false;
        }
    }
    if (xml.hasError()) return fail(QStringLiteral("the sheet: %1").arg(xml.errorString()));
    return true;
}

bool SheetReader::readXlsx(const QString& path, Sheet& out) {
    SheetArchive archive(m_limits);
    QByteArray workbook, relations, sheet, strings;
    if (!archive.open(path) || !archive.read(QStringLiteral("xl/workbook.xml"), workbook) ||
        !archive.read(QStringLiteral("xl/_rels/workbook.xml.rels"), relations))
        return fail(archive.errorString());
    QString id;
    QXmlStreamReader xml(workbook);
    while (!xml.atEnd() && id.isEmpty())
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            xml.name() == QLatin1String("sheet"))
            id = xml.attributes().value(kRelationships, QLatin1String("id")).toString();
    QString target;
    QXmlStreamReader rels(relations);
    while (!rels.atEnd() && target.isEmpty())
        if (rels.readNext() == QXmlStreamReader::StartElement &&
            rels.name() == QLatin1String("Relationship") &&
            rels.attributes().value(QLatin1String("Id")) == id)
            target = rels.attributes().value(QLatin1String("Target")).toString();
    if (id.isEmpty() || target.isEmpty())
        return fail(QStringLiteral("the workbook names no sheet"));
    const QString part = archivePath(QStringLiteral("xl/"), target);
    if (part.isEmpty())
        return fail(QStringLiteral("the workbook's sheet lies outside the archive: %1")
                        .arg(target.left(200)));
    QStringList shared;
    if (archive.has(QStringLiteral("xl/sharedStrings.xml")) &&
        (!archive.read(QStringLiteral("xl/sharedStrings.xml"), strings) ||
         !readSharedStrings(strings, shared)))
        return m_error.isEmpty() ? fail(archive.errorString()) : false;
    if (!archive.read(part, sheet)) return fail(archive.errorString());
    return readXlsxSheet(sheet, shared, out);
}

}  // namespace authoring
