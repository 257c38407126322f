#include "kb/uncodedrecord.h"

#include "kb/database.h"

namespace kb {

std::optional<UncodedRecord> UncodedRecord::read(Database& db) {
    const QString name = QStringLiteral("Non_Codes");
    if (!db.hasTable(name)) return std::nullopt;
    Table t = db.openTable(name);
    if (!t.isValid()) return std::nullopt;
    t.setIndex(QStringLiteral("PrimaryKey"));
    const int species = t.fieldIndex(QStringLiteral("Espece"));
    const int object = t.fieldIndex(QStringLiteral("Objet"));
    UncodedRecord record;
    if (species < 0 || object < 0) return record;
    record.rows.reserve(size_t(t.recordCount()));
    for (t.moveFirst(); !t.eof(); t.moveNext()) {
        UncodedRow row{t.fieldAt(species).toString(), t.fieldAt(object).toString()};
        if (!row.species.isEmpty() && !row.object.isEmpty()) record.rows.push_back(row);
    }
    return record;
}

}  // namespace kb
