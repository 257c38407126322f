#pragma once

#include "authoring/import/sheet.h"

namespace authoring {

// Places cells into a sheet within the reader's limits; the first cell beyond them fails the
// read with its position. Rows and cells that hold nothing are never stored, so a sheet that
// claims a billion empty rows costs nothing.
class SheetBuilder {
public:
    SheetBuilder(SheetReader& reader, const SheetLimits& limits, Sheet& sheet)
        : m_reader(reader), m_limits(limits), m_sheet(sheet) {}
    // row and column count from 0.
    bool put(qint64 row, qint64 column, const QString& text);
    // Copies the top-left cell of a merged area over the area.
    bool merge(qint64 top, qint64 left, qint64 bottom, qint64 right);

private:
    SheetReader& m_reader;
    const SheetLimits& m_limits;
    Sheet& m_sheet;
};

}  // namespace authoring
