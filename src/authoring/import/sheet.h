#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A spreadsheet's first sheet as plain text cells, read from a csv/tsv file, an OpenDocument
// spreadsheet or an Office Open XML workbook. Every read is bounded: the archive's entries,
// what they expand to, the rows, the columns and each cell.
namespace authoring {

struct SheetLimits {
    qint64 fileBytes = 64 << 20;      // a csv/tsv file, or the archive on disk
    qint64 expandedBytes = 64 << 20;  // all the archive's entries read, uncompressed
    int entries = 10000;              // entries of the archive
    int rows = 32767 + 3;             // taxa and three header rows
    int columns = 1024;
    int cellChars = 4096;
};

struct Sheet {
    QString file;
    QList<QStringList> rows;  // row r, column c: rows[r][c]; short rows are empty after

    QString cell(int row, int column) const { return rows.value(row).value(column); }
};

class SheetReader {
public:
    explicit SheetReader(SheetLimits limits = {}) : m_limits(limits) {}
    // By the file's suffix: .csv (commas), .tsv or .tab (tabs), .ods, .xlsx.
    bool read(const QString& path, Sheet& out);
    QString errorString() const { return m_error; }

    // The readers of each format, on bytes already read (the fuzz target's way in).
    bool readDelimited(const QByteArray& bytes, QChar delimiter, Sheet& out);
    bool readOds(const QString& path, Sheet& out);
    bool readXlsx(const QString& path, Sheet& out);
    bool readOdsContent(const QByteArray& content, Sheet& out);
    bool readXlsxSheet(const QByteArray& sheet, const QStringList& sharedStrings, Sheet& out);
    bool readSharedStrings(const QByteArray& xml, QStringList& out);

private:
    friend class SheetBuilder;
    bool fail(const QString& message, int row = -1, int column = -1);

    SheetLimits m_limits;
    QString m_file;
    QString m_error;
};

}  // namespace authoring
