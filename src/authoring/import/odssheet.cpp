#include "authoring/import/sheet.h"
#include "authoring/import/sheetarchive.h"
#include "authoring/import/sheetbuilder.h"

#include <QXmlStreamReader>

// The first table of an OpenDocument spreadsheet (content.xml). Rows and cells may say they
// repeat: repeated empty ones only move the position, so a sheet padded to a million rows
// costs nothing, while repeated content counts against the limits. A formula gives the value
// stored with it. Cells spanning others are copied over the area they cover.
namespace authoring {

namespace {

const QString kTable = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");

qint64 count(const QXmlStreamAttributes& a, const char* name) {
    bool ok = false;
    const qint64 n = a.value(kTable, QLatin1String(name)).toLongLong(&ok);
    // A repeat past any limit only moves the position: capped, it cannot overflow.
    return ok && n > 0 ? std::min<qint64>(n, qint64(1) << 30) : 1;
}

// The paragraphs of a cell, one a line; <text:s/> stands for spaces, <text:tab/> a tab.
QString paragraphs(QXmlStreamReader& xml, int limit) {
    QString text;
    int depth = 1, paragraphs = 0;
    while (!xml.atEnd() && depth > 0) {
        const auto t = xml.readNext();
        if (t == QXmlStreamReader::StartElement) {
            ++depth;
            if (xml.namespaceUri() != kText) continue;
            if (xml.name() == QLatin1String("p") && paragraphs++ > 0)
                text += QLatin1Char('\n');
            else if (xml.name() == QLatin1String("s"))
                text += QString(int(std::min<qint64>(count(xml.attributes(), "c"), limit)), u' ');
            else if (xml.name() == QLatin1String("tab"))
                text += QLatin1Char('\t');
            else if (xml.name() == QLatin1String("line-break"))
                text += QLatin1Char('\n');
        } else if (t == QXmlStreamReader::EndElement) {
            --depth;
        } else if (t == QXmlStreamReader::Characters) {
            text += xml.text();
        }
        if (text.size() > limit) break;
    }
    return text;
}

// What a cell shows: a number, date or boolean by its stored value, anything else by its text.
QString cellValue(QXmlStreamReader& xml, int limit) {
    const auto a = xml.attributes();
    const QStringView type = a.value(kOffice, QLatin1String("value-type"));
    QString value;
    if (type == QLatin1String("float") || type == QLatin1String("percentage") ||
        type == QLatin1String("currency"))
        value = a.value(kOffice, QLatin1String("value")).toString();
    else if (type == QLatin1String("boolean"))
        value = a.value(kOffice, QLatin1String("boolean-value")) == QLatin1String("true")
                    ? QStringLiteral("TRUE")
                    : QStringLiteral("FALSE");
    const QString text = paragraphs(xml, limit);
    return value.isEmpty() ? text : value;
}

}  // namespace

bool SheetReader::readOdsContent(const QByteArray& content, Sheet& out) {
    if (m_file.isEmpty()) m_file = out.file;
    SheetBuilder builder(*this, m_limits, out);
    QXmlStreamReader xml(content);
    qint64 row = 0, column = 0, rowRepeat = 1;
    bool inTable = false, rowHasContent = false;
    QList<std::pair<qint64, QString>> rowCells;  // column, text: the row, to repeat
    QList<std::array<qint64, 4>> spans;
    while (!xml.atEnd()) {
        const auto t = xml.readNext();
        if (t == QXmlStreamReader::StartElement && xml.namespaceUri() == kTable) {
            const auto a = xml.attributes();
            if (xml.name() == QLatin1String("table")) {
                if (inTable || row > 0) break;  // the first table only
                inTable = true;
            } else if (xml.name() == QLatin1String("table-row") && inTable) {
                column = 0, rowRepeat = count(a, "number-rows-repeated");
                rowCells.clear(), rowHasContent = false;
            } else if ((xml.name() == QLatin1String("table-cell") ||
                        xml.name() == QLatin1String("covered-table-cell")) &&
                       inTable) {
                const qint64 repeat = count(a, "number-columns-repeated");
                const qint64 spanRows = count(a, "number-rows-spanned"),
                             spanColumns = count(a, "number-columns-spanned");
                const bool covered = xml.name() == QLatin1String("covered-table-cell");
                const QString value = cellValue(xml, m_limits.cellChars + 1);
                if (!value.isEmpty() && !covered) {
                    if (column + repeat > m_limits.columns)
                        return builder.put(row, m_limits.columns, value);  // fails
                    for (qint64 k = 0; k < repeat; ++k) rowCells.append({column + k, value});
                    rowHasContent = true;
                    if (spanRows > 1 || spanColumns > 1)
                        spans.append({row, column, row + spanRows - 1, column + spanColumns - 1});
                }
                column = std::min(column + repeat, qint64(1) << 40);
            }
        } else if (t == QXmlStreamReader::EndElement && xml.namespaceUri() == kTable) {
            if (xml.name() == QLatin1String("table")) break;
            if (xml.name() != QLatin1String("table-row")) continue;
            if (rowHasContent) {
                for (qint64 r = 0; r < rowRepeat; ++r) {
                    for (const auto& [c, text] : rowCells)
                        if (!builder.put(row + r, c, text)) return false;
                    if (row + r >= m_limits.rows) break;
                }
            }
            row = std::min(row + rowRepeat, qint64(1) << 40);
        }
    }
    if (xml.hasError()) return fail(QStringLiteral("content.xml: %1").arg(xml.errorString()));
    for (const auto& s : spans)
        if (!builder.merge(s[0], s[1], s[2], s[3])) return false;
    return true;
}

bool SheetReader::readOds(const QString& path, Sheet& out) {
    SheetArchive archive(m_limits);
    QByteArray content;
    if (!archive.open(path) || !archive.read(QStringLiteral("content.xml"), content))
        return fail(archive.errorString());
    return readOdsContent(content, out);
}

}  // namespace authoring
