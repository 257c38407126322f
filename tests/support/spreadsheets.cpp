#include "support/spreadsheets.h"

#include <zip.h>
#include <QFile>
#include <QRegularExpression>

namespace testing_support {

namespace {

bool isNumber(const QString& t) {
    static const QRegularExpression n(QStringLiteral("^-?\\d+(\\.\\d+)?$"));
    return n.match(t).hasMatch();
}

QString escaped(const QString& t) {
    return t.toHtmlEscaped();
}

QString column(int c) {
    QString s;
    for (++c; c > 0; c = (c - 1) / 26) s.prepend(QChar(u'A' + (c - 1) % 26));
    return s;
}

}  // namespace

bool writeZip(const QString& path, const ZipEntries& entries) {
    int code = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!z) return false;
    // libzip reads the sources when the archive is closed: the bytes must live until then.
    QList<QByteArray> kept;
    for (const auto& [name, bytes] : entries) {
        kept << bytes;
        zip_source_t* s =
            zip_source_buffer(z, kept.last().constData(), zip_uint64_t(bytes.size()), 0);
        if (!s || zip_file_add(z, name.toUtf8().constData(), s, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(s);
            zip_discard(z);
            return false;
        }
    }
    return zip_close(z) == 0;
}

void writeCsv(const QString& path, const QList<QStringList>& rows) {
    QByteArray out;
    for (const QStringList& r : rows) {
        QStringList cells;
        for (QString c : r) {
            if (c.contains(u',') || c.contains(u'"') || c.contains(u'\n'))
                c = u'"' + c.replace(u'"', QStringLiteral("\"\"")) + u'"';
            cells << c;
        }
        out += cells.join(u',').toUtf8() + "\r\n";
    }
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(out);
}

QByteArray odsContent(const QByteArray& tableRows) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<office:document-content "
           "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\">"
           "<office:body><office:spreadsheet><table:table table:name=\"Matrix\">" +
           tableRows +
           "</table:table></office:spreadsheet></office:body></office:document-content>";
}

void writeOds(const QString& path, const QList<QStringList>& rows) {
    QString table;
    for (const QStringList& r : rows) {
        table += QStringLiteral("<table:table-row>");
        for (const QString& c : r)
            table += isNumber(c) ? QStringLiteral(
                                       "<table:table-cell office:value-type=\"float\" "
                                       "office:value=\"%1\"><text:p>%1</text:p>"
                                       "</table:table-cell>")
                                       .arg(c)
                                 : QStringLiteral(
                                       "<table:table-cell office:value-type=\"string\">"
                                       "<text:p>%1</text:p></table:table-cell>")
                                       .arg(escaped(c));
        // Spreadsheets pad their rows to the sheet's width.
        table += QStringLiteral(
            "<table:table-cell table:number-columns-repeated=\"1000\"/>"
            "</table:table-row>");
    }
    table += QStringLiteral(
        "<table:table-row table:number-rows-repeated=\"1048000\">"
        "<table:table-cell table:number-columns-repeated=\"1024\"/>"
        "</table:table-row>");
    writeZip(path, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                    {"content.xml", odsContent(table.toUtf8())}});
}

ZipEntries xlsxEntries(const QByteArray& sheetXml, const QByteArray& sharedStrings) {
    ZipEntries e{
        {"[Content_Types].xml",
         "<?xml version=\"1.0\"?><Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
        {"xl/workbook.xml",
         "<?xml version=\"1.0\"?><workbook "
         "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<sheets><sheet name=\"Matrix\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<?xml version=\"1.0\"?><Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
         "relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml", sheetXml}};
    if (!sharedStrings.isEmpty()) e.append({"xl/sharedStrings.xml", sharedStrings});
    return e;
}

void writeXlsx(const QString& path, const QList<QStringList>& rows) {
    QStringList strings;
    QString sheet = QStringLiteral(
        "<?xml version=\"1.0\"?><worksheet "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>");
    for (int r = 0; r < rows.size(); ++r) {
        sheet += QStringLiteral("<row r=\"%1\">").arg(r + 1);
        for (int c = 0; c < rows[r].size(); ++c) {
            const QString& t = rows[r][c];
            if (t.isEmpty()) continue;
            const QString ref = column(c) + QString::number(r + 1);
            if (isNumber(t)) {
                sheet += QStringLiteral("<c r=\"%1\"><v>%2</v></c>").arg(ref, t);
            } else {
                qsizetype k = strings.indexOf(t);
                if (k < 0) k = strings.size(), strings << t;
                sheet += QStringLiteral("<c r=\"%1\" t=\"s\"><v>%2</v></c>").arg(ref).arg(k);
            }
        }
        sheet += QStringLiteral("</row>");
    }
    sheet += QStringLiteral("</sheetData></worksheet>");
    QString shared = QStringLiteral(
        "<?xml version=\"1.0\"?><sst "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">");
    for (const QString& s : strings) shared += QStringLiteral("<si><t>%1</t></si>").arg(escaped(s));
    shared += QStringLiteral("</sst>");
    writeZip(path, xlsxEntries(sheet.toUtf8(), shared.toUtf8()));
}

}  // namespace testing_support
