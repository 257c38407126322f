#pragma once

#include "authoring/import/sheet.h"

#include <QByteArray>
#include <QString>

struct zip;

namespace authoring {

// A spreadsheet's zip container, read through libzip. Only named entries are read, never
// written out; each read stops at the budget of expanded bytes left, whatever the archive
// claims of its sizes.
class SheetArchive {
public:
    SheetArchive(const SheetLimits& limits) : m_limits(limits) {}
    ~SheetArchive();
    SheetArchive(const SheetArchive&) = delete;
    SheetArchive& operator=(const SheetArchive&) = delete;

    bool open(const QString& path);
    bool has(const QString& name) const;
    // The entry's bytes; false when it is missing or too large (see errorString()).
    bool read(const QString& name, QByteArray& out);
    QString errorString() const { return m_error; }

private:
    const SheetLimits& m_limits;
    zip* m_zip = nullptr;
    qint64 m_budget = 0;
    QString m_error;
};

// A path inside the archive from a relationship's target: relative to `base` or absolute
// from the archive's root. Empty when it leaves the archive.
QString archivePath(const QString& base, const QString& target);

}  // namespace authoring
