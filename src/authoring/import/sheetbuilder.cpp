#include "authoring/import/sheetbuilder.h"

namespace authoring {

bool SheetBuilder::put(qint64 row, qint64 column, const QString& text) {
    if (text.isEmpty()) return true;
    const int r = int(std::min<qint64>(row, m_limits.rows)) + 1;
    const int c = int(std::min<qint64>(column, m_limits.columns)) + 1;
    if (row >= m_limits.rows)
        return m_reader.fail(QStringLiteral("the sheet has more than %1 rows").arg(m_limits.rows),
                             r, c);
    if (column >= m_limits.columns)
        return m_reader.fail(
            QStringLiteral("the sheet has more than %1 columns").arg(m_limits.columns), r, c);
    if (text.size() > m_limits.cellChars)
        return m_reader.fail(
            QStringLiteral("a cell of more than %1 characters").arg(m_limits.cellChars), r, c);
    while (m_sheet.rows.size() <= row) m_sheet.rows.append(QStringList());
    QStringList& line = m_sheet.rows[row];
    while (line.size() <= column) line.append(QString());
    line[column] = text;
    return true;
}

bool SheetBuilder::merge(qint64 top, qint64 left, qint64 bottom, qint64 right) {
    if (top < 0 || left < 0 || bottom < top || right < left) return true;
    const QString text = m_sheet.cell(int(std::min<qint64>(top, m_limits.rows)),
                                      int(std::min<qint64>(left, m_limits.columns)));
    if (text.isEmpty()) return true;
    if (bottom >= m_limits.rows || right >= m_limits.columns)
        return put(bottom, right, text);  // fails with the position
    for (qint64 r = top; r <= bottom; ++r)
        for (qint64 c = left; c <= right; ++c)
            if (!put(r, c, text)) return false;
    return true;
}

}  // namespace authoring
