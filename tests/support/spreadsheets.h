#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

// Spreadsheets written for real, as the programs that keep matrices save them: a csv file, an
// OpenDocument spreadsheet and an Office Open XML workbook holding the same rows of text.
namespace testing_support {

using ZipEntries = QList<std::pair<QString, QByteArray>>;

// A zip archive of the entries, deflated, in the order given.
bool writeZip(const QString& path, const ZipEntries& entries);

void writeCsv(const QString& path, const QList<QStringList>& rows);
// Cells that read as numbers are stored as numbers; the others as text.
void writeOds(const QString& path, const QList<QStringList>& rows);
// Texts go through the shared strings, numbers are stored as numbers.
void writeXlsx(const QString& path, const QList<QStringList>& rows);

// The parts of a workbook around a sheet's XML, for hostile sheets.
ZipEntries xlsxEntries(const QByteArray& sheetXml, const QByteArray& sharedStrings = {});
// The content.xml of an OpenDocument spreadsheet around a table's rows.
QByteArray odsContent(const QByteArray& tableRows);

}  // namespace testing_support
