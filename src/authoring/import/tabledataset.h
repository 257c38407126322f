#pragma once

#include "authoring/import/dataset.h"
#include "authoring/import/sheet.h"

namespace authoring {

// How the cells of a matrix separate several states: "|" always, and the characters given.
struct TableOptions {
    QString separators;
};

// Turns a spreadsheet matrix into a dataset: one row per taxon, one column per character
// with its text in the header. The column headed "name" (or "taxon", "species"; else the
// first) names the taxa, "family" gives their family, "common:xx" their common names in
// language xx. A row whose name cell is "#group" gives the characters' groups, one whose
// name cell is "#unit" their units. A cell holds states separated by "|", "?" or nothing
// for unknown, "-" for not applicable. A column whose every value is a number or a range
// ("3", "3-5", "3.5–7") is numeric; the others take their distinct values as states.
// False with *error ("file:row:column: message") when the sheet cannot be a matrix.
bool tableDataset(const Sheet& sheet, const TableOptions& options, Dataset& out, QString* error);

}  // namespace authoring
