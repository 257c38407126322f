#include "authoring/import/sheet.h"

#include "authoring/import/sheetbuilder.h"
#include "platform/boundedfile.h"

#include <QFileInfo>
#include <QStringDecoder>

namespace authoring {

bool SheetReader::fail(const QString& message, int row, int column) {
    m_error = row > 0 ? QStringLiteral("%1:%2:%3: %4").arg(m_file).arg(row).arg(column).arg(message)
                      : QStringLiteral("%1: %2").arg(m_file, message);
    return false;
}

bool SheetReader::read(const QString& path, Sheet& out) {
    m_file = path;
    m_error.clear();
    out = Sheet{path, {}};
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("ods")) return readOds(path, out);
    if (suffix == QLatin1String("xlsx")) return readXlsx(path, out);
    if (suffix != QLatin1String("csv") && suffix != QLatin1String("tsv") &&
        suffix != QLatin1String("tab"))
        return fail(QStringLiteral("not a table: the name must end in .csv, .tsv, .ods or .xlsx"));
    QByteArray bytes;
    const auto r = platform::BoundedFile::read(path, m_limits.fileBytes, &bytes);
    if (!r.ok()) return (m_error = r.errorString, false);
    return readDelimited(
        bytes, suffix == QLatin1String("csv") ? QLatin1Char(',') : QLatin1Char('\t'), out);
}

// Fields between delimiters; a field in double quotes may hold delimiters, line ends and
// doubled quotes. UTF-8 (with or without its mark) is read as such, anything else as
// Windows-1252, as spreadsheets on Windows save it.
bool SheetReader::readDelimited(const QByteArray& bytes, QChar delimiter, Sheet& out) {
    if (m_file.isEmpty()) m_file = out.file;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = QStringDecoder("windows-1252").decode(bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    SheetBuilder builder(*this, m_limits, out);
    qint64 row = 0, column = 0;
    QString field;
    bool quoted = false, wasQuoted = false;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const QChar c = i < text.size() ? text[i] : QChar(u'\n');
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += c, ++i;
            } else if (c == u'"') {
                quoted = false;
            } else if (i == text.size()) {
                return fail(QStringLiteral("a quoted field is not closed"), int(row + 1),
                            int(column + 1));
            } else {
                field += c;
            }
        } else if (c == u'"' && field.trimmed().isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true, field.clear();
        } else if (c == delimiter || c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            if (!builder.put(row, column, wasQuoted ? field : field.trimmed())) return false;
            field.clear(), wasQuoted = false;
            if (c == delimiter)
                ++column;
            else
                ++row, column = 0;
        } else {
            field += c;
        }
        if (field.size() > m_limits.cellChars)
            return builder.put(row, column, field);  // fails with the position
    }
    return true;
}

}  // namespace authoring
