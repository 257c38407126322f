#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace kb {

class Database;

// The optional "Non_Codes" table: which species leave which questions uncoded. An uncoded
// cell of the matrix shows every state, so the score cannot tell "matches" from "never
// described"; this record lets the ranking tell them apart.
struct UncodedRow {
    QString species;  // "Espece", as in "Flore"
    QString object;   // "Objet"
};

struct UncodedRecord {
    std::vector<UncodedRow> rows;  // in "Numero" order

    // The record of an open base; nothing when the base has no such table, so that a base
    // without it ranks as it always did. Rows with an empty name or key are passed over.
    static std::optional<UncodedRecord> read(Database& db);
};

}  // namespace kb
