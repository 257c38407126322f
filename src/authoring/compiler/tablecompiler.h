#pragma once

#include "authoring/compiler/kblayout.h"
#include "authoring/compiler/kbsource.h"

#include <QString>

namespace authoring {

// Compiles a checked source into the database file and the weight and matrix files.
class TableCompiler {
public:
    TableCompiler(const KbSource& kb, const KbLayout& layout) : m_kb(kb), m_layout(layout) {}

    bool writeDatabase(const QString& path);
    bool writeDataFiles(const QString& folder);
    QString errorString() const { return m_error; }

    static QString choicePictureName(const QString& questionKey);
    static QString buttonPictureName(bool deter, int number);

private:
    bool parameters(class DatabaseWriter& db);
    bool questions(DatabaseWriter& db);
    bool groups(DatabaseWriter& db);
    bool measures(DatabaseWriter& db);
    bool texts(DatabaseWriter& db);
    bool species(DatabaseWriter& db);
    bool uncoded(DatabaseWriter& db);
    bool drawings(DatabaseWriter& db);
    bool zones(DatabaseWriter& db);
    bool toolbars(DatabaseWriter& db);
    QVariantList conditions(const QStringList& states) const;

    const KbSource& m_kb;
    const KbLayout& m_layout;
    QString m_error;
};

}  // namespace authoring
