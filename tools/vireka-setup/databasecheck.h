#pragma once

#include <QString>

// Opens path read-only as an SQLite database and reads its schema. Empty when it is a
// readable database, else a sentence saying what is wrong.
QString checkDatabase(const QString& path);
